#include "stream/stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/error.h"
#include "stream/c_stream.h"
#include "stream/ram_stream.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_functions.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

class StreamTest : public ::testing::Test {
protected:
    Ref<TStream> OpenWith(const std::string& bytes) {
        WriteFileBytes(folder.Native("data.bin"), bytes);
        auto stream = OpenReadStream(folder / "data.bin");
        EXPECT_NE(stream, nullptr);
        return stream;
    }
    TempFolder folder;
};

TEST_F(StreamTest, MixedLineEndsReadAsFourLinesThenEmpty) {
    auto stream = OpenWith(std::string("ab\r\ncd\n\nef", 10));
    EXPECT_EQ(ReadTextLine(*stream), u"ab");
    EXPECT_EQ(ReadTextLine(*stream), u"cd");
    EXPECT_EQ(ReadTextLine(*stream), u"");
    EXPECT_EQ(ReadTextLine(*stream), u"ef");
    EXPECT_TRUE(stream->AtEnd());
    EXPECT_EQ(ReadTextLine(*stream), u"");
}

TEST_F(StreamTest, CarriageReturnsAreDroppedAnywhereAndZeroEndsALine) {
    auto stream = OpenWith(std::string("a\rb\nx\0y\n", 8));
    EXPECT_EQ(stream->ReadTextLine(), u"ab");
    EXPECT_EQ(stream->ReadTextLine(), u"x");
    EXPECT_EQ(stream->ReadTextLine(), u"y");
}

// File streams read lines from the file's own buffer; every other stream goes through Read.
TEST_F(StreamTest, FileAndMemoryStreamsSplitLinesAlike) {
    const std::string bytes("ab\r\ncd\n\nef\rg\0h\r\n\r\xFF", 18);
    auto file = OpenWith(bytes);
    std::string copy = bytes;
    auto memory = MemoryStreamOver(copy.data(), static_cast<int32_t>(copy.size()), true, false);
    for (int line = 0; line < 8; ++line) {
        const std::u16string fromMemory = memory->ReadTextLine();
        EXPECT_EQ(file->ReadTextLine(), fromMemory) << "line " << line;
        EXPECT_EQ(file->Position(), memory->Position()) << "line " << line;
    }
    EXPECT_TRUE(file->AtEnd());
}

TEST_F(StreamTest, LongLinesAndHighBytesSurviveTheLineBuffer) {
    std::string line(3000, 'q');
    line[1023] = '\xE9';
    line[2048] = '\xFF';
    auto stream = OpenWith(line + "\nnext");
    const std::u16string read = stream->ReadTextLine();
    ASSERT_EQ(read.size(), 3000u);
    EXPECT_EQ(read[1023], u'\u00E9');
    EXPECT_EQ(read[2048], u'\u00FF');
    EXPECT_EQ(read[2999], u'q');
    EXPECT_EQ(stream->ReadTextLine(), u"next");
}

TEST_F(StreamTest, WriteTextLineEndsWithCarriageReturnLineFeed) {
    auto stream = OpenWriteStream(folder / "out.txt");
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(WriteTextLine(*stream, u"x"));
    // Characters are written as their low byte.
    EXPECT_TRUE(stream->WriteTextLine(u"\u00E9\u0441"));
    stream->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("out.txt")), "x\r\n\xE9\x41\r\n");
}

TEST_F(StreamTest, TypedReadsAreLittleEndianAndUnsignedBelow32Bits) {
    auto stream = OpenWith("\xFF\xFF\xFE\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E");
    EXPECT_EQ(stream->ReadUInt16(), 65535);
    EXPECT_EQ(stream->ReadUInt8(), 254);
    EXPECT_EQ(stream->ReadInt32(), 0x04030201);
    EXPECT_EQ(stream->ReadInt64(), 0x0C0B0A0908070605);
    EXPECT_EQ(stream->ReadInt32(), 0x0E0D) << "two bytes left, the missing two read as zero";
    EXPECT_TRUE(stream->AtEnd());
    EXPECT_EQ(stream->ReadInt32(), 0) << "a read past the end gives zero, not an exception";
}

TEST_F(StreamTest, Int32FromTwoRemainingBytes) {
    auto stream = OpenWith("\x01\x02");
    EXPECT_EQ(stream->ReadInt32(), 513);
    EXPECT_TRUE(stream->AtEnd());
}

