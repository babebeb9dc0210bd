#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>

#include "core/text.h"

namespace qrv {
namespace {

TEST(NumberText, IntegersArePaddedWithZerosAfterTheSign) {
    EXPECT_EQ(IntegerText(0), u"0");
    EXPECT_EQ(IntegerText(120, 6), u"000120");
    EXPECT_EQ(IntegerText(-5, 3), u"-005");
    EXPECT_EQ(IntegerText(123456, 3), u"123456") << "a longer number is not cut";
    EXPECT_EQ(IntegerText(std::numeric_limits<int64_t>::min()), u"-9223372036854775808");
    EXPECT_EQ(IntegerText(7, 1000), u"00000000000000000007") << "the width is bounded";
}

TEST(NumberText, RealsAreRoundedFromTheirExactValue) {
    EXPECT_EQ(RealText(3.14159, 2), u"3.14");
    EXPECT_EQ(RealText(2.675, 2), u"2.67") << "2.675 is stored as 2.67499999...";
    EXPECT_EQ(RealText(0.125, 2), u"0.12") << "an exact half goes to the even digit";
    EXPECT_EQ(RealText(9.999, 2), u"10.00");
    EXPECT_EQ(RealText(2.5, 0), u"2");
    EXPECT_EQ(RealText(1e21, 1), u"1000000000000000000000.0");
    EXPECT_EQ(RealText(-0.001, 2), u"0.00") << "no sign before a zero";
    EXPECT_EQ(RealText(-1.5, -3), u"-2") << "negative decimals count as none";
    EXPECT_EQ(RealText(std::nan(""), 2), u"nan");
    EXPECT_EQ(RealText(-std::numeric_limits<double>::infinity(), 2), u"-inf");

    // Against the C library's fixed form (correctly rounded in glibc, musl and MinGW-w64's own
    // printf), over values of every size and their halves.
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> exponent(-20, 40);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    for (int i = 0; i < 20000; ++i) {
        const int decimals = i % 9;
        const double value = i % 2 ? std::ldexp(mantissa(random), exponent(random))
                                   : std::round(mantissa(random) * 1000) / 1000 + 0.0005;
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
        std::u16string wanted = FromLatin1(expected);
        if (wanted.starts_with(u'-') && wanted.find_first_not_of(u"0.", 1) == std::u16string::npos)
            wanted.erase(0, 1);
        ASSERT_EQ(RealText(value, decimals), wanted) << value << " with " << decimals << " decimals";
    }
}

}  // namespace
}  // namespace qrv
