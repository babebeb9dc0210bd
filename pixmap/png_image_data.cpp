#include "pixmap/png_image_data.h"

#include <libdeflate.h>

#include <algorithm>
#include <span>
#include <vector>

#include "core/byte_order.h"
#include "pixmap/zlib_compression.h"

namespace qrv {

namespace {

constexpr uint32_t IDAT = 0x49444154;
constexpr uint32_t IEND = 0x49454E44;
constexpr size_t readBlock = 64 * 1024;

// False when the data ends first (`ranOut` is then set) or the stream misbehaves.
bool ReadExactly(TStream& stream, void* data, size_t length, bool& ranOut) {
    auto* at = static_cast<uint8_t*>(data);
    while (length > 0) {
        const auto chunk = static_cast<int32_t>(std::min<size_t>(length, 1 << 30));
        const int32_t got = stream.Read(at, chunk);
        if (got == 0) ranOut = true;
        if (got <= 0 || got > chunk) return false;
        at += got;
        length -= static_cast<size_t>(got);
    }
    return true;
}

// The chunk sequence from the first IDAT on: image data handed out in blocks, each chunk's
// CRC checked when it ends.
class TChunkReader {
public:
    TChunkReader(TStream& stream, uint32_t firstLength)
        : stream(stream), type(IDAT), left(firstLength), crc(ChunkCrc(IDAT)) {}

    // The next bytes of image data; 0 when the IDAT chunks have ended, -1 on damage.
    long NextImageData(uint8_t* buffer, size_t capacity) {
        while (left == 0) {
            if (type != IDAT || !EndChunk() || !BeginChunk()) return -1;
            if (type != IDAT) return 0;
        }
        const size_t n = std::min<size_t>(left, capacity);
        if (!ReadExactly(stream, buffer, n, ranOut)) return -1;
        crc = libdeflate_crc32(crc, buffer, n);
        left -= static_cast<uint32_t>(n);
        return static_cast<long>(n);
    }

    // What is left of the current chunk's image data; at least 1, so that reading moves on
    // past its end.
    size_t ImageDataLeft() const { return std::max<size_t>(left, 1); }

    // Whether a read found the end of the data.
    bool RanOut() const { return ranOut; }

    // Skips what is left of the image data and every chunk after it, up to and with IEND.
    bool ReadToEnd() {
        uint8_t buffer[4096];
        for (;;) {
            while (left > 0) {
                const size_t n = std::min<size_t>(left, sizeof buffer);
                if (!ReadExactly(stream, buffer, n, ranOut)) return false;
                crc = libdeflate_crc32(crc, buffer, n);
                left -= static_cast<uint32_t>(n);
            }
            if (!EndChunk()) return false;
            if (type == IEND) return true;
            if (!BeginChunk()) return false;
        }
    }

private:
    static uint32_t ChunkCrc(uint32_t chunkType) {
        uint8_t name[4];
        StoreBigEndian(name, chunkType);
        return libdeflate_crc32(0, name, 4);
    }

    // Critical chunks (an upper-case first letter) must have the right CRC; libpng ignores
    // ancillary chunks whose CRC is wrong.
    bool EndChunk() {
        uint8_t stored[4];
        if (!ReadExactly(stream, stored, 4, ranOut)) return false;
        const bool critical = (type >> 29 & 1) == 0;
        return LoadBigEndian<uint32_t>(stored) == crc || !critical;
    }

    bool BeginChunk() {
        uint8_t header[8];
        if (!ReadExactly(stream, header, 8, ranOut)) return false;
        left = LoadBigEndian<uint32_t>(header);
        type = LoadBigEndian<uint32_t>(header + 4);
        crc = ChunkCrc(type);
        return left <= 0x7FFFFFFFu;
    }

    TStream& stream;
    uint32_t type;
    uint32_t left;
    uint32_t crc;
    bool ranOut = false;
};

enum class TGathered { All, TooMuch, Damaged };

// Reads the image data of the IDAT chunks into one buffer, up to `limit` bytes. The buffer
// grows with what is read, so a chunk that claims more than the file holds costs nothing.
TGathered GatherImageData(TChunkReader& chunks, size_t limit, std::vector<uint8_t>& data) {
    for (;;) {
        if (data.size() >= limit) return TGathered::TooMuch;
        const size_t at = data.size();
        data.resize(at + std::min({chunks.ImageDataLeft(), readBlock, limit - at}));
        const long got = chunks.NextImageData(data.data() + at, data.size() - at);
        data.resize(at + static_cast<size_t>(std::max(got, 0L)));
        if (got < 0) return TGathered::Damaged;
        if (got == 0) return TGathered::All;
    }
}

// More than any zlib stream of `size` inflated bytes needs, even one stored without
// compression (5 bytes for each block of up to 65535): image data beyond it (a stream that goes
// on past the rows, or data after the stream) is inflated by zlib as it is read.
size_t GatherLimit(size_t size) { return size + size / 8 + 64 * 1024; }

// Inflates the image data into `out` (exactly `size` bytes of filtered rows).
bool InflateImageData(TChunkReader& chunks, uint8_t* out, size_t size) {
    std::vector<uint8_t> data;
    const TGathered gathered = GatherImageData(chunks, GatherLimit(size), data);
    if (gathered == TGathered::Damaged) return false;
    const std::span<uint8_t> rows(out, size);
    if (gathered == TGathered::All) {
        const TZlibInflated inflated = InflateZlib(data, rows, TZlibChecksum::Ignored).outcome;
        if (inflated != TZlibInflated::Longer) return inflated == TZlibInflated::Whole;
    }
    // zlib's inflate takes what libdeflate cannot take in one piece: more data than a stream
    // of the rows can need, or a stream that inflates to more than the rows.
    TZlibInflater inflater(
        data, [&chunks](uint8_t* buffer, size_t capacity) {
            return chunks.NextImageData(buffer, capacity);
        },
        TZlibChecksum::Ignored);
    return inflater.InflateDroppingExcess(rows);
}

}  // namespace

TPngImageData ReadPngImageData(TStream& stream, uint32_t firstChunkLength, uint8_t* out, size_t size) {
    TChunkReader chunks(stream, firstChunkLength);
    // Data left in the stream after the rows is tolerated, as libpng does.
    if (InflateImageData(chunks, out, size) && chunks.ReadToEnd()) return TPngImageData::Whole;
    return chunks.RanOut() ? TPngImageData::Short : TPngImageData::Damaged;
}

}  // namespace qrv
