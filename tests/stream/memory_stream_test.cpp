#include "stream/ram_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/embedded_files.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_module.h"
#include "stream/stream_utils.h"
#include "temp_folder.h"

namespace qrv {
namespace {

TEST(RamStream, SeeksAreClampedToTheBlock) {
    char block[] = "0123456789";
    auto stream = MemoryStreamOver(block, 10, true, true);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Seek(-5), 0);
    EXPECT_EQ(stream->Seek(20), 10);
    EXPECT_TRUE(stream->AtEnd());
    char buffer[100];
    EXPECT_EQ(stream->Seek(7), 7);
    EXPECT_EQ(stream->Read(buffer, 100), 3);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(stream->Read(buffer, 100), 0);
}

TEST(RamStream, WritesAreCutAtTheEndOfTheBlockAndFlagsAreHonoured) {
    char block[6] = "abcde";
    auto stream = TRamStream::OverMemory(block, 5, false, true);
    char buffer[4];
    EXPECT_EQ(stream->Read(buffer, 4), 0) << "not readable";
    EXPECT_EQ(stream->Seek(3), 3);
    EXPECT_EQ(stream->Write("XYZ", 3), 2);
    EXPECT_EQ(std::string(block), "abcXY");
    EXPECT_EQ(stream->Write("Q", -1), 0);
    EXPECT_THROW(stream->WriteUInt8(1), TStreamWriteException) << "the block never grows";

    const char constant[] = "fixed";
    auto readOnly = TRamStream::OverMemory(constant, 5);
    EXPECT_EQ(readOnly->Write("x", 1), 0);
    readOnly->Close();
    EXPECT_EQ(readOnly->ReadChars(5), u"fixed") << "Close leaves a memory stream usable";

    EXPECT_EQ(TRamStream::OverMemory(nullptr, 4, true, false), nullptr);
    EXPECT_EQ(TRamStream::OverMemory(block, -1, true, false), nullptr);
}

TEST(EmbeddedFiles, FirstRegistrationWinsAndNamesAreCaseSensitive) {
    static const char first[] = "first";
    static const char second[] = "second!";
    EXPECT_TRUE(RegisterEmbeddedFile(u"memtest/back.jpg", first, 5));
    EXPECT_FALSE(RegisterEmbeddedFile(u"memtest/back.jpg", second, 7));
    EXPECT_EQ(EmbeddedFileSize(u"memtest/back.jpg"), 5);
    EXPECT_EQ(EmbeddedFileData(u"memtest/back.jpg"), reinterpret_cast<const uint8_t*>(first));
    EXPECT_EQ(FindEmbeddedFile(u"memtest/Back.jpg"), nullptr);
    EXPECT_EQ(EmbeddedFileSize(u"memtest/unknown"), 0);
    EXPECT_EQ(EmbeddedFileData(u"memtest/unknown"), nullptr);
    EXPECT_FALSE(RegisterEmbeddedFile(u"memtest/negative", first, -1));
    EXPECT_FALSE(RegisterEmbeddedFile(u"memtest/null", nullptr, 3));

    EXPECT_TRUE(RegisterEmbeddedFile(u"memtest/newer", second, 7));
    const TEmbeddedFile* newest = FindEmbeddedFile(u"memtest/newer");
    ASSERT_NE(newest, nullptr);
    ASSERT_NE(newest->next, nullptr);
    EXPECT_EQ(newest->next->name, u"memtest/back.jpg") << "the list runs newest first";
}

TEST(EmbeddedFiles, IncbinOpensReadOnlyStreamsOverTheBlockItself) {
    InitStreamModule();
    static const char bytes[] = "PNG\x01\x02";
    ASSERT_TRUE(RegisterEmbeddedFile(u"memtest/pic.png", bytes, 5));

    auto first = OpenReadStream(u"INCBIN::memtest/pic.png");
    auto second = OpenReadStream(u"incbin::memtest/pic.png");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->Size(), 5);
    EXPECT_EQ(first->ReadChars(3), u"PNG");
    EXPECT_EQ(second->Position(), 0) << "every stream has its own position";
    EXPECT_EQ(LoadBytes(u"incbin::memtest/pic.png"), std::vector<uint8_t>(bytes, bytes + 5));

