#include "stream/stream_utils.h"

#include <algorithm>
#include <limits>

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
}

}  // namespace

std::vector<uint8_t> LoadBytes(TStream& stream) {
    constexpr int32_t kMaxSize = std::numeric_limits<int32_t>::max();
    // Start with room for what a seekable stream says is left, so a file is read in one go.
    int64_t capacity = 1024;
    const int32_t position = stream.Position();
    if (position >= 0) capacity = std::max<int64_t>(capacity, int64_t{stream.Size()} - position);

    std::vector<uint8_t> bytes(static_cast<size_t>(capacity));
    size_t length = 0;
    while (!stream.AtEnd()) {
        if (length == bytes.size()) {
            if (length >= static_cast<size_t>(kMaxSize)) break;
            bytes.resize(static_cast<size_t>(std::min<int64_t>(kMaxSize, int64_t(length) * 3 / 2)));
        }
        const auto room = static_cast<int32_t>(std::min<size_t>(bytes.size() - length, kMaxSize));
        const int32_t n = stream.Read(bytes.data() + length, room);
        // A stream that gives nothing but does not report its end would otherwise never stop.
        if (n <= 0) break;
        length += static_cast<size_t>(n);
    }
    bytes.resize(length);
    return bytes;
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
}

void CopyUntilEnd(TStream& from, TStream& to, int32_t bufferSize) {
    std::vector<uint8_t> buffer(static_cast<size_t>(std::max(bufferSize, 1)));
    const auto size = static_cast<int32_t>(buffer.size());
    while (!from.AtEnd()) {
        const int32_t n = from.Read(buffer.data(), size);
        if (n <= 0) break;
        to.WriteFully(buffer.data(), n);
    }
}

void CopyCount(TStream& from, TStream& to, int32_t count, int32_t bufferSize) {
    if (count <= 0) return;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::clamp(bufferSize, 1, count)));
    const auto size = static_cast<int32_t>(buffer.size());
    while (count > 0) {
        const int32_t n = std::min(count, size);
        from.ReadFully(buffer.data(), n);
        to.WriteFully(buffer.data(), n);
        count -= n;
    }
}

}  // namespace qrv