TEST_F(StreamTest, TypedWritesRoundTripAndKeepOnlyTheLowBytes) {
    auto out = OpenWriteStream(folder / "typed.bin");
    ASSERT_NE(out, nullptr);
    out->WriteUInt8(0x1FF);
    out->WriteUInt16(-2);
    out->WriteInt32(-123456789);
    out->WriteInt64(std::numeric_limits<int64_t>::min() + 5);
    out->WriteFloat32(1.5);
    out->WriteFloat32(1e300);  // beyond single precision: an infinity
    out->WriteFloat64(-2.25e-300);
    out->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("typed.bin")).substr(0, 3), "\xFF\xFE\xFF");

    auto in = OpenReadStream(folder / "typed.bin");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->Size(), 1 + 2 + 4 + 8 + 4 + 4 + 8);
    EXPECT_EQ(in->ReadUInt8(), 255);
    EXPECT_EQ(in->ReadUInt16(), 65534);
    EXPECT_EQ(in->ReadInt32(), -123456789);
    EXPECT_EQ(in->ReadInt64(), std::numeric_limits<int64_t>::min() + 5);
    EXPECT_EQ(in->ReadFloat32(), 1.5f);
    EXPECT_TRUE(std::isinf(in->ReadFloat32()));
    EXPECT_EQ(in->ReadFloat64(), -2.25e-300);
}

TEST_F(StreamTest, CharsAreLatin1BothWays) {
    auto out = OpenWriteStream(folder / "chars.bin");
    ASSERT_NE(out, nullptr);
    WriteChars(*out, u"A\u00FF\u0142");
    out->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("chars.bin")), "A\xFF\x42");

    auto in = OpenReadStream(folder / "chars.bin");
    EXPECT_EQ(ReadChars(*in, 2), u"A\u00FF");
    EXPECT_EQ(in->ReadChars(3), std::u16string(u"B\0\0", 3)) << "missing characters read as zero";
    EXPECT_EQ(in->ReadChars(-4), u"");
}

TEST_F(StreamTest, ReadFullySkipAndNegativeCounts) {
    auto stream = OpenWith("0123456789");
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(stream->ReadFully(buffer, -3), 0);
    EXPECT_EQ(stream->Position(), 0);
    EXPECT_EQ(stream->Skip(7), 7);
    EXPECT_EQ(stream->ReadFully(buffer, 6), 6) << "gives the requested count even at the end";
    EXPECT_EQ(std::string(buffer, 6), "789xxx") << "the rest of the buffer is left as it was";
    EXPECT_EQ(stream->Skip(100), 100);
    EXPECT_TRUE(stream->AtEnd());
}

// A stream that is never at its end and has nothing to give: the fully-reads must fail loudly.
class EmptyPipe final : public TStream {
public:
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void*, int32_t) override { return 0; }
};

TEST(StreamFailures, ZeroReadsAndWritesRaiseTheFixedTexts) {
    EmptyPipe pipe;
    char buffer[4] = {};
    EXPECT_THROW(pipe.ReadFully(buffer, 4), TStreamReadException);
    EXPECT_THROW(pipe.Skip(1), TStreamReadException);
    EXPECT_THROW(pipe.ReadInt32(), TStreamReadException);
    try {
        pipe.WriteInt32(7);
        FAIL() << "a write of 0 bytes must raise";
    } catch (const TStreamWriteException& e) {
        EXPECT_STREQ(e.what(), "Error writing to stream");
    }
    try {
        pipe.ReadUInt8();
    } catch (const TStreamException& e) {
        EXPECT_STREQ(e.what(), "Error reading from stream");
    }
    EXPECT_FALSE(pipe.WriteTextLine(u"x")) << "a short write is reported, not raised";
    EXPECT_EQ(pipe.ReadTextLine(), u"");
}

TEST(StreamFailures, BaseOperationsRaiseTheirMessages) {
    TStream plain;
    char byte = 0;
    EXPECT_EQ(plain.Position(), -1);
    EXPECT_EQ(plain.Seek(3), -1);
    try {
        plain.Read(&byte, 1);
        FAIL();
    } catch (const TRuntimeError& e) {
        EXPECT_STREQ(e.what(), "Stream is not readable");
    }
    try {
        plain.Write(&byte, 1);
        FAIL();
    } catch (const TRuntimeError& e) {
        EXPECT_STREQ(e.what(), "Stream is not writeable");
    }
    try {
        plain.ReadSerialized();
        FAIL();
    } catch (const TRuntimeError& e) {
        EXPECT_STREQ(e.what(), "Unable to read object");
    }
    EXPECT_THROW(plain.WriteSerialized(MakeText(u"x")), TRuntimeError);
}

}  // namespace
}  // namespace qrv
