#include "stream/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <thread>

#include "stream/bank_stream.h"
#include "stream/c_stream.h"
#include "stream/cased_path.h"
#include "stream/directory.h"
#include "stream/path_names.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

// Runs a test inside a folder and returns to the previous working directory afterwards.
class InFolder {
public:
    explicit InFolder(const TempFolder& folder) : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder.Native());
    }
    ~InFolder() { std::filesystem::current_path(previous); }

private:
    std::filesystem::path previous;
};

TEST(OpenFileForReading, GivesAFileStreamAtZeroOrNone) {
    TempFolder folder;
    InFolder inside(folder);
    WriteFileBytes("zorvak.cfg", "line\n1\n");
    auto stream = OpenFileForReading(u"zorvak.cfg");
    ASSERT_NE(stream, nullptr);
    EXPECT_NE(std::dynamic_pointer_cast<TCStream>(stream), nullptr);
    EXPECT_EQ(stream->Position(), 0);
    EXPECT_EQ(stream->Size(), 7);
    stream->Close();
    EXPECT_EQ(OpenFileForReading(u"missing.cfg"), nullptr);
}

TEST(OpenSeekableStream, UnseekableStreamComesBackAsABankStream) {
    if (test::kNoNamedPipes) GTEST_SKIP() << test::kNoNamedPipes;
    TempFolder folder;
    ASSERT_TRUE(test::MakeNamedPipe(folder.Native("fifo")));
    std::string payload;
    for (int i = 0; i < 3000; ++i) payload += static_cast<char>(i * 7);
    std::thread writer([&] { WriteFileBytes(folder.Native("fifo"), payload); });
    auto stream = OpenFileForReading(folder / "fifo");
    writer.join();
    ASSERT_NE(stream, nullptr);
    ASSERT_NE(std::dynamic_pointer_cast<TBankStream>(stream), nullptr);
    EXPECT_EQ(stream->Size(), 3000);
    EXPECT_EQ(stream->Seek(2990), 2990);
    EXPECT_EQ(stream->ReadChars(10), FromLatin1(payload.substr(2990)));
    EXPECT_EQ(stream->Seek(0), 0);
    EXPECT_EQ(stream->ReadChars(3000), FromLatin1(payload));
}

TEST(OpenFileForWriting, CreatesOrTruncates) {
    TempFolder folder;
    WriteFileBytes(folder.Native("w.txt"), "old content");
    auto stream = OpenFileForWriting(folder / "w.txt");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Size(), 0);
    stream->WriteChars(u"new");
    stream->Close();
    EXPECT_EQ(ReadFileBytes(folder.Native("w.txt")), "new");
}

TEST(FileInfo, KindLengthAndTime) {
    TempFolder folder;
    WriteFileBytes(folder.Native("f.bin"), "12345");
    EXPECT_EQ(PathKind(folder / "f.bin"), FILETYPE_FILE);
    EXPECT_EQ(PathKind(folder / "" + u"\\f.bin"), FILETYPE_FILE);
    EXPECT_EQ(PathKind(folder / ""), FILETYPE_DIR);
    EXPECT_EQ(PathKind(folder / "missing"), FILETYPE_NONE);
    EXPECT_EQ(PathKind(u"/dev/null"), FILETYPE_NONE);

    EXPECT_EQ(FileLength(folder / "f.bin"), 5);
    EXPECT_EQ(FileLength(folder / "missing"), -1);
    const int64_t now = std::time(nullptr);
    EXPECT_NEAR(static_cast<double>(ModificationTime(folder / "f.bin")), static_cast<double>(now), 60);
    EXPECT_EQ(ModificationTime(folder / "missing"), -1);
}