    EXPECT_EQ(OpenUrl(u"incbin::memtest/pic.png", true, true), nullptr);
    EXPECT_EQ(OpenWriteStream(u"incbin::memtest/pic.png"), nullptr);
    EXPECT_EQ(OpenReadStream(u"incbin::memtest/PIC.png"), nullptr);
}

TEST(Bank, GrowsByHalfItsCapacityOrToTheNewSize) {
    auto bank = TBank::NewBank(10);
    ASSERT_NE(bank, nullptr);
    std::memcpy(bank->Data(), "abcdefghij", 10);
    ASSERT_TRUE(bank->SetBankSize(11));
    EXPECT_EQ(bank->Capacity(), 15);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bank->Data()), 10), "abcdefghij");
    ASSERT_TRUE(bank->SetBankSize(40));
    EXPECT_EQ(bank->Capacity(), 40);
    ASSERT_TRUE(bank->SetBankSize(2));
    EXPECT_EQ(bank->Size(), 2);
    EXPECT_EQ(bank->Capacity(), 40) << "shrinking keeps the buffer";
    EXPECT_FALSE(bank->SetBankSize(-1));
    EXPECT_EQ(TBank::NewBank(-1), nullptr);
}

TEST(BankStream, WritingGrowsTheBankAndSeeksStayInside) {
    auto stream = BankStreamOver(nullptr);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Size(), 0);
    EXPECT_EQ(stream->Write("0123456789", 10), 10);
    EXPECT_EQ(stream->Bank()->Size(), 10);
    EXPECT_EQ(stream->Seek(4), 4);
    EXPECT_EQ(stream->Write("abcdefghij", 10), 10);
    EXPECT_EQ(stream->Size(), 14);
    EXPECT_EQ(stream->Seek(-3), 0);
    EXPECT_EQ(stream->Seek(99), 14);
    EXPECT_EQ(stream->Seek(2), 2);
    EXPECT_EQ(stream->ReadChars(12), u"23abcdefghij");
    char buffer[4];
    EXPECT_EQ(stream->Read(buffer, 4), 0);
    EXPECT_EQ(stream->Read(buffer, 0), 0);
    EXPECT_EQ(stream->Write(buffer, -2), 0);
}

TEST(BankStream, RefusesToGrowBeyondTheLargestStream) {
    auto stream = BankStreamOver(TBank::NewBank(1));
    ASSERT_EQ(stream->Seek(1), 1);
    // Refused before a byte is touched: the buffer given is far smaller than the count.
    const char small[1] = {'x'};
    EXPECT_EQ(stream->Write(small, std::numeric_limits<int32_t>::max()), 0);
    EXPECT_EQ(stream->Size(), 1);
    EXPECT_EQ(stream->Position(), 1);
}

TEST(BankStream, BanksOpenAsStreamsWhateverTheProtocol) {
    InitStreamModule();
    auto bank = TBank::NewBank(3);
    std::memcpy(bank->Data(), "xyz", 3);
    auto stream = OpenUrl(Ref<TObject>(bank), true, true);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->ReadChars(3), u"xyz");
    stream->WriteChars(u"!");
    EXPECT_EQ(bank->Size(), 4) << "the stream writes into the bank itself";
}

TEST(BankStream, BankFromUrlHoldsExactlyTheBytes) {
    test::TempFolder folder;
    const std::string content(3000, 'k');
    test::WriteFileBytes(folder.Native("b.bin"), content);
    auto bank = BankFromUrl(folder / "b.bin");
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(bank->Size(), 3000);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bank->Data()), 3000), content);
    EXPECT_EQ(BankFromUrl(folder / "missing.bin"), nullptr);
}

}  // namespace
}  // namespace qrv
