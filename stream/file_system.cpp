#include "stream/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/c_stream.h"
#include "stream/native_path.h"
#include "stream/path_names.h"
#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_utils.h"

namespace qrv {
namespace {

std::optional<struct stat> StatOfLiteral(std::u16string_view path) {
    const auto native = NativePath(path);
    struct stat info {};
    if (!native || ::stat(native->c_str(), &info) != 0) return std::nullopt;
    return info;
}

std::optional<struct stat> StatOf(std::u16string_view path) {
    return StatOfLiteral(NormalizePath(path));
}

bool SameFile(const std::optional<struct stat>& a, const std::optional<struct stat>& b) {
    return a && b && a->st_dev == b->st_dev && a->st_ino == b->st_ino;
}

int KindOf(const std::optional<struct stat>& info) {
    if (!info) return FILETYPE_NONE;
    if (S_ISREG(info->st_mode)) return FILETYPE_FILE;
    if (S_ISDIR(info->st_mode)) return FILETYPE_DIR;
    return FILETYPE_NONE;
}

Ref<TStream> OpenLiteralFile(std::u16string_view path, bool writing) {
    const auto native = NativePath(path);
    if (!native) return nullptr;
    return TCStream::FromCFile(std::fopen(native->c_str(), writing ? "wb" : "rb"),
                               writing ? TCStream::MODE_WRITE : TCStream::MODE_READ);
}

// Copies everything from `source` into `target` and closes both; false when a read or write
// failed, also when the failure showed only on closing the target.
bool CopyAndClose(const Ref<TStream>& source, const Ref<TStream>& target) {
    TStreamCloser sourceCloser(source);
    TStreamCloser targetCloser(target);
    try {
        CopyUntilEnd(*source, *target, 4096);
        targetCloser.Close();
        return true;
    } catch (const TStreamException&) {
        return false;
    }
}

}  // namespace

Ref<TStream> OpenSeekableStream(const Ref<TObject>& url, bool readable, bool writeable) {
    auto stream = OpenUrl(url, readable, writeable);
    if (!stream || stream->Position() != -1) return stream;
    return BankStreamOver(BankFromUrl(stream));
}

Ref<TStream> OpenSeekableStream(std::u16string_view url, bool readable, bool writeable) {
    return OpenSeekableStream(MakeText(std::u16string(url)), readable, writeable);
}

Ref<TStream> OpenFileForReading(std::u16string_view url) {
    return OpenSeekableStream(url, true, false);
}

Ref<TStream> OpenFileForWriting(std::u16string_view url) {
    return OpenSeekableStream(url, false, true);
}

int PathKind(std::u16string_view path) {
    return KindOf(StatOf(path));
}

int LiteralPathKind(std::u16string_view path) {
    return KindOf(StatOfLiteral(path));
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

std::u16string AbsolutePath(std::u16string_view path) {
    return ResolvePath(path, WorkingDirectory());
}

int64_t FileLength(std::u16string_view path) {
    const auto info = StatOf(path);
    return info ? static_cast<int64_t>(info->st_size) : -1;
}

int64_t ModificationTime(std::u16string_view path) {
    const auto info = StatOf(path);
    return info ? static_cast<int64_t>(info->st_mtime) : -1;
}

int32_t PermissionBits(std::u16string_view path) {
    const auto info = StatOf(path);
    return info ? static_cast<int32_t>(info->st_mode & 0x1FF) : -1;
}

bool SetPermissionBits(std::u16string_view path, int32_t bits) {
    const auto native = NativePath(NormalizePath(path));
    return native && ::chmod(native->c_str(), static_cast<mode_t>(bits & 0x1FF)) == 0;
}

bool CreateEmptyFile(std::u16string_view path) {
    const auto native = NativePath(NormalizePath(path));
    if (!native) return false;
    RemoveFile(path);
    if (std::FILE* file = std::fopen(native->c_str(), "wb")) std::fclose(file);
    return PathKind(path) == FILETYPE_FILE;
}

bool RemoveFile(std::u16string_view path) {
    return RemoveLiteralFile(NormalizePath(path));
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

bool DuplicateFile(std::u16string_view from, std::u16string_view to) {
    if (SameFile(StatOf(from), StatOf(to))) return false;
    auto source = OpenReadStream(from);
    if (!source) return false;
    auto target = OpenWriteStream(to);
    if (!target) {
        source->Close();
        return false;
    }
    return CopyAndClose(source, target);
}

bool DuplicateLiteralFile(std::u16string_view from, std::u16string_view to) {
    if (SameFile(StatOfLiteral(from), StatOfLiteral(to))) return false;
    auto source = OpenLiteralFile(from, false);
    if (!source) return false;
    auto target = OpenLiteralFile(to, true);
    if (!target) {
        source->Close();
        return false;
    }
    return CopyAndClose(source, target);
}

}  // namespace qrv