TEST(FileInfo, PermissionBits) {
    if (!test::kPosixSpecialFiles) GTEST_SKIP() << "Windows keeps only a read-only attribute";
    TempFolder folder;
    WriteFileBytes(folder.Native("f.bin"), "12345");
    EXPECT_TRUE(SetPermissionBits(folder / "f.bin", 0640));
    EXPECT_EQ(PermissionBits(folder / "f.bin"), 0640);
    EXPECT_EQ(PermissionBits(folder / "missing"), -1);
    EXPECT_FALSE(SetPermissionBits(folder / "missing", 0600));
}

// Where paths have no drives, "a:b" names the file "a:b", never "b" in a folder "a:".
TEST(FileOperations, ANameWithAColonIsNoDrive) {
    if (PATHS_HAVE_DRIVES) GTEST_SKIP() << "drives exist here";
    TempFolder folder;
    InFolder inside(folder);
    WriteFileBytes("a:b", "plain");
    ASSERT_TRUE(MakeDirectory(u"a:"));
    WriteFileBytes("a:/b", "inside the folder");
    EXPECT_EQ(FileLength(u"a:b"), 5);
    EXPECT_EQ(PathKind(u"a:"), FILETYPE_DIR);
    EXPECT_TRUE(RemoveFile(u"a:b"));
    EXPECT_EQ(ReadFileBytes("a:/b"), "inside the folder");
    EXPECT_EQ(PathKind(u"a:b"), FILETYPE_NONE);
}

TEST(FileOperations, CreateRemoveMoveAndDuplicate) {
    TempFolder folder;
    WriteFileBytes(folder.Native("a.txt"), "stale");
    EXPECT_TRUE(CreateEmptyFile(folder / "a.txt"));
    EXPECT_EQ(FileLength(folder / "a.txt"), 0);
    EXPECT_FALSE(CreateEmptyFile(folder / "no/such/dir/x"));

    WriteFileBytes(folder.Native("a.txt"), std::string(10000, 'd'));
    EXPECT_TRUE(DuplicateFile(folder / "a.txt", folder / "b.txt"));
    EXPECT_EQ(ReadFileBytes(folder.Native("b.txt")), std::string(10000, 'd'));
    EXPECT_FALSE(DuplicateFile(folder / "a.txt", folder / "a.txt"));
    EXPECT_FALSE(DuplicateFile(folder / "a.txt", folder / "." + u"/a.txt"));
    EXPECT_EQ(FileLength(folder / "a.txt"), 10000) << "copying onto itself must not empty the file";
    EXPECT_FALSE(DuplicateFile(folder / "missing", folder / "c.txt"));
    EXPECT_EQ(PathKind(folder / "c.txt"), FILETYPE_NONE);
    EXPECT_FALSE(DuplicateFile(folder / "a.txt", folder / "no/dir/c.txt"));

    EXPECT_TRUE(MovePath(folder / "b.txt", folder / "c.txt"));
    EXPECT_EQ(PathKind(folder / "b.txt"), FILETYPE_NONE);
    EXPECT_EQ(FileLength(folder / "c.txt"), 10000);
    EXPECT_TRUE(RemoveFile(folder / "c.txt"));
    EXPECT_FALSE(RemoveFile(folder / "c.txt"));
    EXPECT_FALSE(RemoveFile(folder / ""));
}

