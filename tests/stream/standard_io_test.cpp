#include "stream/standard_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "stream/stream_exceptions.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

// Points a standard descriptor at a file for the life of the object.
class RedirectedDescriptor {
public:
    RedirectedDescriptor(int descriptor, const std::string& path, int flags)
        : descriptor(descriptor), saved(::dup(descriptor)) {
        std::fflush(stdout);
        const int file = ::open(path.c_str(), flags, 0600);
        EXPECT_GE(file, 0);
        ::dup2(file, descriptor);
        ::close(file);
        std::clearerr(stdin);
    }
    ~RedirectedDescriptor() {
        std::fflush(stdout);
        ::dup2(saved, descriptor);
        ::close(saved);
        std::clearerr(stdin);
    }
    RedirectedDescriptor(const RedirectedDescriptor&) = delete;
    RedirectedDescriptor& operator=(const RedirectedDescriptor&) = delete;

private:
    int descriptor;
    int saved;
};

TEST(StandardIO, PrintLineWritesUtf8WithALineEnd) {
    TempFolder folder;
    {
        RedirectedDescriptor output(STDOUT_FILENO, folder.Native("out.txt"), O_WRONLY | O_CREAT | O_TRUNC);
        PrintLine(u"\u041F\u0440\u0438 ok");
    }
    EXPECT_EQ(ReadFileBytes(folder.Native("out.txt")), "\xD0\x9F\xD1\x80\xD0\xB8 ok\r\n");
}

TEST(StandardIO, InputLineShowsThePromptAndRaisesOnceTheInputIsExhausted) {
    TempFolder folder;
    WriteFileBytes(folder.Native("in.txt"), "\xD0\x96 answer\r\n");
    {
        RedirectedDescriptor output(STDOUT_FILENO, folder.Native("out.txt"), O_WRONLY | O_CREAT | O_TRUNC);
        RedirectedDescriptor input(STDIN_FILENO, folder.Native("in.txt"), O_RDONLY);
        EXPECT_EQ(InputLine(u"? "), u"\u0416 answer");
        EXPECT_FALSE(StandardTextStream()->AtEnd()) << "standard input never reports its end";
        EXPECT_THROW(InputLine(u"again? "), TStreamReadException);
    }
    EXPECT_EQ(ReadFileBytes(folder.Native("out.txt")), "? again? ");
}

// Line ends and ^Z would be translated or end the input where standard input reads text.
TEST(StandardIO, ReadGivesTheBytesUntranslated) {
    TempFolder folder;
    const std::string bytes = "a\r\nb\x1A" "c\n";
    WriteFileBytes(folder.Native("in.bin"), bytes);
    RedirectedDescriptor input(STDIN_FILENO, folder.Native("in.bin"), O_RDONLY);
    std::string received(16, '\0');
    TCStandardIO standard;
    received.resize(static_cast<size_t>(standard.Read(received.data(), 16)));
    EXPECT_EQ(received, bytes);
}

}  // namespace
}  // namespace qrv
