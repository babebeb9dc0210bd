#include "stream/stream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/bit_cast.h"
#include "core/byte_order.h"
#include "core/error.h"
#include "core/text.h"
#include "stream/single_precision.h"
#include "stream/stream_exceptions.h"

namespace qrv {
namespace {

// Reads `size` bytes (missing ones stay zero) and assembles them little-endian.
uint64_t ReadLittleEndian(TStream& stream, int size) {
    std::array<uint8_t, 8> bytes{};
    stream.ReadFully(bytes.data(), size);
    return LoadLittleEndian(bytes.data(), static_cast<size_t>(size));
}

void WriteLittleEndian(TStream& stream, uint64_t value, int size) {
    std::array<uint8_t, 8> bytes{};
    StoreLittleEndian(bytes.data(), value, static_cast<size_t>(size));
    stream.WriteFully(bytes.data(), size);
}

}  // namespace

bool TIO::AtEnd() {
    return Position() == Size();
}

int32_t TIO::Position() {
    return -1;
}

int32_t TIO::Size() {
    return 0;
}

int32_t TIO::Seek(int32_t) {
    return -1;
}

void TIO::Flush() {}

void TIO::Close() {}

int32_t TIO::Read(void*, int32_t) {
    throw TRuntimeError("Stream is not readable");
}

int32_t TIO::Write(const void*, int32_t) {
    throw TRuntimeError("Stream is not writeable");
}

int32_t TStream::ReadFully(void* buffer, int32_t count) {
    if (count < 0) return 0;
    auto* bytes = static_cast<uint8_t*>(buffer);
    for (int32_t left = count; left > 0 && !AtEnd();) {
        const int32_t n = Read(bytes, left);
        if (n <= 0) throw TStreamReadException();
        bytes += n;
        left -= n;
    }
    return count;
}

int32_t TStream::WriteFully(const void* buffer, int32_t count) {
    if (count < 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    for (int32_t left = count; left > 0;) {
        const int32_t n = Write(bytes, left);
        if (n <= 0) throw TStreamWriteException();
        bytes += n;
        left -= n;
    }
    return count;
}

int32_t TStream::Skip(int32_t count) {
    if (count < 0) return 0;
    std::array<uint8_t, 1024> scratch;
    for (int32_t left = count; left > 0 && !AtEnd();) {
        const int32_t n = Read(scratch.data(), std::min<int32_t>(left, scratch.size()));
        if (n <= 0) throw TStreamReadException();
        left -= n;
    }
    return count;
}

int32_t TStream::ReadUInt8() {
    return static_cast<int32_t>(ReadLittleEndian(*this, 1));
}

void TStream::WriteUInt8(int32_t value) {
    WriteLittleEndian(*this, static_cast<uint32_t>(value), 1);
}

int32_t TStream::ReadUInt16() {
    return static_cast<int32_t>(ReadLittleEndian(*this, 2));
}

void TStream::WriteUInt16(int32_t value) {
    WriteLittleEndian(*this, static_cast<uint32_t>(value), 2);
}

int32_t TStream::ReadInt32() {
    return static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(*this, 4)));
}

void TStream::WriteInt32(int32_t value) {
    WriteLittleEndian(*this, static_cast<uint32_t>(value), 4);
}

int64_t TStream::ReadInt64() {
    return static_cast<int64_t>(ReadLittleEndian(*this, 8));
}

void TStream::WriteInt64(int64_t value) {
    WriteLittleEndian(*this, static_cast<uint64_t>(value), 8);
}

float TStream::ReadFloat32() {
    return BitCast<float>(static_cast<uint32_t>(ReadLittleEndian(*this, 4)));
}

void TStream::WriteFloat32(double value) {
    WriteLittleEndian(*this, BitCast<uint32_t>(ToSinglePrecision(value)), 4);
}

double TStream::ReadFloat64() {
    return BitCast<double>(ReadLittleEndian(*this, 8));
}

void TStream::WriteFloat64(double value) {
    WriteLittleEndian(*this, BitCast<uint64_t>(value), 8);
}

std::u16string TStream::ReadTextLine() {
    std::u16string line;
    std::array<char16_t, 1024> pending;
    size_t used = 0;
    for (;;) {
        uint8_t byte = 0;
        if (Read(&byte, 1) != 1 || byte == 10 || byte == 0) break;
        if (byte == 13) continue;
        pending[used++] = byte;
        if (used == pending.size()) {
            line.append(pending.data(), used);
            used = 0;
        }
    }
    line.append(pending.data(), used);
    return line;
}

bool TStream::WriteTextLine(std::u16string_view text) {
    if (text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
    const std::string bytes = ToLatin1(text);
    const auto size = static_cast<int32_t>(bytes.size());
    if (Write(bytes.data(), size) != size) return false;
    static constexpr char kLineEnd[2] = {13, 10};
    return Write(kLineEnd, 2) == 2;
}

std::u16string TStream::ReadChars(int32_t count) {
    if (count <= 0) return {};
    std::string bytes(static_cast<size_t>(count), '\0');
    ReadFully(bytes.data(), count);
    return FromLatin1(bytes);
}

void TStream::WriteChars(std::u16string_view text) {
    if (text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        throw TStreamWriteException();
    }
    const std::string bytes = ToLatin1(text);
    WriteFully(bytes.data(), static_cast<int32_t>(bytes.size()));
}

Ref<TObject> TStream::ReadSerialized() {
    throw TRuntimeError("Unable to read object");
}

void TStream::WriteSerialized(const Ref<TObject>&) {
    throw TRuntimeError("Unable to write object");
}

Ref<TStream> OpenReadStream(const Ref<TObject>& url) {
    return OpenUrl(url, true, false);
}

Ref<TStream> OpenReadStream(std::u16string_view url) {
    return OpenUrl(url, true, false);
}

Ref<TStream> OpenWriteStream(const Ref<TObject>& url) {
    return OpenUrl(url, false, true);
}

Ref<TStream> OpenWriteStream(std::u16string_view url) {
    return OpenUrl(url, false, true);
}

}  // namespace qrv
