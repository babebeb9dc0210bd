#include <errno.h>
#include <signal.h>

#include "system/close_signals_platform.h"

namespace qrv {
namespace {

// The first signal is noted for the next pump; another one gets the default action back and
// is raised again, which ends the program by it as soon as this handler returns (the signal is
// blocked while its handler runs).
extern "C" void OnCloseSignal(int signal) {
    const int savedErrno = errno;
    if (!NoteCloseSignal()) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(signal, &fallback, nullptr);
        raise(signal);
    }
    errno = savedErrno;
}

void Catch(int signal) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) != 0) return;
    // A handler of the program's own, or an ignored signal, stays as it is.
    if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL) return;
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    // Calls the signal interrupts go on, so a read or a wait elsewhere does not fail for it.
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

void InstallCloseSignalHandlers() {
    Catch(SIGINT);
    Catch(SIGTERM);
}

}  // namespace qrv
