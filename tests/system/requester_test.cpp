#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/text.h"
#include "system/browser_url.h"
#include "system/desktop_dialog.h"
#include "system/file_filter.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

void SetPathVariable(const std::string& value) {
#ifdef _WIN32
    _putenv_s("PATH", value.c_str());
#else
    setenv("PATH", value.c_str(), 1);
#endif
}

TEST(FileFilter, GroupsBecomeDescriptionAndPatternPairs) {
    EXPECT_EQ(qrv::BuildFileFilter(u"Image Files:png,jpg;Text:txt"),
              u"Image Files\0*.png;*.jpg\0Text\0*.txt\0"s);
    EXPECT_EQ(qrv::BuildFileFilter(u"png,jpg"), u"Files\0*.png;*.jpg\0"s);
    EXPECT_EQ(qrv::BuildFileFilter(u""), u"");

    const auto groups = qrv::SplitFileFilter(qrv::BuildFileFilter(u"Image Files:png,jpg;Text:txt"));
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].description, u"Image Files");
    EXPECT_EQ(groups[0].patterns, (std::vector<std::u16string>{u"*.png", u"*.jpg"}));
    EXPECT_EQ(groups[1].description, u"Text");
}

TEST(FileFilter, IndexPicksTheGroupOfTheInitialExtension) {
    const std::u16string list = u"Image Files:png,JPG;Sound:wav;Text:txt";
    EXPECT_EQ(qrv::FileFilterIndex(u"photo.png", list), 1);
    EXPECT_EQ(qrv::FileFilterIndex(u"PHOTO.jpg", list), 1) << "case does not matter";
    EXPECT_EQ(qrv::FileFilterIndex(u"beep.wav", list), 2);
    EXPECT_EQ(qrv::FileFilterIndex(u"notes.txt", list), 0) << "the last group is not preselected";
    EXPECT_EQ(qrv::FileFilterIndex(u"noextension", list), 0);
    EXPECT_EQ(qrv::FileFilterIndex(u"archive.zip", list), 0);
    EXPECT_EQ(qrv::FileFilterIndex(u"./photo.png", list), 0) << "the first dot decides";
    EXPECT_EQ(qrv::FileFilterIndex(u"photo.png", u"png,jpg"), 0);
}

TEST(BrowserUrl, UrlsWithASchemeStayAsTheyAre) {
    EXPECT_EQ(qrv::CompleteBrowserUrl(u"HTTP://Example.org/A"), u"HTTP://Example.org/A");
    EXPECT_EQ(qrv::CompleteBrowserUrl(u"file:/etc/hosts"), u"file:/etc/hosts");
    EXPECT_EQ(qrv::CompleteBrowserUrl(u"https://example.org/#x"), u"https://example.org/#x");
}

TEST(BrowserUrl, ExistingFilesBecomeFileUrlsWithTheirAnchorAndOthersHttp) {
    const fs::path folder = fs::temp_directory_path() / ("qrv_url_" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "manual.html") << "<p>";
    const fs::path cwd = fs::current_path();
    fs::current_path(folder);
    const std::u16string absolute = qrv::FromUtf8((folder / "manual.html").generic_string());
    EXPECT_EQ(qrv::CompleteBrowserUrl(u"manual.html#part2"), u"file:" + absolute + u"#part2");
    EXPECT_EQ(qrv::CompleteBrowserUrl(u"./sub/../manual.html"), u"file:" + absolute);
    EXPECT_EQ(qrv::CompleteBrowserUrl(u"www.example.org#top"), u"http:www.example.org#top");
    fs::current_path(cwd);
    fs::remove_all(folder);
}

TEST(DesktopDialog, CommandsPutThePreselectedGroupFirst) {
    const qrv::TFileRequest request{u"Open a picture", u"Images:png,jpg;Sound:wav;Text:txt", false,
                                    u"/home/a/beep.wav"};
    EXPECT_EQ(qrv::FileRequesterCommand("zenity", request),
              (std::vector<std::string>{"zenity", "--file-selection", "--title=Open a picture",
                                        "--filename=/home/a/beep.wav",
                                        "--file-filter=Sound | *.wav",
                                        "--file-filter=Images | *.png *.jpg",
                                        "--file-filter=Text | *.txt"}));
    const qrv::TFileRequest save{u"Save", u"", true, u""};
    EXPECT_EQ(qrv::FileRequesterCommand("kdialog", save),
              (std::vector<std::string>{"kdialog", "--title", "Save", "--getsavefilename", "."}));
}

// A stand-in dialog tool on PATH: it records its arguments and answers like the real one.
class DesktopDialogTool : public testing::Test {
protected:
    void SetUp() override {
#if defined(_WIN32)
        GTEST_SKIP() << "Windows shows its own dialogs, which would wait for a user; no tool is looked for";
#elif defined(__EMSCRIPTEN__)
        GTEST_SKIP() << "a page has no desktop dialog tools to start; its requesters give the cancel result";
#endif
        folder = fs::temp_directory_path() / ("qrv_dialog_" + std::to_string(getpid()));
        fs::create_directories(folder);
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        SetPathVariable(folder.string() + ":" + oldPath);
    }
    void TearDown() override {
        if (IsSkipped()) return;
        SetPathVariable(oldPath);
        fs::remove_all(folder);
    }
    void WriteTool(const std::string& body) {
        const fs::path tool = folder / "zenity";
        std::ofstream(tool) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << (folder / "args").string()
                            << "'\n" << body << "\n";
        fs::permissions(tool, fs::perms::owner_all);
    }
    std::string Arguments() {
        std::ifstream in(folder / "args");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path folder;
    std::string oldPath;
};

TEST_F(DesktopDialogTool, TheChosenPathComesBackWithoutItsNewline) {
    WriteTool("echo '/home/user/рисунок.png'");
    EXPECT_EQ(qrv::FindDialogTool(), "zenity");
    EXPECT_EQ(qrv::RunFileRequester({u"Выбор", u"png", false, u"x.png"}), u"/home/user/рисунок.png");
    EXPECT_EQ(Arguments(), "--file-selection\n--title=Выбор\n--filename=x.png\n--file-filter=Files | *.png\n");
}

TEST_F(DesktopDialogTool, ACancelledDialogGivesEmptyText) {
    WriteTool("echo '/ignored'; exit 1");
    EXPECT_EQ(qrv::RunFolderRequester(u"Folder", u"/tmp"), u"");
    EXPECT_EQ(Arguments(), "--file-selection\n--directory\n--title=Folder\n--filename=/tmp/\n");
}

TEST_F(DesktopDialogTool, WithoutAToolTheResultIsEmpty) {
    SetPathVariable(folder.string());  // nothing in it
    EXPECT_EQ(qrv::FindDialogTool(), std::nullopt);
    EXPECT_EQ(qrv::RunFileRequester({u"Open", u"", false, u""}), u"");
}

}  // namespace
