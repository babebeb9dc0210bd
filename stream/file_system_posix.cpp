#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "stream/file_system.h"
#include "stream/file_system_platform.h"
#include "stream/native_path.h"
#include "stream/path_names.h"

namespace qrv {
namespace {

std::optional<struct stat> StatOf(std::u16string_view path) {
    const auto native = NativePath(path);
    struct stat info {};
    if (!native || ::stat(native->c_str(), &info) != 0) return std::nullopt;
    return info;
}

int KindOf(const struct stat& info) {
    if (S_ISREG(info.st_mode)) return FILETYPE_FILE;
    if (S_ISDIR(info.st_mode)) return FILETYPE_DIR;
    return FILETYPE_NONE;
}

}  // namespace

std::optional<TPathInfo> LiteralPathInfo(std::u16string_view path) {
    const auto info = StatOf(path);
    if (!info) return std::nullopt;
    return TPathInfo{KindOf(*info), static_cast<int64_t>(info->st_size), static_cast<int64_t>(info->st_mtime),
                     static_cast<int32_t>(info->st_mode & 0x1FF)};
}

bool IsSameFile(std::u16string_view a, std::u16string_view b) {
    const auto infoA = StatOf(a);
    const auto infoB = StatOf(b);
    return infoA && infoB && infoA->st_dev == infoB->st_dev && infoA->st_ino == infoB->st_ino;
}

std::u16string WorkingDirectory() {
    std::error_code error;
    const auto path = std::filesystem::current_path(error);
    if (error) return {};
    return NormalizePath(FromNativePath(path.native()));
}

bool SetWorkingDirectory(std::u16string_view path) {
    const auto native = NativePath(NormalizePath(path, true));
    return native && ::chdir(native->c_str()) == 0;
}

bool SetPermissionBits(std::u16string_view path, int32_t bits) {
    const auto native = NativePath(NormalizePath(path));
    return native && ::chmod(native->c_str(), static_cast<mode_t>(bits & 0x1FF)) == 0;
}

bool RemoveLiteralFile(std::u16string_view path) {
    const auto native = NativePath(path);
    return native && ::unlink(native->c_str()) == 0;
}

bool MovePath(std::u16string_view from, std::u16string_view to) {
    const auto nativeFrom = NativePath(NormalizePath(from, true));
    const auto nativeTo = NativePath(NormalizePath(to, true));
    return nativeFrom && nativeTo && std::rename(nativeFrom->c_str(), nativeTo->c_str()) == 0;
}

}  // namespace qrv
