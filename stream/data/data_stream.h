#pragma once

#include <cstdint>

#include "stream/stream.h"
#include "stream/stream_factory.h"
#include "stream/stream_wrapper.h"

namespace qrv {

// A stream that writes and reads whole objects over an inner stream. The first object written
// or read is preceded by a header (magic and format version); each object then travels as one
// length-prefixed graph in which shared objects appear once. Plain reads and writes pass
// through to the inner stream. Data that cannot be read raises TDataReadException.
class TDataStream final : public TStreamWrapper {
public:
    // The header: these four bytes, then kFormatVersion as a little-endian 32-bit number. Reading
    // other bytes or another version raises TDataReadException.
    static constexpr uint8_t kMagic[4] = {'Q', 'R', 'V', 'D'};
    static constexpr uint32_t kFormatVersion = 1;

    Ref<TObject> ReadSerialized() override;
    void WriteSerialized(const Ref<TObject>& object) override;

private:
    void ReadHeader();
    void ReadExactly(uint8_t* buffer, size_t count, const char* what);

    bool headerRead = false;
    bool headerWritten = false;
};

// A data stream over the inner stream; closing it closes the inner stream too.
[[nodiscard]] Ref<TDataStream> DataStreamOver(Ref<TStream> inner);

// "data::" followed by any URL: a data stream over the opened URL. Raises "DataStreams can not
// be both readable and writeable" when both are asked for.
class TDataStreamFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                         std::u16string_view path, bool readable, bool writeable) override;
};

}  // namespace qrv
