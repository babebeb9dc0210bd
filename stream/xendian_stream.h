#pragma once

#include "stream/stream_factory.h"
#include "stream/stream_wrapper.h"

namespace qrv {

// Reads and writes the 16-, 32- and 64-bit integers and both reals of its inner stream in
// big-endian byte order. Bytes, lines and characters pass through unchanged.
class TXEndianStream : public TStreamWrapper {
public:
    // None for none.
    [[nodiscard]] static Ref<TStream> BigEndianOver(Ref<TStream> stream);
    // The stream itself: streams are little-endian already.
    [[nodiscard]] static Ref<TStream> LittleEndianOver(Ref<TStream> stream);

    // Swap2, Swap4 and Swap8: the value with its 2, 4 or 8 bytes in reverse order.
    static uint16_t Swap2(uint16_t value);
    static uint32_t Swap4(uint32_t value);
    static uint64_t Swap8(uint64_t value);

    int32_t ReadUInt16() override;
    void WriteUInt16(int32_t value) override;
    int32_t ReadInt32() override;
    void WriteInt32(int32_t value) override;
    int64_t ReadInt64() override;
    void WriteInt64(int64_t value) override;
    float ReadFloat32() override;
    void WriteFloat32(double value) override;
    double ReadFloat64() override;
    void WriteFloat64(double value) override;

private:
    TXEndianStream() = default;
    uint64_t ReadSwapped(int size);
    void WriteSwapped(uint64_t value, int size);
};

// "bigendian::" and "littleendian::" followed by the URL of the bytes.
class TXEndianStreamFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                         std::u16string_view path, bool readable, bool writeable) override;
};

}  // namespace qrv
