#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "stream/c_stream_platform.h"
#include "stream/native_path.h"

namespace qrv {

std::FILE* OpenNativeFile(std::u16string_view path, const char* mode) {
    const auto native = NativePath(path);
    if (!native) return nullptr;
    const std::string narrowMode(mode);
    std::FILE* file = ::_wfopen(native->c_str(), std::wstring(narrowMode.begin(), narrowMode.end()).c_str());
    // Windows refuses to open a folder as if permission were denied: errno says what it is.
    struct _stat64 info {};
    if (!file && errno == EACCES && ::_wstat64(native->c_str(), &info) == 0 &&
        (info.st_mode & _S_IFMT) == _S_IFDIR)
        errno = EISDIR;
    return file;
}

bool IsDirectoryFile(std::FILE* file) {
    struct _stat64 info {};
    return ::_fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFDIR;
}

int64_t TellFile(std::FILE* file) {
    return ::_ftelli64(file);
}

int SeekFile(std::FILE* file, int64_t position, int origin) {
    return ::_fseeki64(file, position, origin);
}

}  // namespace qrv
