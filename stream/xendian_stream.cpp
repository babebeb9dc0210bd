#include "stream/xendian_stream.h"

#include <array>

#include "core/bit_cast.h"
#include "core/byte_order.h"
#include "stream/single_precision.h"
#include "stream/stream_exceptions.h"

namespace qrv {

Ref<TStream> TXEndianStream::BigEndianOver(Ref<TStream> stream) {
    if (!stream) return nullptr;
    Ref<TXEndianStream> swapping(new TXEndianStream());
    swapping->SetInner(std::move(stream));
    return swapping;
}

Ref<TStream> TXEndianStream::LittleEndianOver(Ref<TStream> stream) {
    return stream;
}

uint16_t TXEndianStream::Swap2(uint16_t value) {
    return static_cast<uint16_t>(value << 8 | value >> 8);
}

uint32_t TXEndianStream::Swap4(uint32_t value) {
    return uint32_t{Swap2(static_cast<uint16_t>(value))} << 16 | Swap2(static_cast<uint16_t>(value >> 16));
}

uint64_t TXEndianStream::Swap8(uint64_t value) {
    return uint64_t{Swap4(static_cast<uint32_t>(value))} << 32 | Swap4(static_cast<uint32_t>(value >> 32));
}

// Bytes missing at the end of the data read as zero, as for every typed read.
uint64_t TXEndianStream::ReadSwapped(int size) {
    std::array<uint8_t, 8> bytes{};
    if (Inner()) Inner()->ReadFully(bytes.data(), size);
    return LoadBigEndian(bytes.data(), static_cast<size_t>(size));
}

void TXEndianStream::WriteSwapped(uint64_t value, int size) {
    if (!Inner()) throw TStreamWriteException();
    std::array<uint8_t, 8> bytes{};
    StoreBigEndian(bytes.data(), value, static_cast<size_t>(size));
    Inner()->WriteFully(bytes.data(), size);
}

int32_t TXEndianStream::ReadUInt16() {
    return static_cast<int32_t>(ReadSwapped(2));
}

void TXEndianStream::WriteUInt16(int32_t value) {
    WriteSwapped(static_cast<uint16_t>(value), 2);
}

int32_t TXEndianStream::ReadInt32() {
    return static_cast<int32_t>(static_cast<uint32_t>(ReadSwapped(4)));
}

void TXEndianStream::WriteInt32(int32_t value) {
    WriteSwapped(static_cast<uint32_t>(value), 4);
}

int64_t TXEndianStream::ReadInt64() {
    return static_cast<int64_t>(ReadSwapped(8));
}

void TXEndianStream::WriteInt64(int64_t value) {
    WriteSwapped(static_cast<uint64_t>(value), 8);
}

float TXEndianStream::ReadFloat32() {
    return BitCast<float>(static_cast<uint32_t>(ReadSwapped(4)));
}

void TXEndianStream::WriteFloat32(double value) {
    WriteSwapped(BitCast<uint32_t>(ToSinglePrecision(value)), 4);
}

double TXEndianStream::ReadFloat64() {
    return BitCast<double>(ReadSwapped(8));
}

void TXEndianStream::WriteFloat64(double value) {
    WriteSwapped(BitCast<uint64_t>(value), 8);
}

Ref<TStream> TXEndianStreamFactory::TryOpen(const Ref<TObject>&, std::u16string_view protocol,
                                            std::u16string_view path, bool readable, bool writeable) {
    if (protocol == u"bigendian") {
        return TXEndianStream::BigEndianOver(OpenUrl(path, readable, writeable));
    }
    if (protocol == u"littleendian") {
        return TXEndianStream::LittleEndianOver(OpenUrl(path, readable, writeable));
    }
    return nullptr;
}

}  // namespace qrv
