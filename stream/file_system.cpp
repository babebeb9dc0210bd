#include "stream/file_system.h"

#include <cstdio>
#include <optional>

#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/c_stream.h"
#include "stream/c_stream_platform.h"
#include "stream/file_system_platform.h"
#include "stream/path_names.h"
#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_utils.h"

namespace qrv {
namespace {

std::optional<TPathInfo> InfoOf(std::u16string_view path) {
    return LiteralPathInfo(NormalizePath(path));
}

int KindOf(const std::optional<TPathInfo>& info) {
    return info ? info->kind : FILETYPE_NONE;
}

Ref<TStream> OpenLiteralFile(std::u16string_view path, bool writing) {
    return TCStream::FromCFile(OpenNativeFile(path, writing ? "wb" : "rb"),
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
    return KindOf(InfoOf(path));
}

int LiteralPathKind(std::u16string_view path) {
    return KindOf(LiteralPathInfo(path));
}

std::u16string AbsolutePath(std::u16string_view path) {
    return ResolvePath(path, WorkingDirectory());
}

int64_t FileLength(std::u16string_view path) {
    const auto info = InfoOf(path);
    return info ? info->length : -1;
}

int64_t ModificationTime(std::u16string_view path) {
    const auto info = InfoOf(path);
    return info ? info->modified : -1;
}

int32_t PermissionBits(std::u16string_view path) {
    const auto info = InfoOf(path);
    return info ? info->permissions : -1;
}

bool CreateEmptyFile(std::u16string_view path) {
    RemoveFile(path);
    if (std::FILE* file = OpenNativeFile(NormalizePath(path), "wb")) std::fclose(file);
    return PathKind(path) == FILETYPE_FILE;
}

bool RemoveFile(std::u16string_view path) {
    return RemoveLiteralFile(NormalizePath(path));
}

bool DuplicateFile(std::u16string_view from, std::u16string_view to) {
    if (IsSameFile(NormalizePath(from), NormalizePath(to))) return false;
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
    if (IsSameFile(from, to)) return false;
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
