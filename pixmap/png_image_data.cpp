#include "pixmap/png_image_data.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace qrv {

namespace {

constexpr uint32_t IDAT = 0x49444154;
constexpr uint32_t IEND = 0x49454E44;
constexpr size_t readBlock = 64 * 1024;

uint32_t BigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool ReadExactly(TStream& stream, void* data, size_t length) {
    auto* at = static_cast<uint8_t*>(data);
    while (length > 0) {
        const auto chunk = static_cast<int32_t>(std::min<size_t>(length, 1 << 30));
        const int32_t got = stream.Read(at, chunk);
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
        if (!ReadExactly(stream, buffer, n)) return -1;
        crc = libdeflate_crc32(crc, buffer, n);
        left -= static_cast<uint32_t>(n);
        return static_cast<long>(n);
    }

    // What is left of the current chunk's image data; at least 1, so that reading moves on
    // past its end.
    size_t ImageDataLeft() const { return std::max<size_t>(left, 1); }

    // Skips what is left of the image data and every chunk after it, up to and with IEND.
    bool ReadToEnd() {
        uint8_t buffer[4096];
        for (;;) {
            while (left > 0) {
                const size_t n = std::min<size_t>(left, sizeof buffer);
                if (!ReadExactly(stream, buffer, n)) return false;
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
        const uint8_t name[4] = {uint8_t(chunkType >> 24), uint8_t(chunkType >> 16),
                                 uint8_t(chunkType >> 8), uint8_t(chunkType)};
        return libdeflate_crc32(0, name, 4);
    }

    // Critical chunks (an upper-case first letter) must have the right CRC; libpng ignores
    // ancillary chunks whose CRC is wrong.
    bool EndChunk() {
        uint8_t stored[4];
        if (!ReadExactly(stream, stored, 4)) return false;
        const bool critical = (type >> 29 & 1) == 0;
        return BigEndian(stored) == crc || !critical;
    }

    bool BeginChunk() {
        uint8_t header[8];
        if (!ReadExactly(stream, header, 8)) return false;
        left = BigEndian(header);
        type = BigEndian(header + 4);
        crc = ChunkCrc(type);
        return left <= 0x7FFFFFFFu;
    }

    TStream& stream;
    uint32_t type;
    uint32_t left;
    uint32_t crc;
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

// zlib's own checks of the two header bytes: deflate with a window of at most 32 KiB, no
// preset dictionary and a correct check value.
bool ZlibHeaderIsSound(const std::vector<uint8_t>& data) {
    if (data.size() < 2) return false;
    const uint8_t method = data[0], flags = data[1];
    return (method & 0x0F) == 8 && (method >> 4) <= 7 && (flags & 0x20) == 0 &&
           (method * 256 + flags) % 31 == 0;
}

enum class TInflated { Whole, Longer, Damaged };

// Inflates a zlib stream that was read whole with libdeflate into exactly `size` bytes.
// Longer when the stream holds more than that; Damaged when it is damaged, holds less, or
// lacks its checksum's four bytes (which, like zlib here, it does not check: the chunk CRCs
// cover the same bytes).
TInflated InflateWhole(const std::vector<uint8_t>& data, uint8_t* out, size_t size) {
    if (!ZlibHeaderIsSound(data)) return TInflated::Damaged;
    std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    if (!inflater) return TInflated::Damaged;
    size_t consumed = 0, produced = 0;
    const libdeflate_result result = libdeflate_deflate_decompress_ex(
        inflater.get(), data.data() + 2, data.size() - 2, out, size, &consumed, &produced);
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE) return TInflated::Longer;
    const bool whole = result == LIBDEFLATE_SUCCESS && produced == size &&
                       2 + consumed + 4 <= data.size();
    return whole ? TInflated::Whole : TInflated::Damaged;
}

// zlib's inflate, for image data libdeflate cannot take in one piece: more of it than a
// stream of the rows can need, or a stream that inflates to more than the rows. It takes the
// data already read first, then the rest of the chunks.
class TStreamInflater {
public:
    TStreamInflater(const std::vector<uint8_t>& read, TChunkReader& chunks)
        : chunks(chunks), input(readBlock) {
        ready = inflateInit(&zstream) == Z_OK;
#if ZLIB_VERNUM >= 0x1290
        if (ready) inflateValidate(&zstream, 0);
#endif
        zstream.next_in = const_cast<uint8_t*>(read.data());
        zstream.avail_in = static_cast<uInt>(read.size());
    }
    ~TStreamInflater() {
        if (ready) inflateEnd(&zstream);
    }
    TStreamInflater(const TStreamInflater&) = delete;
    TStreamInflater& operator=(const TStreamInflater&) = delete;

    // Fills the buffer, then reads the stream to its end, dropping what it inflates past the
    // buffer as libpng does. False when the data ends first or is damaged.
    bool Inflate(uint8_t* out, size_t length) {
        if (!ready) return false;
        zstream.next_out = out;
        zstream.avail_out = static_cast<uInt>(length);
        while (zstream.avail_out > 0) {
            if (ended || !InflateStep()) return false;
        }
        uint8_t spare[1024];
        while (!ended) {
            zstream.next_out = spare;
            zstream.avail_out = sizeof spare;
            if (!InflateStep()) return false;
        }
        return true;
    }

private:
    bool InflateStep() {
        if (zstream.avail_in == 0) {
            const long got = chunks.NextImageData(input.data(), input.size());
            if (got <= 0) return false;
            zstream.next_in = input.data();
            zstream.avail_in = static_cast<uInt>(got);
        }
        const int result = inflate(&zstream, Z_NO_FLUSH);
        if (result == Z_STREAM_END) ended = true;
        return result == Z_OK || result == Z_STREAM_END;
    }

    TChunkReader& chunks;
    std::vector<uint8_t> input;
    z_stream zstream{};
    bool ready = false;
    bool ended = false;
};

// Inflates the image data into `out` (exactly `size` bytes of filtered rows).
bool InflateImageData(TChunkReader& chunks, uint8_t* out, size_t size) {
    std::vector<uint8_t> data;
    const TGathered gathered = GatherImageData(chunks, GatherLimit(size), data);
    if (gathered == TGathered::Damaged) return false;
    if (gathered == TGathered::All) {
        const TInflated inflated = InflateWhole(data, out, size);
        if (inflated != TInflated::Longer) return inflated == TInflated::Whole;
    }
    return TStreamInflater(data, chunks).Inflate(out, size);
}

}  // namespace

bool ReadPngImageData(TStream& stream, uint32_t firstChunkLength, uint8_t* out, size_t size) {
    TChunkReader chunks(stream, firstChunkLength);
    // Data left in the stream after the rows is tolerated, as libpng does.
    return InflateImageData(chunks, out, size) && chunks.ReadToEnd();
}

}  // namespace qrv
