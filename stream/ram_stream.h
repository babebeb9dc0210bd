#pragma once

#include "stream/stream.h"
#include "stream/stream_factory.h"

namespace qrv {

// A stream over a block of memory that it does not own: the block must outlive the stream.
// The block never grows; seeks are clamped to it. Flush and Close do nothing, so the stream
// stays usable after Close.
class TRamStream : public TStream {
public:
    // A stream over `size` bytes at `buffer`; reading or writing what is not allowed gives 0 bytes
    // (so ReadFully and WriteFully raise). None for a negative size, or no buffer but a size.
    [[nodiscard]] static Ref<TRamStream> OverMemory(void* buffer, int32_t size, bool readable,
                                                    bool writeable);
    // Read-only memory (an embedded file) can never be written through the stream.
    [[nodiscard]] static Ref<TRamStream> OverMemory(const void* buffer, int32_t size);

    int32_t Position() override { return position; }
    int32_t Size() override { return size; }
    int32_t Seek(int32_t pos) override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;

private:
    TRamStream(uint8_t* buffer, int32_t size, bool readable, bool writeable);

    int32_t position = 0;
    int32_t size = 0;
    uint8_t* buffer = nullptr;
    bool readable = false;
    bool writeable = false;
};

// The same as TRamStream::OverMemory with the same arguments.
[[nodiscard]] Ref<TRamStream> MemoryStreamOver(void* buffer, int32_t size, bool readable, bool writeable);

// "incbin::<name>": a read-only memory stream over an embedded file. Never writeable.
class TRamStreamFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                         std::u16string_view path, bool readable, bool writeable) override;
};

}  // namespace qrv
