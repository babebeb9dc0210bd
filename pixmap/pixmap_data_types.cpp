#include "pixmap/pixmap_data_types.h"

#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "pixmap/pixel_format.h"
#include "pixmap/pixmap.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/zlib_compression.h"
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
constexpr int kDeflateLevel = 6;
// A pixmap read has its rows padded to this many bytes.
constexpr int32_t kRowAlignment = 4;

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
    std::vector<uint8_t> filtered(rowBytes * static_cast<size_t>(pixmap.Height()));
    const uint8_t* above = nullptr;
    // An empty pixmap has no bytes to filter, however many rows it claims.
    for (int32_t row = 0; row < pixmap.Height() && rowBytes > 0; ++row) {
        const uint8_t* pixels = pixmap.PixelAddress(0, row);
        FilterRow(pixels, above, rowBytes, step,
                  filtered.data() + static_cast<size_t>(row) * rowBytes);
        above = pixels;
    }
    const std::vector<uint8_t> packed = DeflateZlib(filtered, kDeflateLevel);
    out.WriteUInt32(static_cast<uint32_t>(packed.size()));
    out.WriteBytes(packed.data(), packed.size());
}

// Inflates the packed rows into `rows`, raising unless they are one sound zlib stream of
// exactly that many bytes.
void InflateRows(std::span<const uint8_t> packed, std::span<uint8_t> rows) {
    const TZlibInflation inflation = InflateZlib(packed, rows, TZlibChecksum::Checked);
    switch (inflation.outcome) {
        case TZlibInflated::Short: TDataReader::Fail("pixmap rows end early");
        case TZlibInflated::Longer: TDataReader::Fail("pixmap rows hold more than the pixmap");
        case TZlibInflated::Damaged: TDataReader::Fail("pixmap rows are not valid zlib data");
        case TZlibInflated::Whole: break;
    }
    if (inflation.consumed < packed.size()) TDataReader::Fail("bytes after the pixmap rows");
}

// Fills the pixmap from its packed rows. Rows without padding between them are inflated in
// place; others go through a buffer.
void ReadRows(std::span<const uint8_t> packed, TPixmap& pixmap) {
    const size_t rowBytes = RowBytes(pixmap);
    const auto height = static_cast<size_t>(pixmap.Height());
    std::vector<uint8_t> buffer;
    std::span<uint8_t> filtered(pixmap.Pixels(), rowBytes * height);
    if (static_cast<size_t>(pixmap.Pitch()) != rowBytes) {
        buffer.resize(rowBytes * height);
        filtered = buffer;
    }
    InflateRows(packed, filtered);
    const auto step = static_cast<size_t>(BytesPerPixel(pixmap.Format()));
    const uint8_t* above = nullptr;
    for (size_t row = 0; row < height && rowBytes > 0; ++row) {
        uint8_t* pixels = pixmap.PixelAddress(0, static_cast<int32_t>(row));
        if (!buffer.empty()) std::memcpy(pixels, buffer.data() + row * rowBytes, rowBytes);
        UnfilterRow(pixels, above, rowBytes, step);
        above = pixels;
    }
}

Ref<TObject> ReadPixmap(TDataReader& in, int32_t) {
    const int32_t width = in.ReadInt32();
    const int32_t height = in.ReadInt32();
    const int32_t format = in.ReadInt32();
    if (!IsValidPixelFormat(format) || BytesPerPixel(format) == 0)
        TDataReader::Fail("unknown pixel format " + std::to_string(format));
    if (width < 0 || height < 0) TDataReader::Fail("negative pixmap size");
    // The limit counts the memory the pixmap will take, padding included: a pixmap one byte
    // wide takes four per row. Once the size fits, pitch x height cannot overflow.
    const int64_t rawRowBytes = int64_t{width} * BytesPerPixel(format);
    const int64_t pitch = (rawRowBytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    if (!PixmapSizeFits(width, height) || pitch * height > DEFAULT_PICTURE_MEMORY_LIMIT)
        TDataReader::Fail("pixmap of " + std::to_string(width) + " x " + std::to_string(height) +
                          " beyond the pixmap limit");
    const int64_t rawBytes = rawRowBytes * height;
    const uint32_t packed = in.ReadCount(1, "pixmap rows");
    if (rawBytes > int64_t{packed} * kMaxDeflateRatio)
        TDataReader::Fail("pixmap rows too short for a pixmap of " + std::to_string(width) + " x " +
                          std::to_string(height));
    const std::span<const uint8_t> packedRows(in.ReadBytes(packed), packed);
    Ref<TPixmap> pixmap = TPixmap::NewPixmapForFilling(width, height, format, kRowAlignment);
    if (!pixmap) TDataReader::Fail("pixmap cannot be made");
    ReadRows(packedRows, *pixmap);
    return pixmap;
}

}  // namespace

void RegisterPixmapDataTypes() {
    RegisterDataType<TPixmap>("qrv.pixmap.TPixmap", 1, WritePixmap, ReadPixmap);
}

}  // namespace qrv
