#include "stream/stream_utils.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/text.h"
#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"

namespace qrv {
namespace {

std::u16string DescribeUrl(const Ref<TObject>& url) {
    if (const std::u16string* text = AsText(url)) return *text;
    return url ? url->ToString() : u"";
}

int64_t loadBytesLimit = DEFAULT_LOAD_BYTES_LIMIT;

[[noreturn]] void RaiseOverLoadLimit() {
    throw TRuntimeError("More than " + std::to_string(loadBytesLimit) +
                        " bytes to load into memory; SetLoadBytesLimit allows more");
}

}  // namespace

Ref<TStream> OpenStreamOrRaise(const Ref<TObject>& url, bool writing) {
    auto stream = writing ? OpenWriteStream(url) : OpenReadStream(url);
    if (!stream) {
        throw TRuntimeError(u"Unable to open \"" + DescribeUrl(url) + u"\" for " +
                            (writing ? u"writing" : u"reading"));
    }
    return stream;
}

namespace {

void WriteAll(const void* bytes, size_t size, const Ref<TObject>& url) {
    if (size > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        throw TRuntimeError(u"Too many bytes to write to \"" + DescribeUrl(url) + u"\"");
    }
    auto stream = OpenStreamOrRaise(url, true);
    TStreamCloser closer(stream);
    stream->WriteFully(bytes, static_cast<int32_t>(size));
    closer.Close();
}

}  // namespace

std::vector<uint8_t> LoadBytes(TStream& stream) {
    const auto limit = static_cast<size_t>(loadBytesLimit);
    // Reading into a small piece that stays in the cache and appending it writes the result
    // once; zero-filling the result before reading into it would write it twice.
    constexpr size_t kPiece = 64 << 10;
    // A seekable stream says how many bytes are left, so a file is loaded into one buffer; a
    // read that gives nothing before them is an error (the file shrank, or the device failed),
    // not an early end.
    const int32_t position = stream.Position();
    const bool sizeKnown = position >= 0;
    std::vector<uint8_t> bytes;
    if (sizeKnown) {
        const auto left = static_cast<size_t>(std::max(0, stream.Size() - position));
        if (left > limit) RaiseOverLoadLimit();
        bytes.reserve(left);
    }

    const auto piece = std::unique_ptr<uint8_t[]>(new uint8_t[kPiece]);
    while (!stream.AtEnd()) {
        // One byte past the limit tells a stream that ends at it from one that goes on.
        const auto room = static_cast<int32_t>(std::min(kPiece, limit + 1 - bytes.size()));
        const int32_t n = stream.Read(piece.get(), room);
        if (n > 0) {
            if (bytes.size() + static_cast<size_t>(n) > limit) RaiseOverLoadLimit();
            bytes.insert(bytes.end(), piece.get(), piece.get() + n);
        } else if (sizeKnown) {
            throw TStreamReadException();
        } else {
            // A stream that gives nothing but does not report its end would otherwise never stop.
            break;
        }
    }
    return bytes;
}

void SetLoadBytesLimit(int64_t bytes) {
    loadBytesLimit = std::clamp<int64_t>(bytes, 0, std::numeric_limits<int32_t>::max());
}

int64_t LoadBytesLimit() {
    return loadBytesLimit;
}

std::vector<uint8_t> LoadBytes(const Ref<TObject>& url) {
    auto stream = OpenStreamOrRaise(url, false);
    TStreamCloser closer(stream);
    return LoadBytes(*stream);
}

std::vector<uint8_t> LoadBytes(std::u16string_view url) {
    return LoadBytes(MakeText(std::u16string(url)));
}

std::u16string LoadByteString(const Ref<TObject>& url) {
    const std::vector<uint8_t> bytes = LoadBytes(url);
    return std::u16string(bytes.begin(), bytes.end());
}

std::u16string LoadByteString(std::u16string_view url) {
    return LoadByteString(MakeText(std::u16string(url)));
}

void SaveByteString(std::u16string_view text, const Ref<TObject>& url) {
    const std::string bytes = ToLatin1(text);
    WriteAll(bytes.data(), bytes.size(), url);
}

void SaveByteString(std::u16string_view text, std::u16string_view url) {
    SaveByteString(text, MakeText(std::u16string(url)));
}

void SaveBytes(const std::vector<uint8_t>& bytes, const Ref<TObject>& url) {
    WriteAll(bytes.data(), bytes.size(), url);
}

void SaveBytes(const std::vector<uint8_t>& bytes, std::u16string_view url) {
    SaveBytes(bytes, MakeText(std::u16string(url)));
}

Ref<TObject> ReadObjectFrom(const Ref<TObject>& url) {
    auto stream = OpenReadStream(url);
    if (!stream) return nullptr;
    TStreamCloser closer(stream);
    return stream->ReadSerialized();
}

void WriteObjectTo(const Ref<TObject>& object, const Ref<TObject>& url) {
    auto stream = OpenWriteStream(url);
    if (!stream) return;
    TStreamCloser closer(stream);
    stream->WriteSerialized(object);
    // A small object may still wait in the file's buffer: the close says whether it was saved.
    closer.Close();
}

void CopyUntilEnd(TStream& from, TStream& to, int32_t bufferSize) {
    std::vector<uint8_t> buffer(static_cast<size_t>(std::max(bufferSize, 1)));
    const auto size = static_cast<int32_t>(buffer.size());
    // As in LoadBytes: a seekable source that stops giving bytes before its end failed.
    const bool sizeKnown = from.Position() >= 0;
    while (!from.AtEnd()) {
        const int32_t n = from.Read(buffer.data(), size);
        if (n <= 0) {
            if (sizeKnown) throw TStreamReadException();
            break;
        }
        to.WriteFully(buffer.data(), n);
    }
}

void CopyCount(TStream& from, TStream& to, int32_t count, int32_t bufferSize) {
    if (count <= 0) return;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::clamp(bufferSize, 1, count)));
    const auto size = static_cast<int32_t>(buffer.size());
    while (count > 0) {
        const int32_t piece = std::min(count, size);
        // A source that ends early must not pass the buffer's stale bytes on as its own.
        for (int32_t got = 0; got < piece;) {
            const int32_t n = from.AtEnd() ? 0 : from.Read(buffer.data() + got, piece - got);
            if (n <= 0) throw TStreamReadException();
            got += n;
        }
        to.WriteFully(buffer.data(), piece);
        count -= piece;
    }
}

}  // namespace qrv
