#include "pixmap/jpeg_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "pixmap/jpeg_glue.h"
#include "pixmap/pixmap_save.h"
#include "test_files.h"

namespace {

using namespace qrv;
using namespace pixmap_test;

// A smooth colour picture that JPEG keeps close to the original.
Ref<TPixmap> Gradient(int32_t width, int32_t height, int32_t format) {
    Ref<TPixmap> pixmap = NewPixmap(width, height, FormatRGB888, 4);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixmap->SetPixelARGB(x, y, 0xFF000000u | (x * 255 / width) << 16 |
                                           (y * 255 / height) << 8 | 0x80);
    return format == FormatRGB888 ? pixmap : pixmap->ConvertedTo(format);
}

// The largest difference of any channel between two pixmaps of the same size.
int MaxDifference(const TPixmap& a, const TPixmap& b) {
    int worst = 0;
    for (int32_t y = 0; y < a.Height(); ++y) {
        for (int32_t x = 0; x < a.Width(); ++x) {
            uint32_t p = a.GetPixelARGB(x, y), q = b.GetPixelARGB(x, y);
            for (int shift = 0; shift < 24; shift += 8)
                worst = std::max(worst, std::abs(int(p >> shift & 255) - int(q >> shift & 255)));
        }
    }
    return worst;
}

bool HasMarker(const Bytes& bytes, uint8_t marker) {
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == marker) return true;
    return false;
}

class JpegLoader : public ::testing::Test {
protected:
    TTempFolder folder;
};

TEST_F(JpegLoader, ProgressiveColourPictureLoadsAsRGB) {
    Ref<TPixmap> original = Gradient(400, 226, FormatRGB888);
    std::u16string path = folder.Path("progressive.jpg");
    ASSERT_TRUE(SavePixmapJPEG(original, path, 95, true));
    ASSERT_TRUE(HasMarker(ReadFileBytes(path), 0xC2)) << "not saved as a progressive JPEG";

    Ref<TPixmap> loaded = DecodeJPEG(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Format(), FormatRGB888);
    EXPECT_EQ(loaded->Width(), 400);
    EXPECT_EQ(loaded->Height(), 226);
    EXPECT_EQ(loaded->Pitch(), 1200);
    EXPECT_LE(MaxDifference(*original, *loaded), 8);
}

TEST_F(JpegLoader, GreyPictureLoadsAsGrey) {
    Ref<TPixmap> original = Gradient(33, 17, FormatGrey8);
    std::u16string path = folder.Path("grey.jpg");
    ASSERT_TRUE(SavePixmapJPEG(original, path, 100));
    Ref<TPixmap> loaded = DecodeJPEG(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Format(), FormatGrey8);
    EXPECT_EQ(loaded->Pitch(), 36);
    EXPECT_LE(MaxDifference(*original, *loaded), 3);
}

TEST_F(JpegLoader, SavingConvertsOtherFormatsToRGB) {
    Ref<TPixmap> original = Gradient(16, 16, FormatBGRA8888);
    std::u16string path = folder.Path("bgra.jpg");
    ASSERT_TRUE(SavePixmapJPEG(original, path, 100));
    Ref<TPixmap> loaded = DecodeJPEG(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Format(), FormatRGB888);
    EXPECT_LE(MaxDifference(*original, *loaded), 16);  // small pictures lose more to subsampling
}

TEST_F(JpegLoader, DataThatEndsEarlyKeepsTheRowsDecoded) {
    Ref<TPixmap> original = Gradient(64, 256, FormatRGB888);
    std::u16string path = folder.Path("whole.jpg");
    ASSERT_TRUE(SavePixmapJPEG(original, path, 90));
    Bytes bytes = ReadFileBytes(path);
    bytes.resize(bytes.size() * 2 / 3);
    std::u16string cut = folder.Path("cut.jpg");
    WriteFileBytes(cut, bytes);

    Ref<TPixmap> loaded = DecodeJPEG(cut);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Width(), 64);
    EXPECT_EQ(loaded->Height(), 256);
    // About half the rows are in the bytes kept; the top quarter surely is.
    Ref<TPixmap> top = loaded->SubRegion(0, 0, 64, 64);
    EXPECT_LE(MaxDifference(*original->SubRegion(0, 0, 64, 64), *top), 8);
}

