// File names on Windows: UTF-16 names, long paths, reserved device names, links and the program's
// own file.
#include <gtest/gtest.h>
#include <windows.h>
// <windows.h> names its own RemoveDirectory, which would rename the framework's.
#undef RemoveDirectory

#include <filesystem>

#include "core/runtime.h"
#include "stream/directory.h"
#include "stream/file_system.h"
#include "stream/native_path.h"
#include "stream/path_names.h"
#include "temp_folder.h"

namespace qrv {
namespace {

using test::TempFolder;

void WriteText(std::u16string_view path, std::u16string_view text) {
    auto stream = OpenFileForWriting(path);
    ASSERT_NE(stream, nullptr) << "cannot write " << ToUtf8(path);
    stream->WriteChars(text);
    stream->Close();
}

std::u16string ReadText(std::u16string_view path) {
    auto stream = OpenUrl(path, true, false);
    if (!stream) return u"<none>";
    std::u16string text = stream->ReadChars(stream->Size());
    stream->Close();
    return text;
}

TEST(WindowsFiles, CyrillicNamesRoundTrip) {
    TempFolder folder;
    const std::u16string sub = folder / "" + u"/Папка";
    const std::u16string file = sub + u"/Файл.txt";
    ASSERT_TRUE(MakeDirectory(sub));
    WriteText(file, u"data");
    EXPECT_EQ(ReadText(file), u"data");
    EXPECT_EQ(ListDirectory(sub), std::vector<std::u16string>{u"Файл.txt"});
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder.Native()) / L"Папка" / L"Файл.txt"))
        << "the name reached the system as UTF-16, not in the ANSI code page";
    EXPECT_EQ(PathKind(sub + u"/фАЙЛ.TXT"), FILETYPE_FILE) << "names ignore case as the system does";
    EXPECT_TRUE(RemoveDirectory(sub, true));
}

TEST(WindowsFiles, PathsPastTheOldLimitWork) {
    TempFolder folder;
    std::u16string deep = folder / "";
    for (int i = 0; i < 6; ++i) deep += u"/" + std::u16string(50, static_cast<char16_t>(u'a' + i));
    const std::u16string file = deep + u"/long.txt";
    ASSERT_GT(file.size(), 300u);
    ASSERT_TRUE(MakeDirectory(deep, true));
    WriteText(file, u"far away");
    EXPECT_EQ(FileLength(file), 8);
    EXPECT_EQ(ReadText(file), u"far away");
    EXPECT_EQ(ListDirectory(deep), std::vector<std::u16string>{u"long.txt"});
    EXPECT_TRUE(DuplicateFile(file, deep + u"/copy.txt"));
    EXPECT_TRUE(MovePath(deep + u"/copy.txt", file)) << "moving over an existing file replaces it";
    EXPECT_TRUE(RemoveFile(file));
    EXPECT_EQ(PathKind(file), FILETYPE_NONE);
    EXPECT_TRUE(RemoveDirectory(folder / "" + u"/aaaaa" + std::u16string(45, u'a'), true));
    EXPECT_TRUE(ListDirectory(folder / "").empty());
}

TEST(WindowsFiles, ReservedNamesNeverOpenADevice) {
    TempFolder folder;
    ASSERT_TRUE(MakeDirectory(folder / "folder"));
    for (const char16_t* name : {u"NUL", u"con.txt", u"folder/COM1", u"name.", u"name ", u"Lpt9.log.txt",
                                 u"folder/aux/x", u"CONOUT$"}) {
        const std::u16string path = folder / "" + u"/" + name;
        EXPECT_EQ(OpenFileForWriting(path), nullptr) << ToUtf8(name);
        EXPECT_FALSE(NativePath(name)) << ToUtf8(name) << " relative to the working directory";
    }
    EXPECT_FALSE(CreateEmptyFile(u"nul"));
    for (const char16_t* name : {u"console.txt", u"COM10", u"nul_file", u"a.b"}) {
        EXPECT_TRUE(NativePath(name)) << ToUtf8(name) << " is an ordinary name";
    }
}

TEST(WindowsFiles, ReadOnlyAttributeAsPermissionBits) {
    TempFolder folder;
    const std::u16string file = folder / "f.txt";
    WriteText(file, u"x");
    EXPECT_EQ(PermissionBits(file), 0666);
    EXPECT_EQ(PermissionBits(folder / ""), 0777);
    EXPECT_TRUE(SetPermissionBits(file, 0444));
    EXPECT_EQ(PermissionBits(file), 0444);
    const std::wstring native = std::filesystem::path(folder.Native("f.txt")).wstring();
    EXPECT_TRUE(GetFileAttributesW(native.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(RemoveFile(file)) << "a read-only file is removed as unlink(2) would";
}

// A link inside a removed tree goes with the tree; what it points to stays.
TEST(WindowsFiles, RecursiveRemovalLeavesLinkedFoldersAlone) {
    TempFolder folder;
    ASSERT_TRUE(MakeDirectory(folder / "keep/inner", true));
    test::WriteFileBytes(folder.Native("keep/inner/precious.txt"), "precious");
    ASSERT_TRUE(MakeDirectory(folder / "doomed"));
    const std::wstring link = std::filesystem::path(folder.Native("doomed/link")).make_preferred().wstring();
    const std::wstring target = std::filesystem::path(folder.Native("keep")).make_preferred().wstring();
    // Wine reports success without making the link.
    if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "symbolic links cannot be made here";
    }
    EXPECT_EQ(PathKind(folder / "doomed/link/inner"), FILETYPE_DIR);
    EXPECT_FALSE(DuplicateDirectory(folder / "keep", folder / "doomed/link/inner/copy"))
        << "a target inside the source, reached through the link";
    EXPECT_TRUE(RemoveDirectory(folder / "doomed", true));
    EXPECT_EQ(PathKind(folder / "doomed"), FILETYPE_NONE);
    EXPECT_EQ(test::ReadFileBytes(folder.Native("keep/inner/precious.txt")), "precious");
}

TEST(WindowsRuntime, TheProgramIsAnExeAndItsFolderBecomesTheWorkingDirectory) {
    const std::u16string before = WorkingDirectory();
    StartRuntime();
    const std::u16string& program = ProgramPath();
    ASSERT_GT(program.size(), 6u);
    EXPECT_EQ(program.substr(program.size() - 4), u".exe");
    EXPECT_EQ(program[1], u':') << "a drive first";
    EXPECT_EQ(program.find(u'\\'), std::u16string::npos) << "written with /";
    EXPECT_EQ(program.substr(0, ProgramFolder().size() + 1), ProgramFolder() + u"/");
    EXPECT_EQ(WorkingDirectory(), ProgramFolder());
    EXPECT_EQ(PathKind(program), FILETYPE_FILE);
    SetWorkingDirectory(before);
}

}  // namespace
}  // namespace qrv
