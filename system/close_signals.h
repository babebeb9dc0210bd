#pragma once

namespace qrv {

// Signals that ask the program to end become close requests, so that a game can save first:
// SIGINT (Ctrl-C in a terminal) and SIGTERM on POSIX systems, Ctrl-C and Ctrl-Break in the
// console on Windows. The first such signal is seen at the next pump (PumpMessages, every input
// query, the waits) exactly as a closed window is seen: an AppTerminate event goes through the
// event hooks and AppTerminateRequested() gives 1 once; a wait for messages ends for it. A
// second signal ends the program at once, as it would have without the framework: by the
// signal (its default action), or on Windows by the console's own handler. A signal whose
// action the program had already changed (a handler of its own, or ignored, as in a process
// started in the background or under nohup) is left alone. The web has no such signals.

// Catches the signals; InitSystemModule does it. Later calls do nothing.
void CatchCloseSignals();

// Whether a caught signal waits to be taken; safe from any thread.
[[nodiscard]] bool CloseSignalPending();
// Takes the waiting signal: true once after the first signal. The pumps take it and emit the
// AppTerminate event, so a program needs this only if it polls a driver itself.
[[nodiscard]] bool TakeCloseSignal();

}  // namespace qrv
