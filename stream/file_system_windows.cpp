#include <windows.h>

#include <memory>
#include <type_traits>

#include "stream/file_system.h"
#include "stream/file_system_platform.h"
#include "stream/native_path.h"
#include "stream/native_path_windows.h"
#include "stream/path_names.h"

namespace qrv {
namespace {

// FILETIME counts 100 ns steps from 1601; 11,644,473,600 seconds lie between 1601 and 1970.
constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The file itself, links followed, opened for nothing but its attributes.
UniqueHandle OpenForAttributes(const std::wstring& native) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE handle = CreateFileW(native.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

std::optional<BY_HANDLE_FILE_INFORMATION> HandleInfo(const std::wstring& native) {
    const UniqueHandle handle = OpenForAttributes(native);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
    return info;
}

int64_t SecondsSince1970(FILETIME time) {
    const int64_t ticks = (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return ticks / kTicksPerSecond - kSecondsFrom1601To1970;
}

// Windows keeps only a read-only attribute: every file can be read, written unless it is
// read-only; folders are searchable.
int32_t PermissionsOf(DWORD attributes) {
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    int32_t bits = 0444;
    if (folder || !(attributes & FILE_ATTRIBUTE_READONLY)) bits |= 0222;
    if (folder) bits |= 0111;
    return bits;
}

bool EndsWithSeparator(std::u16string_view path) {
    return !path.empty() && (path.back() == u'/' || path.back() == u'\\');
}

// The attributes of the path itself (a link is not followed), or nothing.
std::optional<WIN32_FILE_ATTRIBUTE_DATA> OwnAttributes(const std::wstring& native) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return data;
}

}  // namespace

std::optional<TPathInfo> LiteralPathInfo(std::u16string_view path) {
    const auto native = NativePath(path);
    if (!native) return std::nullopt;
    auto data = OwnAttributes(*native);
    if (!data) return std::nullopt;
    if (data->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: what it leads to, as stat(2) reports it.
        const auto target = HandleInfo(*native);
        if (!target) return std::nullopt;
        data->dwFileAttributes = target->dwFileAttributes;
        data->ftLastWriteTime = target->ftLastWriteTime;
        data->nFileSizeHigh = target->nFileSizeHigh;
        data->nFileSizeLow = target->nFileSizeLow;
    }
    const bool folder = data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (EndsWithSeparator(path) && !folder) return std::nullopt;
    const int64_t length = (static_cast<int64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
    return TPathInfo{folder ? FILETYPE_DIR : FILETYPE_FILE, folder ? 0 : length,
                     SecondsSince1970(data->ftLastWriteTime), PermissionsOf(data->dwFileAttributes)};
}

bool IsSameFile(std::u16string_view a, std::u16string_view b) {
    const auto nativeA = NativePath(a);
    const auto nativeB = NativePath(b);
    if (!nativeA || !nativeB) return false;
    const auto infoA = HandleInfo(*nativeA);
    const auto infoB = HandleInfo(*nativeB);
    return infoA && infoB && infoA->dwVolumeSerialNumber == infoB->dwVolumeSerialNumber &&
           infoA->nFileIndexHigh == infoB->nFileIndexHigh && infoA->nFileIndexLow == infoB->nFileIndexLow;
}

std::u16string WorkingDirectory() {
    const auto folder = WideTextOfCall([](wchar_t* buffer, uint32_t size) {
        return GetCurrentDirectoryW(size, buffer);
    });
    return folder ? NormalizePath(FromNativePath(*folder)) : std::u16string();
}

// The working directory is limited to MAX_PATH and takes no long-path prefix.
bool SetWorkingDirectory(std::u16string_view path) {
    const auto native = FullNativePath(NormalizePath(path, true));
    return native && SetCurrentDirectoryW(native->c_str());
}

bool SetPermissionBits(std::u16string_view path, int32_t bits) {
    const auto native = NativePath(NormalizePath(path));
    if (!native) return false;
    const DWORD attributes = GetFileAttributesW(native->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
    const bool readOnly = !(bits & 0200);
    const DWORD wanted =
        readOnly ? attributes | FILE_ATTRIBUTE_READONLY : attributes & ~FILE_ATTRIBUTE_READONLY;
    return wanted == attributes || SetFileAttributesW(native->c_str(), wanted);
}

// unlink(2) removes a read-only file too; Windows refuses until the attribute is cleared.
bool RemoveLiteralFile(std::u16string_view path) {
    const auto native = NativePath(path);
    if (!native) return false;
    if (DeleteFileW(native->c_str())) return true;
    const DWORD attributes = GetFileAttributesW(native->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    SetFileAttributesW(native->c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(native->c_str())) return true;
    SetFileAttributesW(native->c_str(), attributes);
    return false;
}

// Like rename(2): an existing target file is replaced, and nothing is copied between volumes.
bool MovePath(std::u16string_view from, std::u16string_view to) {
    const auto nativeFrom = NativePath(NormalizePath(from, true));
    const auto nativeTo = NativePath(NormalizePath(to, true));
    return nativeFrom && nativeTo &&
           MoveFileExW(nativeFrom->c_str(), nativeTo->c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace qrv
