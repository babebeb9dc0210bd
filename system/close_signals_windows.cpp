#include <windows.h>

#include "system/close_signals_platform.h"

namespace qrv {
namespace {

// Runs on a thread of its own. The first Ctrl-C or Ctrl-Break is noted for the next pump;
// another goes on to the console's default handler, which ends the process. Closing the
// console, logging off and shutting down end the process whatever a handler does, and pass.
BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    return NoteCloseSignal() ? TRUE : FALSE;
}

}  // namespace

void InstallCloseSignalHandlers() {
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

}  // namespace qrv
