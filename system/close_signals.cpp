#include "system/close_signals.h"

#include <atomic>

#include "system/close_signals_platform.h"

namespace qrv {
namespace {

// A signal handler may touch only lock-free atomics.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
std::atomic<int> caughtCount{0};
std::atomic<bool> pending{false};

}  // namespace

void CatchCloseSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    InstallCloseSignalHandlers();
}

bool NoteCloseSignal() {
    if (caughtCount.fetch_add(1) > 0) return false;
    pending.store(true);
    return true;
}

bool CloseSignalPending() {
    return pending.load();
}

bool TakeCloseSignal() {
    return pending.exchange(false);
}

}  // namespace qrv
