#include "stream/c_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "core/error.h"
#include "stream/file_system.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_module.h"
#include "stream/stream_utils.h"
#include "stream/whole_text.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

TEST(CStream, NewFileTracksSizeAndPositionThroughWritesAndSeeks) {
    TempFolder folder;
    auto stream = TCStream::OpenCFile(folder / "new.bin", false, true);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Mode(), TCStream::MODE_WRITE);
    EXPECT_EQ(stream->Size(), 0);
    EXPECT_EQ(stream->Write("0123456789", 10), 10);
    EXPECT_EQ(stream->Seek(4), 4);
    EXPECT_EQ(stream->Size(), 10);
    EXPECT_EQ(stream->Position(), 4);
    EXPECT_EQ(stream->Write("ab", 2), 2);
    EXPECT_EQ(stream->Seek(12), 12) << "a seek past the end is not clamped";
    EXPECT_EQ(stream->Write("z", 1), 1);
    EXPECT_EQ(stream->Size(), 13);
    stream->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("new.bin")), std::string("0123ab6789\0\0z", 13));
}

TEST(CStream, OpenModesFollowTheFlags) {
    TempFolder folder;
    WriteFileBytes(folder.Native("f.txt"), "hello");
    EXPECT_EQ(TCStream::OpenCFile(folder / "missing", true, false), nullptr);
    EXPECT_EQ(TCStream::OpenCFile(folder / "missing", true, true), nullptr) << "r+b does not create";

    auto neither = TCStream::OpenCFile(folder / "f.txt", false, false);
    ASSERT_NE(neither, nullptr);
    EXPECT_EQ(neither->Mode(), TCStream::MODE_READ);
    EXPECT_EQ(neither->Size(), 5);
    EXPECT_EQ(neither->Write("x", 1), 0) << "a read-only file takes no bytes";
    neither->Close();

    auto truncating = TCStream::OpenCFile(folder / "f.txt", false, true);
    ASSERT_NE(truncating, nullptr);
    EXPECT_EQ(truncating->Size(), 0);
    truncating->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("f.txt")), "");
}

TEST(CStream, ReadWriteModeSwitchesDirectionWithoutLosingBytes) {
    TempFolder folder;
    WriteFileBytes(folder.Native("rw.bin"), "abcdefgh");
    auto stream = TCStream::OpenCFile(folder / "rw.bin", true, true);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Mode(), TCStream::MODE_READ_WRITE);
    char two[2];
    EXPECT_EQ(stream->Read(two, 2), 2);
    EXPECT_EQ(stream->Write("XY", 2), 2);
    EXPECT_EQ(stream->Read(two, 2), 2);
    EXPECT_EQ(std::string(two, 2), "ef");
    EXPECT_EQ(stream->Position(), 6);
    stream->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("rw.bin")), "abXYefgh");
}

TEST(CStream, DirectoryIsNoFile) {
    // The C library opens a directory for reading, and measures it as a huge file that gives no
    // bytes: it must count as a failed open, like on platforms that refuse it.
    TempFolder folder;
    ASSERT_TRUE(std::filesystem::create_directory(folder.Native("dir")));
    EXPECT_EQ(TCStream::OpenCFile(folder / "dir", true, false), nullptr);
    EXPECT_EQ(TCStream::OpenCFile(folder / "dir", false, false), nullptr);
    EXPECT_THROW(LoadBytes(folder / "dir"), TRuntimeError) << "not an empty file read as success";
}

TEST(CStream, BackslashesOpenTheSameFile) {
    TempFolder folder;
    WriteFileBytes(folder.Native("data.txt"), "same");
    std::u16string path = folder / "data.txt";
    for (auto& c : path) {
        if (c == u'/') c = u'\\';
    }
    auto stream = TCStream::OpenCFile(path, true, false);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->ReadChars(4), u"same");
}

TEST(CStream, PathsThatCannotBeNarrowedDoNotOpen) {
    TempFolder folder;
    WriteFileBytes(folder.Native("a"), "x");
    // U+012F would narrow to "/", U+0161 to "a": neither may reach another file.
    EXPECT_EQ(TCStream::OpenCFile(folder / "" + u"\u012Fa", true, false), nullptr);
    EXPECT_EQ(TCStream::OpenCFile(folder / "" + u"/\u0161", true, false), nullptr);
    EXPECT_EQ(TCStream::OpenCFile(folder / "a" + std::u16string(1, u'\0') + u"b", true, false), nullptr);
}

TEST(CStream, ClosedStreamTouchesNoFile) {
    TempFolder folder;
    WriteFileBytes(folder.Native("c.bin"), "content");
    auto stream = TCStream::OpenCFile(folder / "c.bin", true, false);
    ASSERT_NE(stream, nullptr);
    stream->Close();
    stream->Close();
    char buffer[4];
    EXPECT_FALSE(stream->IsOpen());
    EXPECT_EQ(stream->Read(buffer, 4), 0);
    EXPECT_EQ(stream->Write(buffer, 4), 0);
    EXPECT_EQ(stream->Seek(2), -1);
    EXPECT_EQ(stream->Position(), 0);
    EXPECT_EQ(stream->Size(), 0);
    EXPECT_TRUE(stream->AtEnd());
}

TEST(CStream, DroppedStreamFlushesItsFile) {
    TempFolder folder;
    {
        auto stream = TCStream::OpenCFile(folder / "dropped.txt", false, true);
        ASSERT_NE(stream, nullptr);
        stream->WriteChars(u"kept");
    }
    EXPECT_EQ(ReadFileBytes(folder.Native("dropped.txt")), "kept");
}

