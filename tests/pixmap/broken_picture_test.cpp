// Damaged and hostile pictures: every one must decode to none or to a sane pixmap, never
// crash, read out of bounds or leak (the suite runs under the sanitizers).
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>

#include "core/byte_order.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"
#include "pixmap/png_loader.h"
#include "test_files.h"

namespace {

using namespace qrv;
using namespace pixmap_test;

Ref<TPixmap> NoisyPicture(int32_t width, int32_t height) {
    Ref<TPixmap> pixmap = NewPixmap(width, height, FormatRGB888, 4);
    uint32_t state = 12345;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            pixmap->SetPixelARGB(x, y, (state >> 8 & 0x1F1F1F) + 0xFF000000u + x * 4 + (y << 10));
        }
    }
    return pixmap;
}

class BrokenPictures : public ::testing::Test {
protected:
    void SetUp() override { InitPixmapModule(); }

    // Saves bytes and decodes them through the loader chain.
    Ref<TPixmap> Decode(const Bytes& bytes) {
        std::u16string path = folder.Path("broken");
        WriteFileBytes(path, bytes);
        Ref<TPixmap> pixmap = PixmapFromUrl(path);
        if (pixmap) {
            EXPECT_GT(pixmap->Width(), 0);
            EXPECT_TRUE(PixmapSizeFits(pixmap->Width(), pixmap->Height()));
        }
        return pixmap;
    }

    Bytes Saved(bool png, bool progressive = false) {
        std::u16string path = folder.Path("good");
        Ref<TPixmap> picture = NoisyPicture(48, 40);
        EXPECT_TRUE(png ? SavePixmapPNG(picture, path, 6)
                        : SavePixmapJPEG(picture, path, 85, progressive));
        return ReadFileBytes(path);
    }

    // Positions to damage: every byte of the first 96, then 40 spread over the rest.
    static std::vector<size_t> Positions(size_t size) {
        std::vector<size_t> positions;
        for (size_t i = 0; i < std::min<size_t>(size, 96); ++i) positions.push_back(i);
        for (size_t i = 96; i < size; i += std::max<size_t>(1, (size - 96) / 40)) positions.push_back(i);
        return positions;
    }

    void DecodeDamagedCopies(const Bytes& good, bool truncatedPngIsRefused) {
        ASSERT_TRUE(Decode(good));
        for (size_t cut : Positions(good.size())) {
            Ref<TPixmap> pixmap = Decode(Bytes(good.begin(), good.begin() + cut));
            if (truncatedPngIsRefused) {
                EXPECT_FALSE(pixmap) << "cut at " << cut;
            }
        }
        for (size_t at : Positions(good.size())) {
            for (uint8_t mask : {0xFF, 0x01, 0x80}) {
                Bytes damaged = good;
                damaged[at] ^= mask;
                (void)Decode(damaged);
            }
        }
    }

    TTempFolder folder;
};

TEST_F(BrokenPictures, DamagedPng) { DecodeDamagedCopies(Saved(true), true); }

// The image data's chunk checksum still refuses damage that inflates without complaint.
TEST_F(BrokenPictures, DamagedImageDataIsRefusedByItsChecksum) {
    const Bytes good = Saved(true);
    const char name[] = "IDAT";
    const auto idat = std::search(good.begin(), good.end(), name, name + 4);
    ASSERT_NE(idat, good.end());
    const size_t data = static_cast<size_t>(idat - good.begin()) + 4;
    for (size_t at : {data + 10, data + 200, data + 700}) {
        Bytes damaged = good;
        damaged[at] ^= 0x01;
        EXPECT_FALSE(Decode(damaged)) << "damaged at " << at;
    }
}

TEST_F(BrokenPictures, DamagedPalettePngWithTransparency) {
    TPngPicture picture;
    picture.width = 20;
    picture.height = 12;
    picture.colorType = PNG_COLOR_TYPE_PALETTE;
    for (int i = 0; i < 16; ++i)
        picture.palette.push_back({uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 5)});
    picture.transparency = {0, 64, 128};
    for (int y = 0; y < 12; ++y) {
        Bytes row;
        for (int x = 0; x < 20; ++x) row.push_back(uint8_t((x * y + x) % 16));
        picture.rows.push_back(row);
    }
    std::u16string path = folder.Path("palette.png");
    ASSERT_TRUE(WritePngPicture(path, picture));
    DecodeDamagedCopies(ReadFileBytes(path), true);
}

TEST_F(BrokenPictures, DamagedBaselineJpeg) { DecodeDamagedCopies(Saved(false), false); }

TEST_F(BrokenPictures, DamagedProgressiveJpeg) { DecodeDamagedCopies(Saved(false, true), false); }

