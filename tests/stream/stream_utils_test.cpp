#include "stream/stream_utils.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "stream/bank_stream.h"
#include "stream/ram_stream.h"
#include "stream/stream_exceptions.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using namespace std::string_literals;

using test::AsString;
using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

TEST(LoadAndSave, BytesAndByteStringsRoundTripThroughFiles) {
    TempFolder folder;
    std::vector<uint8_t> bytes(5000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31);
    SaveBytes(bytes, folder / "bytes.bin");
    EXPECT_EQ(LoadBytes(folder / "bytes.bin"), bytes);

    SaveByteString(u"caf\u00E9\u0100", folder / "text.bin");
    EXPECT_EQ(ReadFileBytes(folder.Native("text.bin")), "caf\xE9\x00"s);
    EXPECT_EQ(LoadByteString(folder / "text.bin"), std::u16string(u"caf\u00E9\0", 5));

    SaveBytes({}, folder / "empty.bin");
    EXPECT_TRUE(LoadBytes(folder / "empty.bin").empty());
}

TEST(LoadAndSave, UrlsThatDoNotOpenRaiseAnErrorNamingThem) {
    TempFolder folder;
    const std::u16string missing = folder / "missing/file.bin";
    try {
        LoadBytes(missing);
        FAIL() << "loading a missing file must raise";
    } catch (const TRuntimeError& e) {
        EXPECT_NE(e.Message().find(missing), std::u16string::npos) << e.what();
    }
    EXPECT_THROW(LoadByteString(u"incbin::not-registered"), TRuntimeError);
    EXPECT_THROW(SaveBytes({1, 2, 3}, missing), TRuntimeError);
    EXPECT_THROW(SaveByteString(u"abc", u"incbin::anything"), TRuntimeError);
}

// A stream that reports neither a position nor its end and then has nothing more to give:
// loading must stop instead of waiting forever.
class EndlessSilence final : public TStream {
public:
    int32_t Read(void* buffer, int32_t count) override {
        if (given >= 3 || count <= 0) return 0;
        static_cast<uint8_t*>(buffer)[0] = static_cast<uint8_t>('a' + given++);
        return 1;
    }
    int given = 0;
};

TEST(LoadAndSave, LoadingStopsWhenAStreamGivesNothing) {
    EndlessSilence stream;
    EXPECT_FALSE(stream.AtEnd());
    EXPECT_EQ(AsString(LoadBytes(stream)), "abc");
}

TEST(LoadAndSave, MoreBytesThanTheLimitRaise) {
    char block[] = "memory";
    SetLoadBytesLimit(6);
    EXPECT_EQ(AsString(LoadBytes(*MemoryStreamOver(block, 6, true, false))), "memory") << "the limit loads";
    SetLoadBytesLimit(5);
    EXPECT_THROW(LoadBytes(*MemoryStreamOver(block, 6, true, false)), TRuntimeError) << "a known size";
    EndlessSilence unknownSize;
    SetLoadBytesLimit(2);
    EXPECT_THROW(LoadBytes(unknownSize), TRuntimeError);
    SetLoadBytesLimit(DEFAULT_LOAD_BYTES_LIMIT);
}

TEST(LoadAndSave, StreamObjectsLoadWithoutBeingClosed) {
    char block[] = "memory";
    auto memory = MemoryStreamOver(block, 6, true, false);
    memory->Seek(2);
    EXPECT_EQ(AsString(LoadBytes(Ref<TObject>(memory))), "mory");
    EXPECT_EQ(memory->Seek(0), 0);
}

TEST(Copy, UntilEndAndByCount) {
    char source[] = "0123456789";
    auto from = MemoryStreamOver(source, 10, true, false);
    auto to = BankStreamOver(nullptr);
    CopyUntilEnd(*from, *to, 3);
    EXPECT_EQ(to->Size(), 10);

    from->Seek(0);
    auto counted = BankStreamOver(nullptr);
    CopyCount(*from, *counted, 4, 3);
    CopyCount(*from, *counted, -5, 3);
    CopyCount(*from, *counted, 2, -1);
    EXPECT_EQ(counted->Size(), 6);
    EXPECT_EQ(from->Position(), 6);
    counted->Seek(0);
    EXPECT_EQ(counted->ReadChars(6), u"012345");

    char small[2];
    auto full = MemoryStreamOver(small, 2, false, true);
    from->Seek(0);
    EXPECT_THROW(CopyUntilEnd(*from, *full), TStreamWriteException);
}

TEST(SerializedObjects, PlainStreamsRefuseAndMissingUrlsGiveNone) {
    TempFolder folder;
    WriteFileBytes(folder.Native("obj.bin"), "x");
    EXPECT_EQ(ReadObjectFrom(MakeText(folder / "missing")), nullptr);
    EXPECT_THROW(ReadObjectFrom(MakeText(folder / "obj.bin")), TRuntimeError);
    EXPECT_THROW(WriteObjectTo(MakeText(u"x"), MakeText(folder / "out.bin")), TRuntimeError);
    EXPECT_NO_THROW(WriteObjectTo(MakeText(u"x"), MakeText(folder / "no/dir/out.bin")));
}

}  // namespace
}  // namespace qrv