TEST(CStream, PipeIsNotSeekableButReadsToItsEnd) {
    if (test::kNoNamedPipes) GTEST_SKIP() << test::kNoNamedPipes;
    TempFolder folder;
    ASSERT_TRUE(test::MakeNamedPipe(folder.Native("fifo")));
    const std::string payload(5000, 'p');
    std::thread writer([&] { WriteFileBytes(folder.Native("fifo"), payload); });
    auto stream = TCStream::OpenCFile(folder / "fifo", true, false);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Position(), -1);
    EXPECT_EQ(stream->Seek(0), -1);
    EXPECT_EQ(test::AsString(LoadBytes(*stream)), payload);
    EXPECT_EQ(stream->Position(), -1);
    stream->Close();
    writer.join();
}

// Reading a pipe to its end must find the end, not take the last empty read for an error.
TEST(CStream, PipeReportsItsEndOnceTheFileEnded) {
    if (test::kNoNamedPipes) GTEST_SKIP() << test::kNoNamedPipes;
    InitStreamModule();
    TempFolder folder;
    ASSERT_TRUE(test::MakeNamedPipe(folder.Native("fifo")));
    ASSERT_TRUE(test::MakeNamedPipe(folder.Native("fifo2")));
    std::thread writer([&] {
        WriteFileBytes(folder.Native("fifo"), std::string("\xFF\xFE" "A\0B\0", 6));
        WriteFileBytes(folder.Native("fifo2"), "one\n\xD0\x96\n");
    });
    EXPECT_EQ(ReadWholeText(folder / "fifo"), u"AB");
    auto lines = OpenReadStream(u"utf8::" + (folder / "fifo2"));
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->ReadTextLine(), u"one");
    EXPECT_FALSE(lines->AtEnd());
    EXPECT_EQ(lines->ReadTextLine(), u"\u0416");
    EXPECT_TRUE(lines->AtEnd());
    lines->Close();
    writer.join();
}

// /dev/full takes every byte into the C library's buffer and fails each write(2) with ENOSPC.
TEST(CStream, FailedWritesAreRememberedAndReported) {
    if (!test::kPosixSpecialFiles) GTEST_SKIP() << "no /dev/full on this system";
    auto stream = TCStream::OpenCFile(u"/dev/full", false, true);
    ASSERT_NE(stream, nullptr);
    const std::string chunk(4095, 'x');
    EXPECT_THROW(
        for (int i = 0; i < 200; ++i) stream->WriteFully(chunk.data(), 4095), TStreamWriteException);
    EXPECT_TRUE(stream->WriteFailed());
    EXPECT_EQ(stream->Write("y", 1), 0) << "every later write gives nothing";
    EXPECT_THROW(stream->Flush(), TStreamWriteException);
    EXPECT_THROW(stream->Close(), TStreamWriteException);
    EXPECT_FALSE(stream->IsOpen()) << "closed all the same";
    EXPECT_NO_THROW(stream->Close());

    // A few bytes stay in the buffer until the close, which alone finds the failure.
    auto small = TCStream::OpenCFile(u"/dev/full", false, true);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Write("abc", 3), 3);
    EXPECT_THROW(small->Close(), TStreamWriteException);
}

TEST(CStream, SavesAndCopiesToAFullDiskReportFailure) {
    if (!test::kPosixSpecialFiles) GTEST_SKIP() << "no /dev/full on this system";
    TempFolder folder;
    EXPECT_THROW(SaveBytes(std::vector<uint8_t>(3, 1), u"/dev/full"), TStreamWriteException);
    EXPECT_THROW(SaveBytes(std::vector<uint8_t>(100000, 1), u"/dev/full"), TStreamWriteException);
    EXPECT_THROW(SaveByteString(u"short", u"/dev/full"), TStreamWriteException);
    EXPECT_THROW(WriteWholeText(u"latin", u"/dev/full"), TStreamWriteException);
    EXPECT_THROW(WriteWholeText(u"\u0416", u"/dev/full"), TStreamWriteException);
    WriteFileBytes(folder.Native("source"), "a few bytes");
    EXPECT_FALSE(DuplicateFile(folder / "source", u"/dev/full"));
    EXPECT_TRUE(DuplicateFile(folder / "source", folder / "copy"));
}

// A file measured at opening that then shrinks: the promised bytes never come.
TEST(CStream, ShortReadsOfAPromisedSizeAreFailures) {
    TempFolder folder;
    WriteFileBytes(folder.Native("shrinks"), std::string(10000, 's'));
    const auto openShrunk = [&] {
        auto stream = TCStream::OpenCFile(folder / "shrinks", true, false);
        EXPECT_EQ(stream->Size(), 10000);
        std::filesystem::resize_file(folder.Native("shrinks"), 3000);
        return stream;
    };
    EXPECT_THROW(LoadBytes(*openShrunk()), TStreamReadException);
    WriteFileBytes(folder.Native("shrinks"), std::string(10000, 's'));
    auto target = TCStream::OpenCFile(folder / "copy", false, true);
    EXPECT_THROW(CopyUntilEnd(*openShrunk(), *target), TStreamReadException);
    WriteFileBytes(folder.Native("shrinks"), std::string(10000, 's'));
    EXPECT_THROW(CopyCount(*openShrunk(), *target, 5000), TStreamReadException);
    target->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("copy")), std::string(3000, 's'))
        << "the counted copy passed no stale bytes on";
}

}  // namespace
}  // namespace qrv
