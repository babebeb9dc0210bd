#include <sys/stat.h>

#include "stream/c_stream_platform.h"
#include "stream/native_path.h"

namespace qrv {

std::FILE* OpenNativeFile(std::u16string_view path, const char* mode) {
    const auto native = NativePath(path);
    return native ? std::fopen(native->c_str(), mode) : nullptr;
}

bool IsDirectoryFile(std::FILE* file) {
    struct stat info {};
    return ::fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
}

int64_t TellFile(std::FILE* file) {
    return ::ftello(file);
}

int SeekFile(std::FILE* file, int64_t position, int origin) {
    return ::fseeko(file, static_cast<off_t>(position), origin);
}

}  // namespace qrv
