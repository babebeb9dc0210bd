#pragma once

namespace qrv {

// The platform halves of the close signals.

// Installs the platform's handlers, which call NoteCloseSignal.
void InstallCloseSignalHandlers();
// Records a caught signal; true when it is the first, false when the program should end now.
// Async-signal-safe: it only touches lock-free atomics.
bool NoteCloseSignal();

}  // namespace qrv
