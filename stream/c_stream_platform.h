#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace qrv {

// The platform halves of the C library's files.

// fopen's work for a path of the framework; null when the file does not open, with errno
// saying why (EISDIR for a folder everywhere), or when the path can name no file (errno left).
std::FILE* OpenNativeFile(std::u16string_view path, const char* mode);
bool IsDirectoryFile(std::FILE* file);
// ftell and fseek with 64-bit positions everywhere (Windows' long has 32 bits, so a file past
// 2 GiB could not even tell that it is at its start).
int64_t TellFile(std::FILE* file);
int SeekFile(std::FILE* file, int64_t position, int origin);

}  // namespace qrv