// Rewrites the IHDR size of a PNG, with a correct checksum, so only the size is wrong.
Bytes WithPngSize(Bytes png, uint32_t width, uint32_t height) {
    StoreBigEndian(&png[16], width);
    StoreBigEndian(&png[20], height);
    const auto crc = static_cast<uint32_t>(crc32(0, png.data() + 12, 17));  // type and data
    StoreBigEndian(&png[29], crc);
    return png;
}

TEST_F(BrokenPictures, HugePngSizesAreRefusedBeforeDecoding) {
    Bytes good = Saved(true);
    EXPECT_FALSE(Decode(WithPngSize(good, 40000, 40000)));   // over 31 bits of RGBA bytes
    EXPECT_FALSE(Decode(WithPngSize(good, 0x7FFFFFFF, 1)));  // over libpng's own limit
    EXPECT_FALSE(Decode(WithPngSize(good, 0, 40)));
    EXPECT_FALSE(Decode(WithPngSize(good, 48, 41)));          // data too short for the rows
}

TEST_F(BrokenPictures, HugeJpegSizesAreRefusedBeforeDecoding) {
    Bytes jpeg = Saved(false);
    size_t frame = 0;
    for (size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) frame = i;
    ASSERT_NE(frame, 0u) << "no baseline frame header";
    for (size_t i : {frame + 5, frame + 6, frame + 7, frame + 8}) jpeg[i] = 0xFF;  // 65535 x 65535
    EXPECT_FALSE(Decode(jpeg));
}


// Growth of the peak resident memory over the memory in use before, in MiB, while run runs;
// -1 where the peak cannot be reset.
double PeakGrowthMiB(const std::function<void()>& run) {
    auto statusKiB = [](const std::string& field) {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind(field, 0) == 0) return std::stod(line.substr(field.size()));
        return -1.0;
    };
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5" << std::flush;
    if (!reset) return -1;
    const double before = statusKiB("VmRSS:");
    run();
    const double peak = statusKiB("VmHWM:");
    return before < 0 || peak < 0 ? -1 : (peak - before) / 1024;
}

// Rewrites the size in a JPEG's frame header (baseline or progressive).
Bytes WithJpegSize(Bytes jpeg, uint8_t frameMarker, uint16_t width, uint16_t height) {
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] != 0xFF || jpeg[i + 1] != frameMarker) continue;
        StoreBigEndian(&jpeg[i + 5], height);
        StoreBigEndian(&jpeg[i + 7], width);
        return jpeg;
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

// Tiny files declaring 23170 x 23170 pixels (just inside 31 bits of RGBA bytes) must cost
// neither memory nor time: they are refused by the picture memory limit before anything of
// the picture's size is allocated.
TEST_F(BrokenPictures, TinyPicturesDeclaringHugeSizesCostNoMemoryOrTime) {
    constexpr uint16_t side = 23170;
    TPngPicture greyAlpha;
    greyAlpha.width = greyAlpha.height = 4;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.rows.assign(4, Bytes(8, 100));
    const std::u16string path = folder.Path("grey-alpha.png");
    ASSERT_TRUE(WritePngPicture(path, greyAlpha));
    const struct {
        const char* name;
        Bytes bytes;
    } pictures[] = {
        {"progressive JPEG", WithJpegSize(Saved(false, true), 0xC2, side, side)},
        {"baseline JPEG", WithJpegSize(Saved(false), 0xC0, side, side)},
        {"grey-with-alpha PNG", WithPngSize(ReadFileBytes(path), side, side)},
    };
    for (const auto& picture : pictures) {
        Ref<TPixmap> pixmap;
        const auto start = std::chrono::steady_clock::now();
        const double growth = PeakGrowthMiB([&] { pixmap = Decode(picture.bytes); });
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(pixmap) << picture.name;
        EXPECT_LT(growth, 256) << picture.name << ": peak memory grew by " << growth << " MiB";
        EXPECT_LT(took.count(), 2.0) << picture.name << " took " << took.count() << " s";
    }
}

// The limit counts width x height x 4 bytes, whatever the format, and the program may move it.
TEST_F(BrokenPictures, PictureMemoryLimitIsSettable) {
    EXPECT_EQ(PictureMemoryLimit(), int64_t{256} << 20);
    EXPECT_TRUE(PictureFitsMemoryLimit(8192, 8192));
    EXPECT_FALSE(PictureFitsMemoryLimit(8192, 8193));
    const Bytes png = Saved(true), jpeg = Saved(false, true);  // 48 x 40 pictures
    SetPictureMemoryLimit(48 * 40 * 4);
    EXPECT_TRUE(Decode(png));
    EXPECT_TRUE(Decode(jpeg));
    SetPictureMemoryLimit(48 * 40 * 4 - 1);
    EXPECT_FALSE(Decode(png));
    EXPECT_FALSE(Decode(jpeg));
    SetPictureMemoryLimit(DEFAULT_PICTURE_MEMORY_LIMIT);
}

}  // namespace