TEST(Directories, MakeListDuplicateAndRemoveTrees) {
    TempFolder folder;
    EXPECT_FALSE(MakeDirectory(folder / "x/y/z"));
    EXPECT_TRUE(MakeDirectory(folder / "x\\y\\z\\", true));
    EXPECT_EQ(PathKind(folder / "x/y/z"), FILETYPE_DIR);
    EXPECT_TRUE(MakeDirectory(folder / "x/y", false)) << "an existing directory counts";
    WriteFileBytes(folder.Native("x/top.txt"), "top");
    WriteFileBytes(folder.Native("x/y/z/deep.txt"), "deep");

    EXPECT_EQ(ListDirectory(folder / "x"), (std::vector<std::u16string>{u"top.txt", u"y"}));
    EXPECT_EQ(ListDirectory(folder / "x/", false),
              (std::vector<std::u16string>{u".", u"..", u"top.txt", u"y"}));
    EXPECT_TRUE(ListDirectory(folder / "x/top.txt").empty());

    EXPECT_TRUE(DuplicateDirectory(folder / "x", folder / "copy"));
    EXPECT_EQ(ReadFileBytes(folder.Native("copy/y/z/deep.txt")), "deep");
    EXPECT_EQ(ReadFileBytes(folder.Native("copy/top.txt")), "top");
    EXPECT_FALSE(DuplicateDirectory(folder / "x", folder / "x/y/inner")) << "a copy into itself never ends";
    EXPECT_EQ(PathKind(folder / "x/y/inner"), FILETYPE_NONE);

    EXPECT_FALSE(RemoveDirectory(folder / "x")) << "not empty";
    EXPECT_TRUE(RemoveDirectory(folder / "x", true));
    EXPECT_EQ(PathKind(folder / "x"), FILETYPE_NONE);
    EXPECT_EQ(PathKind(folder / "copy/top.txt"), FILETYPE_FILE);
}

TEST(Directories, RecursiveRemovalLeavesLinkedFoldersAlone) {
    TempFolder folder;
    ASSERT_TRUE(MakeDirectory(folder / "keep"));
    WriteFileBytes(folder.Native("keep/precious.txt"), "precious");
    ASSERT_TRUE(MakeDirectory(folder / "doomed"));
    if (!test::MakeFolderLink(folder.Native("keep"), folder.Native("doomed/link"))) {
        GTEST_SKIP() << "symbolic links cannot be made here";
    }
    EXPECT_TRUE(RemoveDirectory(folder / "doomed", true));
    EXPECT_EQ(ReadFileBytes(folder.Native("keep/precious.txt")), "precious");
}

TEST(Directories, NoCopyIntoTheSourceThroughALink) {
    TempFolder folder;
    InFolder inside(folder);
    ASSERT_TRUE(MakeDirectory(u"src"));
    WriteFileBytes("src/f", "f");
    if (!test::MakeFolderLink("src", "link")) GTEST_SKIP() << "symbolic links cannot be made here";
    EXPECT_FALSE(DuplicateDirectory(u"src", u"link/copy"));
    EXPECT_EQ(PathKind(u"src/copy"), FILETYPE_NONE) << "nothing was made inside the source";
    EXPECT_FALSE(DuplicateDirectory(u"link", u"src/copy"));
    EXPECT_TRUE(DuplicateDirectory(u"link", u"elsewhere"));
    EXPECT_EQ(ReadFileBytes("elsewhere/f"), "f");
}

// On the file system a backslash is part of a name, not a separator.
TEST(Directories, NamesWithABackslashAreRemovedAndCopied) {
    if (PATHS_HAVE_DRIVES) GTEST_SKIP() << "a backslash is a separator here";
    TempFolder folder;
    ASSERT_TRUE(MakeDirectory(folder / "tree/sub", true));
    WriteFileBytes(folder.Native("tree/sub/a\\b"), "odd");
    EXPECT_TRUE(DuplicateDirectory(folder / "tree", folder / "copy"));
    EXPECT_EQ(ReadFileBytes(folder.Native("copy/sub/a\\b")), "odd");
    EXPECT_TRUE(RemoveDirectory(folder / "tree", true));
    EXPECT_EQ(PathKind(folder / "tree"), FILETYPE_NONE);
}

TEST(Directories, ListingByHandle) {
    TempFolder folder;
    WriteFileBytes(folder.Native("only.txt"), "");
    auto listing = OpenListing(folder / "");
    ASSERT_NE(listing, nullptr);
    std::vector<std::u16string> names;
    for (auto name = NextListingEntry(*listing); !name.empty(); name = NextListingEntry(*listing)) {
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u".", u"..", u"only.txt"}));
    CloseListing(*listing);
    EXPECT_EQ(NextListingEntry(*listing), u"");
    EXPECT_EQ(OpenListing(folder / "missing"), nullptr);
}

