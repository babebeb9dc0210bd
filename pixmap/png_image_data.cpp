#include "pixmap/png_image_data.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace qrv {

namespace {

constexpr uint32_t IDAT = 0x49444154;
constexpr uint32_t IEND = 0x49454E44;
// zlib copies the last 32 KiB of each call's output into its window: large blocks keep that
// copy small beside the output.
constexpr size_t inputBlock = 64 * 1024;
constexpr size_t outputBlock = 256 * 1024;  // rows inflated at once, at least one

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
        crc = crc32(crc, buffer, static_cast<uInt>(n));
        left -= static_cast<uint32_t>(n);
        return static_cast<long>(n);
    }

    // Skips what is left of the image data and every chunk after it, up to and with IEND.
    bool ReadToEnd() {
        uint8_t buffer[4096];
        for (;;) {
            while (left > 0) {
                const size_t n = std::min<size_t>(left, sizeof buffer);
                if (!ReadExactly(stream, buffer, n)) return false;
                crc = crc32(crc, buffer, static_cast<uInt>(n));
                left -= static_cast<uint32_t>(n);
            }
            if (!EndChunk()) return false;
            if (type == IEND) return true;
            if (!BeginChunk()) return false;
        }
    }

private:
    static uLong ChunkCrc(uint32_t chunkType) {
        const uint8_t name[4] = {uint8_t(chunkType >> 24), uint8_t(chunkType >> 16),
                                 uint8_t(chunkType >> 8), uint8_t(chunkType)};
        return crc32(crc32(0, nullptr, 0), name, 4);
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
    uLong crc;
};

uint8_t Paeth(uint8_t a, uint8_t b, uint8_t c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes a row's filter in place; above is the previous unfiltered row (zeros for the first).
bool Unfilter(uint8_t filter, uint8_t* row, const uint8_t* above, size_t length, size_t bpp) {
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (size_t i = bpp; i < length; ++i) row[i] = uint8_t(row[i] + row[i - bpp]);
        return true;
    case 2:
        for (size_t i = 0; i < length; ++i) row[i] = uint8_t(row[i] + above[i]);
        return true;
    case 3:
        for (size_t i = 0; i < length; ++i) {
            const int left = i >= bpp ? row[i - bpp] : 0;
            row[i] = uint8_t(row[i] + ((left + above[i]) >> 1));
        }
        return true;
    case 4:
        for (size_t i = 0; i < length; ++i) {
            const uint8_t left = i >= bpp ? row[i - bpp] : 0;
            const uint8_t corner = i >= bpp ? above[i - bpp] : 0;
            row[i] = uint8_t(row[i] + Paeth(left, above[i], corner));
        }
        return true;
    default:
        return false;
    }
}

// zlib's inflate over the chunk reader's image data.
class TInflater {
public:
    explicit TInflater(TChunkReader& chunks) : chunks(chunks), input(inputBlock) {
        ready = inflateInit(&zstream) == Z_OK;
#if ZLIB_VERNUM >= 0x1290
        if (ready) inflateValidate(&zstream, 0);
#endif
    }
    ~TInflater() {
        if (ready) inflateEnd(&zstream);
    }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    // Fills the whole buffer; false when the data ends first or is damaged.
    bool Fill(uint8_t* out, size_t length) {
        if (!ready) return false;
        zstream.next_out = out;
        zstream.avail_out = static_cast<uInt>(length);
        while (zstream.avail_out > 0) {
            if (ended || !InflateStep()) return false;
        }
        return true;
    }

    // Reads the zlib stream to its end; inflated bytes past the rows are dropped, as libpng
    // does. False when the image data ends first.
    bool Finish() {
        uint8_t spare[1024];
        while (!ended) {
            zstream.next_out = spare;
            zstream.avail_out = sizeof spare;
            if (!InflateStep()) return false;
        }
        return true;
    }

private:
    // Takes the next image data when the input ran out, then inflates once; false when the data
    // ends first or is damaged.
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

}  // namespace

bool ReadPngImageData(TStream& stream, const TPngImageData& layout,
                      const std::function<void(int32_t, const uint8_t*)>& row) {
    const size_t stride = layout.rowBytes + 1;
    const auto bpp = static_cast<size_t>(std::max(layout.bytesPerPixel, 1));
    TChunkReader chunks(stream, layout.firstChunkLength);
    TInflater inflater(chunks);
    const auto blockRows = static_cast<int32_t>(std::max<size_t>(1, outputBlock / stride));
    std::vector<uint8_t> block(stride * static_cast<size_t>(std::min(blockRows, layout.height)));
    std::vector<uint8_t> above(layout.rowBytes, 0);
    for (int32_t y = 0; y < layout.height;) {
        const int32_t rows = std::min(blockRows, layout.height - y);
        if (!inflater.Fill(block.data(), stride * static_cast<size_t>(rows))) return false;
        const uint8_t* previous = above.data();
        for (int32_t r = 0; r < rows; ++r, ++y) {
            uint8_t* filtered = block.data() + stride * static_cast<size_t>(r);
            if (!Unfilter(filtered[0], filtered + 1, previous, layout.rowBytes, bpp)) return false;
            row(y, filtered + 1);
            previous = filtered + 1;
        }
        std::memcpy(above.data(), previous, layout.rowBytes);
    }
    // Data left in the stream after the last row is tolerated, as libpng does.
    return inflater.Finish() && chunks.ReadToEnd();
}

}  // namespace qrv
