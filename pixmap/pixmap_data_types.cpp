#include "pixmap/pixmap_data_types.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "pixmap/pixel_format.h"
#include "pixmap/pixmap.h"
#include "stream/data/data_exceptions.h"
#include "stream/data/data_reader.h"
#include "stream/data/data_types.h"
#include "stream/data/data_writer.h"

namespace qrv {

namespace {

// Deflate cannot shrink data by more than this factor, so a pixmap whose compressed rows are
// fewer bytes than its size divided by it cannot be genuine; it is refused before anything is
// allocated for it.
constexpr int64_t kMaxDeflateRatio = 1032;
constexpr uInt kDeflatePiece = 1u << 30;

class TDeflater {
public:
    TDeflater() {
        if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
            throw TDataWriteException("zlib cannot start");
    }
    ~TDeflater() { deflateEnd(&z); }
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;

    void Add(const uint8_t* data, size_t count, bool last) {
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = static_cast<uInt>(count);
        const int flush = last ? Z_FINISH : Z_NO_FLUSH;
        for (;;) {
            if (out.size() - used < 64 * 1024)
                out.resize(out.size() + std::max<size_t>(out.size() / 2, 64 * 1024));
            z.next_out = out.data() + used;
            z.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - used, kDeflatePiece));
            const int result = deflate(&z, flush);
            used = static_cast<size_t>(z.next_out - out.data());
            if (result == Z_STREAM_END) return;
            if (result != Z_OK && result != Z_BUF_ERROR) throw TDataWriteException("zlib failed");
            if (!last && z.avail_in == 0) return;
        }
    }

    const uint8_t* Data() const { return out.data(); }
    size_t Size() const { return used; }

private:
    z_stream z{};
    std::vector<uint8_t> out;
    size_t used = 0;
};

class TInflater {
public:
    TInflater(const uint8_t* data, size_t count) {
        if (inflateInit(&z) != Z_OK) TDataReader::Fail("zlib cannot start");
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = static_cast<uInt>(count);
    }
    ~TInflater() { inflateEnd(&z); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    // Fills exactly count bytes; raises when the compressed data ends first or is broken.
    void Fill(uint8_t* buffer, size_t count) {
        z.next_out = buffer;
        z.avail_out = static_cast<uInt>(count);
        while (z.avail_out > 0) {
            const int result = inflate(&z, Z_NO_FLUSH);
            if (result == Z_STREAM_END && z.avail_out > 0)
                TDataReader::Fail("pixmap rows end early");
            if (result != Z_OK && result != Z_STREAM_END)
                TDataReader::Fail("pixmap rows are not valid zlib data");
        }
    }

    // Raises unless the compressed data ends here, with nothing after it.
    void Finish() {
        uint8_t extra = 0;
        z.next_out = &extra;
        z.avail_out = 1;
        const int result = inflate(&z, Z_FINISH);
        if (result != Z_STREAM_END || z.avail_out == 0)
            TDataReader::Fail("pixmap rows hold more than the pixmap");
        if (z.avail_in != 0) TDataReader::Fail("bytes after the pixmap rows");
    }

private:
    z_stream z{};
};

size_t RowBytes(const TPixmap& pixmap) {
    return static_cast<size_t>(pixmap.Width()) *
           static_cast<size_t>(BytesPerPixel(pixmap.Format()));
}

// Rows are stored as differences from a prediction: each byte minus (the same channel one pixel
// left + one row up - up and left), neighbours outside the pixmap counting as 0. Smooth areas
// become runs of equal bytes, which deflate packs far better than the pixels themselves.
void FilterRow(const uint8_t* row, const uint8_t* above, size_t rowBytes, size_t step,
               uint8_t* out) {
    for (size_t i = 0; i < rowBytes; ++i)
        out[i] = static_cast<uint8_t>(row[i] - (above ? above[i] : 0));
    for (size_t i = rowBytes; i-- > step;) out[i] = static_cast<uint8_t>(out[i] - out[i - step]);
}

// Undoes FilterRow in place; above is the row before, already restored.
void UnfilterRow(uint8_t* row, const uint8_t* above, size_t rowBytes, size_t step) {
    for (size_t i = step; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
    if (above)
        for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + above[i]);
}

void WritePixmap(TDataWriter& out, const TPixmap& pixmap) {
    out.WriteInt32(pixmap.Width());
    out.WriteInt32(pixmap.Height());
    out.WriteInt32(pixmap.Format());
    const size_t rowBytes = RowBytes(pixmap);
    const auto step = static_cast<size_t>(BytesPerPixel(pixmap.Format()));
    std::vector<uint8_t> filtered(rowBytes);
    TDeflater deflater;
    const uint8_t* above = nullptr;
    for (int32_t row = 0; row < pixmap.Height(); ++row) {
        const uint8_t* pixels = pixmap.PixelAddress(0, row);
        FilterRow(pixels, above, rowBytes, step, filtered.data());
        deflater.Add(filtered.data(), rowBytes, row + 1 == pixmap.Height());
        above = pixels;
    }
    if (pixmap.Height() == 0) deflater.Add(nullptr, 0, true);
    out.WriteUInt32(static_cast<uint32_t>(deflater.Size()));
    out.WriteBytes(deflater.Data(), deflater.Size());
}

Ref<TObject> ReadPixmap(TDataReader& in, int32_t) {
    const int32_t width = in.ReadInt32();
    const int32_t height = in.ReadInt32();
    const int32_t format = in.ReadInt32();
    if (!IsValidPixelFormat(format) || BytesPerPixel(format) == 0)
        TDataReader::Fail("unknown pixel format " + std::to_string(format));
    if (width < 0 || height < 0) TDataReader::Fail("negative pixmap size");
    // Both sides are below 2^31, so their product fits; the limit is divided, not multiplied.
    const int64_t pixelCount = int64_t{width} * height;
    if (pixelCount > kMaxDataPixmapBytes / BytesPerPixel(format) || !PixmapSizeFits(width, height))
        TDataReader::Fail("pixmap of " + std::to_string(width) + " x " + std::to_string(height) +
                          " beyond the pixmap limit");
    const int64_t rawBytes = pixelCount * BytesPerPixel(format);
    const uint32_t packed = in.ReadCount(1, "pixmap rows");
    if (rawBytes > int64_t{packed} * kMaxDeflateRatio)
        TDataReader::Fail("pixmap rows too short for a pixmap of " + std::to_string(width) + " x " +
                          std::to_string(height));
    TInflater inflater(in.ReadBytes(packed), packed);
    Ref<TPixmap> pixmap = TPixmap::NewPixmap(width, height, format, 4);
    if (!pixmap) TDataReader::Fail("pixmap cannot be made");
    const size_t rowBytes = RowBytes(*pixmap);
    const auto step = static_cast<size_t>(BytesPerPixel(format));
    const uint8_t* above = nullptr;
    for (int32_t row = 0; row < height && rowBytes > 0; ++row) {
        uint8_t* pixels = pixmap->PixelAddress(0, row);
        inflater.Fill(pixels, rowBytes);
        UnfilterRow(pixels, above, rowBytes, step);
        above = pixels;
    }
    inflater.Finish();
    return pixmap;
}

}  // namespace

void RegisterPixmapDataTypes() {
    RegisterDataType<TPixmap>("qrv.pixmap.TPixmap", 1, WritePixmap, ReadPixmap);
}

}  // namespace qrv
