#pragma once

#include <cstdio>

namespace qrv::platform {

// Makes a standard stream pass bytes through untranslated (no line-end conversion), also after
// its descriptor was pointed elsewhere. Halves in standard_io_posix.cpp and standard_io_windows.cpp.
void KeepUntranslated(std::FILE* stream);

}  // namespace qrv::platform
