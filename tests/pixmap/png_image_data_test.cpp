// The image data of PNGs in every arrangement a writer may choose or damage may leave: the
// zlib stream split into chunks anywhere, ending early or late, followed by more data.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>

#include "core/byte_order.h"
#include "memory_stream.h"
#include "pixmap/png_loader.h"
#include "pixmap/pixmap_transform.h"
#include "test_files.h"

namespace {

using namespace qrv;
using namespace pixmap_test;

void AppendBigEndian(Bytes& out, uint32_t value) {
    out.resize(out.size() + 4);
    StoreBigEndian(&out[out.size() - 4], value);
}

void AppendChunk(Bytes& out, const char* type, const Bytes& data) {
    AppendBigEndian(out, static_cast<uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    AppendBigEndian(out, static_cast<uint32_t>(crc32(0, typed.data(), uInt(typed.size()))));
}

// A PNG taken apart: what comes before the image data, and the inflated, filtered rows.
struct TPngParts {
    Bytes head;      // signature and chunks up to the first IDAT
    Bytes filtered;  // the rows, each with its filter byte
};

TPngParts TakeApart(const Bytes& png, size_t filteredSize) {
    TPngParts parts;
    Bytes compressed;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = LoadBigEndian<uint32_t>(&png[at]);
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
            if (parts.head.empty()) parts.head.assign(png.begin(), png.begin() + long(at));
            compressed.insert(compressed.end(), png.begin() + long(at + 8),
                              png.begin() + long(at + 8 + length));
        }
        at += 12 + length;
    }
    parts.filtered.resize(filteredSize);
    uLongf size = filteredSize;
    EXPECT_EQ(uncompress(parts.filtered.data(), &size, compressed.data(), uLong(compressed.size())),
              Z_OK);
    return parts;
}

Bytes Compressed(const Bytes& data, int level = 6) {
    Bytes out(compressBound(uLong(data.size())));
    uLongf size = out.size();
    EXPECT_EQ(compress2(out.data(), &size, data.data(), uLong(data.size()), level), Z_OK);
    out.resize(size);
    return out;
}

// The head, the zlib stream cut into IDAT chunks of the given sizes (the last takes the rest)
// and IEND.
Bytes Assembled(const TPngParts& parts, const Bytes& stream, const std::vector<size_t>& sizes) {
    Bytes png = parts.head;
    size_t at = 0;
    for (size_t i = 0; i <= sizes.size(); ++i) {
        const size_t size = i < sizes.size() ? std::min(sizes[i], stream.size() - at) : stream.size() - at;
        AppendChunk(png, "IDAT", Bytes(stream.begin() + long(at), stream.begin() + long(at + size)));
        at += size;
    }
    AppendChunk(png, "IEND", {});
    return png;
}

Ref<TPixmap> Decoded(const Bytes& png) {
    return DecodePNG(std::make_shared<TTestStream>(png));
}

bool SamePixels(const TPixmap& a, const TPixmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Format() != b.Format()) return false;
    const size_t rowBytes = size_t(a.Width()) * size_t(BytesPerPixel(a.Format()));
    for (int32_t y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.PixelAddress(0, y), b.PixelAddress(0, y), rowBytes) != 0) return false;
    return true;
}

// Noisy RGB rows (every filter gets used) and a palette picture, both of odd widths.
class PngImageData : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        TPngPicture picture;
        picture.width = 37;
        picture.height = 29;
        uint32_t state = 99;
        int samples = 3;
        if (GetParam() == PNG_COLOR_TYPE_PALETTE) {
            picture.colorType = PNG_COLOR_TYPE_PALETTE;
            for (int i = 0; i < 200; ++i)
                picture.palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
            samples = 1;
        }
        for (int y = 0; y < picture.height; ++y) {
            Bytes row;
            for (int x = 0; x < picture.width * samples; ++x) {
                state = state * 1103515245u + 12345u;
                row.push_back(uint8_t((state >> 16) % (samples == 1 ? 200 : 256)));
            }
            picture.rows.push_back(row);
        }
        const std::u16string path = folder.Path("picture.png");
        ASSERT_TRUE(WritePngPicture(path, picture));
        original = ReadFileBytes(path);
        parts = TakeApart(original, size_t(picture.height) * (picture.width * samples + 1));
        expected = Decoded(original);
        ASSERT_TRUE(expected);
    }

    TTempFolder folder;
    Bytes original;
    TPngParts parts;
    Ref<TPixmap> expected;
};

TEST_P(PngImageData, ChunksSplitAnywhereGiveTheSamePixels) {
    const Bytes stream = Compressed(parts.filtered);
    for (const std::vector<size_t>& sizes : std::vector<std::vector<size_t>>{
             {}, {1}, {2, 1, 0, 3}, {stream.size() - 1}, {7, 7, 7, 7, 7, 7, 7, 7, 7, 7}}) {
        Ref<TPixmap> pixmap = Decoded(Assembled(parts, stream, sizes));
        ASSERT_TRUE(pixmap) << sizes.size() << " splits";
        EXPECT_TRUE(SamePixels(*pixmap, *expected)) << sizes.size() << " splits";
    }
    Ref<TPixmap> stored = Decoded(Assembled(parts, Compressed(parts.filtered, 0), {100}));
    ASSERT_TRUE(stored);
    EXPECT_TRUE(SamePixels(*stored, *expected));
}