TEST(AbsolutePath, ResolvesDotsAgainstTheWorkingDirectory) {
    const std::u16string here = WorkingDirectory();
    ASSERT_FALSE(here.empty());
    // Where paths have drives, a path from the root is on the working directory's drive.
    const std::u16string drive = PATHS_HAVE_DRIVES ? here.substr(0, 2) : u"";
    EXPECT_EQ(AbsolutePath(u"/usr/./lib/../bin/"), drive + u"/usr/bin");
    EXPECT_EQ(AbsolutePath(u"/a/b/../.."), drive + u"/");
    EXPECT_EQ(AbsolutePath(u"/a/../.."), BAD_DIR);
    if (PATHS_HAVE_DRIVES) {
        EXPECT_EQ(AbsolutePath(u"C:\\x\\..\\y"), u"C:/y");
    } else {
        EXPECT_EQ(AbsolutePath(u"/:c"), u"/:c");
        EXPECT_EQ(AbsolutePath(AbsolutePath(u"/:c")), u"/:c");
        EXPECT_EQ(AbsolutePath(u"a:\\..\\y"), (here == u"/" ? u"" : here) + u"/y");
    }
    EXPECT_EQ(AbsolutePath(u"."), here);
    EXPECT_EQ(AbsolutePath(u"sub/file.txt"), (here == u"/" ? u"" : here) + u"/sub/file.txt");
}

TEST(WorkingDirectory, SetAndReadBack) {
    TempFolder folder;
    InFolder restore(folder);
    ASSERT_TRUE(MakeDirectory(folder / "sub"));
    EXPECT_TRUE(SetWorkingDirectory(folder / "sub/"));
    EXPECT_EQ(WorkingDirectory(), AbsolutePath(folder / "sub"));
    EXPECT_FALSE(SetWorkingDirectory(folder / "missing"));
}

TEST(FindCasedPath, FindsTheActualCaseOfEachComponent) {
    TempFolder folder;
    InFolder inside(folder);
    ASSERT_TRUE(MakeDirectory(u"Data/Pics", true));
    WriteFileBytes("Data/Pics/Back.JPG", "");
    // Where the file system itself ignores case, an existing path comes back as written.
    const bool systemIgnoresCase = PathKind(u"DATA") == FILETYPE_DIR;
    const auto cased = [&](std::u16string_view asked, std::u16string_view actual) {
        return std::u16string(systemIgnoresCase ? asked : actual);
    };
    EXPECT_EQ(FindCasedPath(u"Data/Pics/Back.JPG"), u"Data/Pics/Back.JPG");
    EXPECT_EQ(FindCasedPath(u"data/PICS/back.jpg"), cased(u"data/PICS/back.jpg", u"Data/Pics/Back.JPG"));
    EXPECT_EQ(FindCasedPath(u"DATA/pics/"), cased(u"DATA/pics/", u"Data/Pics/"));
    EXPECT_EQ(FindCasedPath(u"data/pics/back.jpg/"), u"") << "a file is not a folder";
    EXPECT_EQ(FindCasedPath(u"data/missing/back.jpg"), u"");
    EXPECT_EQ(FindCasedPath(u"data/pics/front.jpg"), u"");
    EXPECT_EQ(FindCasedPath(folder / "DATA/Pics/back.jpg"),
              cased(folder / "DATA/Pics/back.jpg", folder / "Data/Pics/Back.JPG"));

    // Tens of thousands of names: a loop, not one stack frame per name.
    std::u16string deep = u"DATA";
    for (int i = 0; i < 30000; ++i) deep += u"/x";
    EXPECT_EQ(FindCasedPath(deep), u"");
    EXPECT_EQ(FindCasedPath(u"data/pics/../Pics/back.JPG"),
              cased(u"data/pics/../Pics/back.JPG", u"Data/Pics/../Pics/Back.JPG"));
}

}  // namespace
}  // namespace qrv
