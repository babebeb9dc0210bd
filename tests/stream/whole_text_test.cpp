#include "stream/whole_text.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "stream/stream_module.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

class WholeTextTest : public ::testing::Test {
protected:
    void SetUp() override { InitStreamModule(); }
    std::u16string ReadBytes(const std::string& bytes) {
        WriteFileBytes(folder.Native("whole.txt"), bytes);
        return ReadWholeText(folder / "whole.txt");
    }
    TempFolder folder;
};

TEST_F(WholeTextTest, ByteOrderMarkSelectsTheEncodingAndIsDropped) {
    EXPECT_EQ(ReadBytes(std::string("\xFF\xFE" "A\0", 4)), u"A");
    EXPECT_EQ(ReadBytes(std::string("\xFE\xFF\0A\x04\x16", 6)), u"A\u0416");
    EXPECT_EQ(ReadBytes("\xEF\xBB\xBF" "\xD0\x96x"), u"\u0416x");
    EXPECT_EQ(ReadBytes("\xEF\xBB\xBF"), u"");
}

TEST_F(WholeTextTest, WithoutAMarkEveryByteIsOneCharacter) {
    EXPECT_EQ(ReadBytes("AB"), u"AB");
    EXPECT_EQ(ReadBytes(""), u"");
    EXPECT_EQ(ReadBytes("\xFF"), u"\u00FF");
    EXPECT_EQ(ReadBytes("\xFE" "A"), u"\u00FE" "A");
    EXPECT_EQ(ReadBytes("\xEF\xBB" "A"), u"\u00EF\u00BB" "A") << "bytes looked at stay in the text";
    EXPECT_EQ(ReadBytes("\xEF\xBB"), u"\u00EF\u00BB");
    EXPECT_EQ(ReadBytes("\xEF" "A\xBB\xBF"), u"\u00EF" "A\u00BB\u00BF");

    std::string big;
    for (int i = 0; i < 5000; ++i) big.push_back(static_cast<char>(i % 251 + 1));
    const std::u16string text = ReadBytes(big);
    ASSERT_EQ(text.size(), big.size());
    EXPECT_EQ(text[4999], static_cast<char16_t>(4999 % 251 + 1));
}

TEST_F(WholeTextTest, LatinTextIsWrittenBareAndWiderTextAsUtf16WithAMark) {
    WriteWholeText(u"abc", folder / "latin.txt");
    EXPECT_EQ(ReadFileBytes(folder.Native("latin.txt")), "abc");
    WriteWholeText(u"caf\u00E9", folder / "latin.txt");
    EXPECT_EQ(ReadFileBytes(folder.Native("latin.txt")), "caf\xE9");

    const std::u16string wide = u"a\u0416\r\n\U0001F600";
    WriteWholeText(wide, folder / "wide.txt");
    EXPECT_EQ(ReadFileBytes(folder.Native("wide.txt")),
              std::string("\xFF\xFE" "a\0\x16\x04\r\0\n\0\x3D\xD8\x00\xDE", 14));
    EXPECT_EQ(ReadWholeText(folder / "wide.txt"), wide);
    EXPECT_EQ(ReadWholeText(folder / "latin.txt"), u"caf\u00E9");
}

TEST_F(WholeTextTest, UrlsThatDoNotOpenRaiseNamingThem) {
    try {
        ReadWholeText(folder / "missing.txt");
        ADD_FAILURE() << "no error raised";
    } catch (const TRuntimeError& error) {
        EXPECT_NE(error.Message().find(u"missing.txt"), std::u16string::npos);
    }
    EXPECT_THROW(WriteWholeText(u"\u0416", u"incbin::nowhere"), TRuntimeError);
    EXPECT_THROW(WriteWholeText(u"abc", folder / "no/such/folder.txt"), TRuntimeError);
}

}  // namespace
}  // namespace qrv
