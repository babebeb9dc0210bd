#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "system/desktop_dialog.h"

namespace {

// Both tools start in the folder they are given, so a relative one must be made absolute
// against the program's working folder; zenity opens inside a folder only with a final slash.
TEST(FolderRequester, CommandsStartInTheAbsoluteInitialFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "zenity and kdialog are desktop tools of Linux; Windows shows its own dialog";
#endif
    const std::string here = std::filesystem::current_path().generic_string();
    EXPECT_EQ(qrv::FolderRequesterCommand("zenity", u"Папка", u"saves/../maps"),
              (std::vector<std::string>{"zenity", "--file-selection", "--directory",
                                        "--title=Папка", "--filename=" + here + "/maps/"}));
    EXPECT_EQ(qrv::FolderRequesterCommand("kdialog", u"Folder", u"/tmp"),
              (std::vector<std::string>{"kdialog", "--title", "Folder",
                                        "--getexistingdirectory", "/tmp"}));
}

}  // namespace
