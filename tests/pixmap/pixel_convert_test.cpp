#include "pixmap/pixel_convert.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "pixmap/pixel_format.h"
#include "tests/pixmap/reference_conversion.h"

namespace {

using namespace qrv;
using Bytes = std::vector<uint8_t>;
using pixmap_test::ReferenceConversion;

Bytes ToRGBA(int32_t format, const Bytes& pixel) {
    Bytes out(4, 0xEE);
    EXPECT_TRUE(ConvertPixelRun(pixel.data(), format, out.data(), FormatRGBA8888, 1));
    return out;
}

Bytes FromRGBA(int32_t format, const Bytes& rgba) {
    Bytes out(static_cast<size_t>(BytesPerPixel(format)), 0xEE);
    EXPECT_TRUE(ConvertPixelRun(rgba.data(), FormatRGBA8888, out.data(), format, 1));
    return out;
}

TEST(PixelFormat, TableGivesBytesAndAlphaBits) {
    const std::array<int32_t, FormatCount> bytes = {0, 1, 1, 3, 3, 4, 4, 1, 1, 1, 1, 1, 1};
    const std::array<int32_t, FormatCount> alpha = {0, 0, 8, 0, 0, 8, 8, 0, 0, 0, 8, 0, 0};
    for (int32_t format = 0; format < FormatCount; ++format) {
        EXPECT_EQ(BytesPerPixel(format), bytes[format]) << "format " << format;
        EXPECT_EQ(AlphaBits(format), alpha[format]) << "format " << format;
    }
    EXPECT_EQ(PixelFormatInfo(FormatRed8).redBits, 8);
    EXPECT_EQ(PixelFormatInfo(FormatBlue8).blueBits, 8);
    EXPECT_EQ(BytesPerPixel(-1), 0);
    EXPECT_EQ(BytesPerPixel(13), 0);
}

TEST(PixelConvert, EveryFormatToRGBA) {
    EXPECT_EQ(ToRGBA(FormatGrey8, {9}), (Bytes{9, 9, 9, 255}));
    EXPECT_EQ(ToRGBA(FormatAlpha8, {9}), (Bytes{255, 255, 255, 9}));
    EXPECT_EQ(ToRGBA(FormatBGR888, {1, 2, 3}), (Bytes{3, 2, 1, 255}));
    EXPECT_EQ(ToRGBA(FormatRGB888, {1, 2, 3}), (Bytes{1, 2, 3, 255}));
    EXPECT_EQ(ToRGBA(FormatBGRA8888, {1, 2, 3, 4}), (Bytes{3, 2, 1, 4}));
    EXPECT_EQ(ToRGBA(FormatAlphaOnly8, {9}), (Bytes{0, 0, 0, 9}));
    EXPECT_EQ(ToRGBA(FormatIntensity8, {9}), (Bytes{9, 9, 9, 9}));
    // The single-channel colour formats are opaque, like every other format without alpha.
    EXPECT_EQ(ToRGBA(FormatRed8, {9}), (Bytes{9, 0, 0, 255}));
    EXPECT_EQ(ToRGBA(FormatGreen8, {9}), (Bytes{0, 9, 0, 255}));
    EXPECT_EQ(ToRGBA(FormatBlue8, {9}), (Bytes{0, 0, 9, 255}));
    EXPECT_EQ(ToRGBA(FormatLuminance8, {9}), (Bytes{9, 9, 9, 255}));
}

TEST(PixelConvert, RGBAToEveryFormat) {
    const Bytes rgba = {10, 20, 31, 200};
    EXPECT_EQ(FromRGBA(FormatGrey8, rgba), Bytes{20});  // (10 + 20 + 31) / 3
    EXPECT_EQ(FromRGBA(FormatAlpha8, rgba), Bytes{200});
    EXPECT_EQ(FromRGBA(FormatBGR888, rgba), (Bytes{31, 20, 10}));
    EXPECT_EQ(FromRGBA(FormatRGB888, rgba), (Bytes{10, 20, 31}));
    EXPECT_EQ(FromRGBA(FormatBGRA8888, rgba), (Bytes{31, 20, 10, 200}));
    EXPECT_EQ(FromRGBA(FormatRed8, rgba), Bytes{10});
    EXPECT_EQ(FromRGBA(FormatGreen8, rgba), Bytes{20});
    EXPECT_EQ(FromRGBA(FormatBlue8, rgba), Bytes{31});
    EXPECT_EQ(FromRGBA(FormatAlphaOnly8, rgba), Bytes{200});
    EXPECT_EQ(FromRGBA(FormatIntensity8, rgba), Bytes{65});  // 261 >> 2
    EXPECT_EQ(FromRGBA(FormatLuminance8, rgba), Bytes{20});
}

TEST(PixelConvert, OtherPairsGoThroughRGBAInChunks) {
    // Longer than one pass through the temporary run, so chunk boundaries are crossed.
    const int32_t count = 2500;
    Bytes bgr(count * 3), rgb(count * 3, 0);
    for (int32_t i = 0; i < count * 3; ++i) bgr[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(ConvertPixelRun(bgr.data(), FormatBGR888, rgb.data(), FormatRGB888, count));
    for (int32_t i = 0; i < count; ++i) {
        ASSERT_EQ(rgb[i * 3], bgr[i * 3 + 2]) << "pixel " << i;
        ASSERT_EQ(rgb[i * 3 + 1], bgr[i * 3 + 1]) << "pixel " << i;
        ASSERT_EQ(rgb[i * 3 + 2], bgr[i * 3]) << "pixel " << i;
    }
    Bytes alpha(1, 0);
    const Bytes grey = {77};
    ASSERT_TRUE(ConvertPixelRun(grey.data(), FormatGrey8, alpha.data(), FormatAlpha8, 1));
    EXPECT_EQ(alpha[0], 255);  // grey is opaque
}

// Runs of several lengths, so that whole vector blocks, their tails and runs too short for a
// block all meet every pair; nothing past the run is written.
TEST(PixelConvert, EveryPairMatchesThePlainConversion) {
    uint32_t state = 2463534242u;
    Bytes source(4 * 300 + 64);
    for (uint8_t& byte : source) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        byte = static_cast<uint8_t>(state);
    }
    source[0] = 255, source[1] = 255, source[2] = 255, source[3] = 255;  // the largest sums
    for (int32_t from = 1; from < FormatCount; ++from) {
        for (int32_t to = 1; to < FormatCount; ++to) {
            for (int32_t count : {0, 5, 16, 17, 18, 33, 83, 300}) {
                const Bytes expected = ReferenceConversion(source.data(), from, to, count);
                Bytes out(expected.size() + 16, 0xEE);
                ASSERT_TRUE(ConvertPixelRun(source.data(), from, out.data(), to, count));
                ASSERT_EQ(Bytes(out.begin(), out.begin() + static_cast<long>(expected.size())),
                          expected)
                    << "format " << from << " to " << to << ", " << count << " pixels";
                ASSERT_EQ(Bytes(out.end() - 16, out.end()), Bytes(16, 0xEE))
                    << "format " << from << " to " << to << " wrote past " << count << " pixels";
            }
        }
    }
}

TEST(PixelConvert, SameFormatCopiesAndUnknownFormatsAreRefused) {
    const Bytes source = {1, 2, 3, 4, 5, 6};
    Bytes copy(6, 0);
    ASSERT_TRUE(ConvertPixelRun(source.data(), FormatRGB888, copy.data(), FormatRGB888, 2));
    EXPECT_EQ(copy, source);

    Bytes untouched(6, 0);
    EXPECT_FALSE(ConvertPixelRun(source.data(), FormatNone, untouched.data(), FormatRGB888, 2));
    EXPECT_FALSE(ConvertPixelRun(source.data(), FormatRGB888, untouched.data(), 13, 2));
    EXPECT_FALSE(ConvertPixelRun(source.data(), FormatRGB888, untouched.data(), FormatRGB888, -1));
    EXPECT_EQ(untouched, Bytes(6, 0));
}

}  // namespace
