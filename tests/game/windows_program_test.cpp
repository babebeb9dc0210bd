// The game built for Windows, run under Wine on the test display beside the Linux build: its
// first board looks the same, and a window manager's close request ends it with exit code 0.
// tools/windows.sh test runs this with ZORVAK_WINDOWS_PROGRAM naming zorvak.exe.
#include "program_on_display.h"

namespace {

using namespace program_test;

// Channels may differ by this much, on at most this share of the compared pixels, between the
// two builds (the same decoders and the same software rasteriser draw both).
constexpr int kChannelTolerance = 2;
constexpr double kDifferingShare = 0.001;
// The 8 x 8 cells hold the counts of a board drawn at random at each start: they are left out,
// and everything around them (map, labels, pencil, panel, buttons) is compared.
constexpr int kCellsLeft = 56, kCellsRight = 56 + 8 * 50;

class WindowsProgram : public ProgramOnTheTestDisplay {
protected:
    void SetUp() override {
        const char* windowsProgram = std::getenv("ZORVAK_WINDOWS_PROGRAM");
        if (!windowsProgram) GTEST_SKIP() << "ZORVAK_WINDOWS_PROGRAM names no zorvak.exe";
        windowsBuild = windowsProgram;
        ProgramOnTheTestDisplay::SetUp();
    }

    // The first board of the program that `program` and `launcher` name, introduction off.
    Ref<TPixmap> FirstBoard() {
        StartAndWaitForTheWindow();
        Ref<TPixmap> shot;
        if (!BoardShown(shot)) {
            SaveShot(shot, "no-board.png");
            return nullptr;
        }
        return shot;
    }

    void SwitchToTheWindowsBuild() {
        program = windowsBuild;
        launcher = {"wine"};
        std::filesystem::copy_file(program, folder / program.filename(),
                                   std::filesystem::copy_options::overwrite_existing);
    }

    std::filesystem::path windowsBuild;
};

bool InTheCells(int x, int y) {
    return x >= kCellsLeft && x < kCellsRight && y >= kCellsLeft && y < kCellsRight;
}

// The pixels outside the cells, and how many of them differ beyond the tolerance.
std::pair<int, int> ComparedAndDiffering(const TPixmap& a, const TPixmap& b) {
    int compared = 0, differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            if (InTheCells(x, y)) continue;
            ++compared;
            if (!Close(a.GetPixelARGB(x, y), b.GetPixelARGB(x, y), kChannelTolerance)) ++differing;
        }
    return {compared, differing};
}

TEST_F(WindowsProgram, ShowsTheLinuxFirstBoardAndEndsOnACloseRequest) {
    const Ref<TPixmap> linuxBoard = FirstBoard();
    ASSERT_TRUE(linuxBoard);
    SendCloseRequest();
    ASSERT_EQ(ExitCodeWithin(kPatience), 0) << "the Linux build";

    SwitchToTheWindowsBuild();
    const Ref<TPixmap> windowsBoard = FirstBoard();
    ASSERT_TRUE(windowsBoard);
    const auto [compared, differing] = ComparedAndDiffering(*linuxBoard, *windowsBoard);
    EXPECT_LE(differing, kDifferingShare * compared);
    if (HasFailure()) SaveShot(windowsBoard, "windows-board.png");

    SendCloseRequest();
    const std::optional<int> code = ExitCodeWithin(kPatience);
    ASSERT_TRUE(code.has_value()) << "the Windows build kept running after the close request";
    EXPECT_EQ(*code, 0);
}

}  // namespace
