#include "stream/xendian_stream.h"

#include <gtest/gtest.h>

#include "stream/c_stream.h"
#include "stream/stream_module.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

class XEndianStreamTest : public ::testing::Test {
protected:
    void SetUp() override { InitStreamModule(); }
    Ref<TStream> Reading(const std::u16string& protocol, const std::string& bytes) {
        WriteFileBytes(folder.Native("data.bin"), bytes);
        auto stream = OpenReadStream(protocol + u"::" + (folder / "data.bin"));
        EXPECT_NE(stream, nullptr);
        return stream;
    }
    TempFolder folder;
};

TEST_F(XEndianStreamTest, ProtocolChoosesTheByteOrderOfTypedReads) {
    const std::string one("\0\0\0\1", 4);
    EXPECT_EQ(Reading(u"bigendian", one)->ReadInt32(), 1);
    EXPECT_EQ(Reading(u"LittleEndian", one)->ReadInt32(), 1 << 24);

    auto stream = Reading(u"bigendian", std::string("\xFF\xFE\x80\0\0\0\x01\x02", 8));
    EXPECT_EQ(stream->ReadUInt16(), 0xFFFE) << "16 bits read unsigned";
    EXPECT_EQ(stream->ReadInt32(), INT32_MIN);
    EXPECT_EQ(stream->ReadInt32(), 0x01020000) << "missing bytes read as zero";
}

TEST_F(XEndianStreamTest, TypedWritesAreBigEndianAndReadBack) {
    auto writer = OpenWriteStream(u"bigendian::" + (folder / "data.bin"));
    ASSERT_NE(writer, nullptr);
    writer->WriteUInt16(0x1234);
    writer->WriteInt32(-2);
    writer->WriteInt64(0x0102030405060708);
    writer->WriteFloat32(1.0);
    writer->WriteFloat64(-2.0);
    writer->WriteUInt8(0xAB);
    writer->WriteTextLine(u"ok");
    writer->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("data.bin")),
              std::string("\x12\x34" "\xFF\xFF\xFF\xFE" "\1\2\3\4\5\6\7\x08" "\x3F\x80\0\0"
                          "\xC0\0\0\0\0\0\0\0" "\xAB" "ok\r\n",
                          31));

    auto reader = OpenReadStream(u"bigendian::" + (folder / "data.bin"));
    EXPECT_EQ(reader->ReadUInt16(), 0x1234);
    EXPECT_EQ(reader->ReadInt32(), -2);
    EXPECT_EQ(reader->ReadInt64(), 0x0102030405060708);
    EXPECT_EQ(reader->ReadFloat32(), 1.0f);
    EXPECT_EQ(reader->ReadFloat64(), -2.0);
    EXPECT_EQ(reader->ReadUInt8(), 0xAB);
    EXPECT_EQ(reader->ReadTextLine(), u"ok");
    EXPECT_TRUE(reader->AtEnd());
}

TEST_F(XEndianStreamTest, SwapsAndWrappers) {
    EXPECT_EQ(TXEndianStream::Swap2(0x1234), 0x3412);
    EXPECT_EQ(TXEndianStream::Swap4(0x12345678u), 0x78563412u);
    EXPECT_EQ(TXEndianStream::Swap8(0x0102030405060708u), 0x0807060504030201u);

    WriteFileBytes(folder.Native("data.bin"), "x");
    Ref<TStream> file = TCStream::OpenCFile(folder / "data.bin", true, false);
    EXPECT_EQ(TXEndianStream::LittleEndianOver(file), file);
    EXPECT_EQ(TXEndianStream::BigEndianOver(nullptr), nullptr);
    EXPECT_EQ(OpenReadStream(u"bigendian::" + (folder / "missing.bin")), nullptr);
    EXPECT_EQ(OpenReadStream(u"littleendian::" + (folder / "missing.bin")), nullptr);
}

}  // namespace
}  // namespace qrv
