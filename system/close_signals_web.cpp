#include "system/close_signals_platform.h"

namespace qrv {

// A page gets no signals: closing its tab ends it without asking.
void InstallCloseSignalHandlers() {}

}  // namespace qrv