// libjpeg decoding the bytes to RGB with its own memory manager, as the reference for the
// loader's pixels; data that ends early is ended as the loader ends it. Plain data only:
// libjpeg jumps back here on errors.
bool DecodeWithLibjpeg(const Bytes* jpeg, int width, int height, uint8_t* rgb) {
    jpeg_decompress_struct info{};
    TJpegErrorManager errors;
    info.err = InstallJpegErrorManager(errors);
    if (setjmp(errors.recovery)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg->data(), static_cast<unsigned long>(jpeg->size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (int(info.output_width) != width || int(info.output_height) != height) longjmp(errors.recovery, 1);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb + size_t(info.output_scanline) * size_t(width) * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// The loader keeps the coefficients of progressive pictures in memory of its own: whole or
// cut short (the missing coefficients zero, the blocks smoothed), the pixels must be
// libjpeg's.
TEST_F(JpegLoader, ProgressivePicturesWholeOrCutGiveLibjpegsPixels) {
    const int width = 120, height = 90;
    Ref<TPixmap> original = Gradient(width, height, FormatRGB888);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; x += 3) original->SetPixelARGB(x, y, 0xFF000000u | (x * y * 977));
    const std::u16string path = folder.Path("progressive.jpg");
    ASSERT_TRUE(SavePixmapJPEG(original, path, 90, true));
    const Bytes whole = ReadFileBytes(path);
    int decoded = 0;
    for (size_t size = whole.size(); size > 200; size -= std::max<size_t>(size / 9, 1)) {
        const Bytes cut(whole.begin(), whole.begin() + long(size));
        Bytes expected(size_t(width) * height * 3);
        const bool decodes = DecodeWithLibjpeg(&cut, width, height, expected.data());
        const std::u16string cutPath = folder.Path("cut.jpg");
        WriteFileBytes(cutPath, cut);
        Ref<TPixmap> loaded = DecodeJPEG(cutPath);
        ASSERT_EQ(bool(loaded), decodes) << size << " bytes";
        if (!loaded) continue;
        ++decoded;
        for (int y = 0; y < height; ++y)
            ASSERT_EQ(std::memcmp(loaded->PixelAddress(0, y), &expected[size_t(y) * width * 3],
                                  size_t(width) * 3), 0)
                << size << " bytes, row " << y;
    }
    EXPECT_GT(decoded, 5);
}

TEST_F(JpegLoader, RefusesWhatIsNotAJpeg) {
    std::u16string empty = folder.Path("empty.jpg");
    WriteFileBytes(empty, {});
    EXPECT_FALSE(DecodeJPEG(empty));

    std::u16string png = folder.Path("picture.png");
    ASSERT_TRUE(SavePixmapPNG(Gradient(8, 8, FormatRGB888), png, 6));
    EXPECT_FALSE(DecodeJPEG(png));
    EXPECT_FALSE(DecodeJPEG(folder.Path("missing.jpg")));
}

TEST_F(JpegLoader, SaveRefusesBadArguments) {
    Ref<TPixmap> pixmap = Gradient(8, 8, FormatRGB888);
    std::u16string path = folder.Path("bad.jpg");
    EXPECT_FALSE(SavePixmapJPEG(pixmap, path, 0));
    EXPECT_FALSE(SavePixmapJPEG(pixmap, path, 101));
    EXPECT_FALSE(SavePixmapJPEG(nullptr, path, 90));
    EXPECT_FALSE(SavePixmapJPEG(NewPixmap(0, 4, FormatRGB888, 4), path, 90));
    EXPECT_FALSE(SavePixmapJPEG(pixmap, folder.Path("no/such/folder.jpg"), 90));
    EXPECT_FALSE(SavePixmapPNG(pixmap, path, -1));
    EXPECT_FALSE(SavePixmapPNG(pixmap, path, 10));
    EXPECT_FALSE(SavePixmapPNG(nullptr, path, 5));
    EXPECT_FALSE(SavePixmapPNG(pixmap, folder.Path("no/such/folder.png"), 5));
}

}  // namespace
