#include "stream/standard_io_mode.h"

namespace qrv::platform {

// POSIX streams never translate bytes.
void KeepUntranslated(std::FILE*) {}

}  // namespace qrv::platform
