#include "game/settings.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "core/text.h"
#include "tests/stream/temp_folder.h"

namespace zorvak {
namespace {

// Each test writes its settings file into a fresh folder and reads it from there.
class SettingsTest : public ::testing::Test {
protected:
    qrv::test::TempFolder temp;
    const std::filesystem::path folder{temp.Native()};

    void Read(const std::string& content) {
        std::ofstream(folder / "zorvak.cfg", std::ios::binary) << content;
        settings = ReadSettings(qrv::FromLatin1((folder / "zorvak.cfg").string()));
    }

    TSettings settings{-99, -99};
};

TEST_F(SettingsTest, FourLinesGiveIntroductionAndDifficulty) {
    Read("x\n1\ny\n2\n");
    EXPECT_EQ(settings.introFlag, 1);
    EXPECT_EQ(settings.difficulty, 2);
    Read("\xEF\xBB\xBFlabel\r\n0\r\nlabel\r\n1");
    EXPECT_EQ(settings.introFlag, 0);
    EXPECT_EQ(settings.difficulty, 1);
}

TEST_F(SettingsTest, MissingLinesReadAsZero) {
    Read("x\n1");
    EXPECT_EQ(settings.introFlag, 1);
    EXPECT_EQ(settings.difficulty, 0);
    Read("");
    EXPECT_EQ(settings.introFlag, 0);
    EXPECT_EQ(settings.difficulty, 0);
}

TEST_F(SettingsTest, ValuesUseTheTextToIntegerConversion) {
    Read("a\n 1 \nb\n1 spy\n");
    EXPECT_EQ(settings.introFlag, 1);
    EXPECT_EQ(settings.difficulty, 1);
    Read("a\n$A\nb\n-0\n");
    EXPECT_EQ(settings.introFlag, 10);
    EXPECT_EQ(settings.difficulty, 0);
    Read("a\nyes\nb\n7\n");
    EXPECT_EQ(settings.introFlag, 0);
    EXPECT_EQ(settings.difficulty, 7) << "out-of-range values are kept for the mission rules to judge";
    Read(std::string("a\n1\0junk\nb\n-1\n", 15));
    EXPECT_EQ(settings.introFlag, 1);
    EXPECT_EQ(settings.difficulty, 0) << "the zero byte ended line 2, so \"junk\" became line 3";
}

TEST_F(SettingsTest, MissingFileReadsLikeAnEmptyOne) {
    settings = ReadSettings(qrv::FromLatin1((folder / "absent.cfg").string()));
    EXPECT_EQ(settings.introFlag, 0);
    EXPECT_EQ(settings.difficulty, 0);
}

TEST_F(SettingsTest, AFifoWithoutAWriterIsNotWaitedFor) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no named pipes in the file system";
#elif defined(__EMSCRIPTEN__)
    GTEST_SKIP() << "no thread to run the read aside, and opening a named pipe blocks node";
#else
    ASSERT_EQ(mkfifo((folder / "zorvak.cfg").c_str(), 0600), 0);
    // Run aside, so a read that blocks fails the test instead of hanging the suite.
    const std::string fifo = (folder / "zorvak.cfg").string();
    auto reading = std::async(std::launch::async, [&] { settings = ReadSettings(qrv::FromLatin1(fifo)); });
    const bool finished = reading.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    if (!finished) ::close(::open(fifo.c_str(), O_WRONLY));  // lets the blocked reader go on
    EXPECT_TRUE(finished);
    EXPECT_EQ(settings.introFlag, 0);
    EXPECT_EQ(settings.difficulty, 0);
#endif
}

TEST_F(SettingsTest, ReadsZorvakCfgFromTheWorkingDirectory) {
    std::ofstream(folder / "zorvak.cfg", std::ios::binary) << "x\n1\ny\n-1\n";
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    settings = ReadSettings();
    std::filesystem::current_path(previous);
    EXPECT_EQ(settings.introFlag, 1);
    EXPECT_EQ(settings.difficulty, -1);
}

TEST(DefaultSettings, BuildPlacesThemBesideTheGame) {
    const TSettings settings = ReadSettings(qrv::FromLatin1(ZORVAK_DEFAULT_SETTINGS));
    EXPECT_EQ(settings.introFlag, 1);
    EXPECT_EQ(settings.difficulty, 1);
}

}  // namespace
}  // namespace zorvak