TEST_P(PngImageData, DamagedMiddleChunkIsRefused) {
    const Bytes stream = Compressed(parts.filtered);
    Bytes png = Assembled(parts, stream, {20, 20});
    const size_t secondCrc = parts.head.size() + 12 + 20 + 8 + 20;
    png[secondCrc] ^= 0x10;
    EXPECT_FALSE(Decoded(png));
    png[secondCrc] ^= 0x10;
    png[secondCrc - 5] ^= 0x10;  // the data instead of its CRC
    EXPECT_FALSE(Decoded(png));
}

TEST_P(PngImageData, StreamsThatEndEarlyAreRefused) {
    const Bytes stream = Compressed(parts.filtered);
    const Bytes noChecksum(stream.begin(), stream.end() - 4);
    EXPECT_FALSE(Decoded(Assembled(parts, noChecksum, {})));
    const Bytes cut(stream.begin(), stream.end() - 20);
    EXPECT_FALSE(Decoded(Assembled(parts, cut, {})));
    const Bytes lastRowMissing(parts.filtered.begin(),
                               parts.filtered.end() - long(parts.filtered.size() / 29));
    EXPECT_FALSE(Decoded(Assembled(parts, Compressed(lastRowMissing), {})));
}

// As libpng: data past the rows, inside the stream or after it, is left unread, and the
// stream's own checksum is not checked (the CRCs cover the same bytes).
TEST_P(PngImageData, DataPastTheRowsIsTolerated) {
    Bytes longer = parts.filtered;
    longer.insert(longer.end(), 5000, 0x42);
    Bytes followed = Compressed(parts.filtered);
    followed.insert(followed.end(), 300 * 1024, 0x17);  // far more than a stream of the rows
    Bytes wrongChecksum = Compressed(parts.filtered);
    wrongChecksum.back() ^= 0x01;
    for (const Bytes& stream : {Compressed(longer), followed, wrongChecksum}) {
        Ref<TPixmap> pixmap = Decoded(Assembled(parts, stream, {50}));
        ASSERT_TRUE(pixmap);
        EXPECT_TRUE(SamePixels(*pixmap, *expected));
    }
}

INSTANTIATE_TEST_SUITE_P(RGBAndPalette, PngImageData,
                         ::testing::Values(PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_PALETTE));

// Palette pictures are expanded inside the pixmap's own memory: every width, with the row
// padding left zero, keyed or not, must give the palette's colours.
TEST(PngPaletteExpansion, EveryWidthGivesThePaletteColours) {
    TTempFolder folder;
    for (int width = 1; width <= 9; ++width) {
        for (bool transparent : {false, true}) {
            TPngPicture picture;
            picture.width = width;
            picture.height = 5;
            picture.colorType = PNG_COLOR_TYPE_PALETTE;
            picture.palette = {{0, 0, 0}, {200, 10, 20}, {30, 40, 250}, {7, 8, 9}};
            if (transparent) picture.transparency = {255, 128};
            for (int y = 0; y < picture.height; ++y) {
                Bytes row;
                for (int x = 0; x < width; ++x) row.push_back(uint8_t((x * 3 + y) % 4));
                picture.rows.push_back(row);
            }
            const std::u16string path = folder.Path("palette.png");
            ASSERT_TRUE(WritePngPicture(path, picture));
            const Bytes png = ReadFileBytes(path);
            bool keyed = false;
            Ref<TPixmap> plain = Decoded(png);
            Ref<TPixmap> masked = TPixmapLoaderPNG().LoadFromStreamKeyed(
                std::make_shared<TTestStream>(png), {0, 0, 0}, keyed);
            ASSERT_TRUE(plain && masked) << width;
            EXPECT_EQ(keyed, !transparent);
            const int32_t bytes = BytesPerPixel(plain->Format());
            for (int y = 0; y < picture.height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const uint8_t index = picture.rows[y][x];
                    const png_color colour = picture.palette[index];
                    const uint8_t alpha = index < picture.transparency.size()
                                              ? picture.transparency[index]
                                              : (!transparent && index == 0 ? 0 : 255);
                    const uint8_t want[4] = {colour.red, colour.green, colour.blue, alpha};
                    EXPECT_EQ(std::memcmp(plain->PixelAddress(x, y), want, size_t(bytes)), 0)
                        << width << " wide, at " << x << "," << y;
                    EXPECT_EQ(std::memcmp(masked->PixelAddress(x, y), want, 4), 0)
                        << width << " wide, keyed, at " << x << "," << y;
                }
                for (int32_t at = width * bytes; at < plain->Pitch(); ++at)
                    EXPECT_EQ(plain->PixelAddress(0, y)[at], 0) << width << " wide, padding";
            }
        }
    }
}

}  // namespace
