#include "core/text_to_int.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

TEST(TextToInt, DecimalWithWhiteSpaceSignAndTrailingText) {
    EXPECT_EQ(TextToInt(u"42"), 42);
    EXPECT_EQ(TextToInt(u" 1 "), 1);
    EXPECT_EQ(TextToInt(u"\t\r\n 7"), 7);
    EXPECT_EQ(TextToInt(u"1 spy"), 1);
    EXPECT_EQ(TextToInt(u"12abc"), 12);
    EXPECT_EQ(TextToInt(u"-17"), -17);
    EXPECT_EQ(TextToInt(u"+5"), 5);
    EXPECT_EQ(TextToInt(u"-0"), 0);
    EXPECT_EQ(TextToInt(u"- 5"), 0) << "the digits must follow the sign";
    EXPECT_EQ(TextToInt(u"--5"), 0);
}

TEST(TextToInt, HexadecimalAndBinaryPrefixes) {
    EXPECT_EQ(TextToInt(u"$A"), 10);
    EXPECT_EQ(TextToInt(u"$ff"), 255);
    EXPECT_EQ(TextToInt(u"-$10"), -16);
    EXPECT_EQ(TextToInt(u"$1G"), 1);
    EXPECT_EQ(TextToInt(u"%101"), 5);
    EXPECT_EQ(TextToInt(u"%1021"), 2) << "2 is no binary digit";
    EXPECT_EQ(TextToInt(u"$FFFFFFFF"), -1);
}

TEST(TextToInt, NoDigitsGiveZero) {
    EXPECT_EQ(TextToInt(u""), 0);
    EXPECT_EQ(TextToInt(u"   "), 0);
    EXPECT_EQ(TextToInt(u"x"), 0);
    EXPECT_EQ(TextToInt(u"$"), 0);
    EXPECT_EQ(TextToInt(u"%"), 0);
    EXPECT_EQ(TextToInt(u"-"), 0);
    EXPECT_EQ(TextToInt(u"\u0661"), 0) << "only ASCII digits count";
}

TEST(TextToInt, ValuesBeyond32BitsWrapModulo2To32) {
    EXPECT_EQ(TextToInt(u"2147483647"), 2147483647);
    EXPECT_EQ(TextToInt(u"2147483648"), -2147483647 - 1);
    EXPECT_EQ(TextToInt(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(TextToInt(u"4294967297"), 1);
    EXPECT_EQ(TextToInt(u"$123456789"), 0x23456789);
    EXPECT_EQ(TextToInt(u"99999999999999999999999"), static_cast<int32_t>(0xF67FFFFFu));
}

}  // namespace
}  // namespace qrv
