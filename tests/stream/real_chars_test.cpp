#include "stream/real_chars.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace qrv {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The texts std::to_chars gives: the shorter of fixed and scientific (fixed on a tie), whole
// numbers in fixed form with their exact digits, and at powers of two, where the next lower
// value is nearer, the shortest text that is not the correctly rounded one.
TEST(RealChars, ShortestTextsInTheFormOfToChars) {
    EXPECT_EQ(ShortestRealChars(0.1), "0.1");
    EXPECT_EQ(ShortestRealChars(-1.0 / 3.0), "-0.3333333333333333");
    EXPECT_EQ(ShortestRealChars(1e-4), "1e-04");
    EXPECT_EQ(ShortestRealChars(0.00012345), "0.00012345");
    EXPECT_EQ(ShortestRealChars(100000.0), "1e+05");
    EXPECT_EQ(ShortestRealChars(1234567.0), "1234567");
    EXPECT_EQ(ShortestRealChars(123456789012345678.0), "123456789012345680");
    EXPECT_EQ(ShortestRealChars(12345678901234567890.0), "12345678901234567168");
    EXPECT_EQ(ShortestRealChars(1e23), "1e+23");
    EXPECT_EQ(ShortestRealChars(5e-324), "5e-324");
    EXPECT_EQ(ShortestRealChars(std::ldexp(1.0, -1017)), "7.120236347223045e-307");
    EXPECT_EQ(ShortestRealChars(1.7976931348623157e308), "1.7976931348623157e+308");
    EXPECT_EQ(ShortestRealChars(-0.0), "-0");
    EXPECT_EQ(ShortestRealChars(-kInfinity), "-inf");
    EXPECT_EQ(ShortestRealChars(std::nan("")), "nan");
    EXPECT_EQ(ShortestRealChars(0.1f), "0.1");
    EXPECT_EQ(ShortestRealChars(16777216.0f), "16777216");
    EXPECT_EQ(ShortestRealChars(1e10f), "1e+10");
    EXPECT_EQ(ShortestRealChars(std::numeric_limits<float>::max()), "3.4028235e+38");
    EXPECT_EQ(ShortestRealChars(1e-45f), "1e-45");
}

// The longest decimal real at the start, as from_chars takes it: no hexadecimal, no "+",
// an exponent only with digits; beyond the range the value saturates.
TEST(RealChars, ReadsTheLongestDecimalPrefix) {
    const struct {
        const char* text;
        size_t length;
        double value;
    } cases[] = {
        {"1e", 1, 1},         {"1e+5x", 4, 1e5},     {".5", 2, 0.5},         {"5.", 2, 5},
        {"-.5e-3x", 6, -5e-4}, {"0x1p3", 1, 0},       {"1.2.3", 3, 1.2},      {"00012", 5, 12},
        {"+1", 0, 0},         {"--1", 0, 0},         {".e3", 0, 0},          {"", 0, 0},
        {"-Inf", 4, -kInfinity}, {"infinit", 3, kInfinity}, {"INFINITY!", 8, kInfinity},
        {"1e400", 5, kInfinity}, {"-1e400", 6, -kInfinity}, {"1e-400", 6, 0},
        {"9007199254740993", 16, 9007199254740992.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RealPrefixLength(c.text), c.length) << c.text;
        EXPECT_EQ(ReadRealPrefix(c.text), c.value) << c.text;
    }
    EXPECT_EQ(RealPrefixLength("nan(payload_1)x"), 14u);
    EXPECT_EQ(RealPrefixLength("nan(a-b)"), 3u);
    EXPECT_TRUE(std::isnan(ReadRealPrefix("-nan")));
    EXPECT_TRUE(std::signbit(ReadRealPrefix("-0")));
}

#if defined(__cpp_lib_to_chars)
template <class Real>
std::string ToChars(Real value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Where the standard library converts reals, the two agree on any bit pattern.
TEST(RealChars, AgreesWithToCharsOnRandomBits) {
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double wide;
        float narrow;
        std::memcpy(&wide, &bits, sizeof wide);
        std::memcpy(&narrow, &bits, sizeof narrow);
        ASSERT_EQ(ShortestRealChars(wide), ToChars(wide)) << std::hexfloat << wide;
        ASSERT_EQ(ShortestRealChars(narrow), ToChars(narrow)) << std::hexfloat << narrow;
    }
}
#endif

}  // namespace
}  // namespace qrv
