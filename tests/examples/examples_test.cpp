#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "core/text.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixmap.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"

namespace qrv {
namespace {

namespace fs = std::filesystem;

constexpr int FRAMES = 12;

struct Rgb {
    int r, g, b;
};

Rgb PixelAt(const Ref<TPixmap>& rgba, int x, int y) {
    const uint8_t* p = rgba->PixelAddress(x, y);
    return {p[0], p[1], p[2]};
}

int CountPixels(const Ref<TPixmap>& rgba, const std::function<bool(Rgb)>& wanted) {
    int count = 0;
    for (int y = 0; y < rgba->Height(); ++y)
        for (int x = 0; x < rgba->Width(); ++x) count += wanted(PixelAt(rgba, x, y)) ? 1 : 0;
    return count;
}

// What std::system reports as the program's exit code: Windows gives the code itself.
int ExitCodeOf(int status) {
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

class ExamplesTest : public ::testing::Test {
protected:
    void SetUp() override { InitPixmapModule(); }

    // Runs the program for a few frames and gives its last frame as RGBA; a failed run or a
    // missing picture fails the test.
    Ref<TPixmap> LastFrameOf(const std::string& program) {
        const fs::path shot = fs::temp_directory_path() /
                              (fs::path(program).filename().string() + "_" +
                               std::to_string(getpid()) + ".png");
        fs::remove(shot);
        const std::string command = program + " " + std::to_string(FRAMES) + " " + shot.string();
        const int status = std::system(command.c_str());
        EXPECT_EQ(ExitCodeOf(status), 0) << command << " gave " << status;
        Ref<TPixmap> frame = PixmapFromUrl(FromLatin1(shot.string()));
        fs::remove(shot);
        if (!frame) {
            ADD_FAILURE() << command << " saved no readable last frame";
            return nullptr;
        }
        return ConvertedTo(frame, FormatRGBA8888);
    }
};

TEST_F(ExamplesTest, SpritesLightUpTheDartsThatTouch) {
    const Ref<TPixmap> frame = LastFrameOf(EXAMPLE_SPRITES);
    ASSERT_TRUE(frame);
    // The first two darts start on top of each other and are still touching: red. The others
    // are apart: green.
    const int red = CountPixels(frame, [](Rgb c) { return c.r > 200 && c.g < 100 && c.b < 90; });
    const int green = CountPixels(frame, [](Rgb c) { return c.g > 180 && c.r < 130 && c.b < 160; });
    EXPECT_GT(red, 100) << "colliding darts are drawn red";
    EXPECT_GT(green, 300) << "free darts are drawn green";
}

TEST_F(ExamplesTest, TextUnderlinesTheCentredTitleAtItsMeasuredWidth) {
    const Ref<TPixmap> frame = LastFrameOf(EXAMPLE_TEXT);
    ASSERT_TRUE(frame);
    // The underline below the title is a solid bar centred on the window: the one row near
    // the top where the title's colour runs unbroken through the middle half.
    const auto underlineColour = [](Rgb c) { return c.r == 255 && c.g == 210 && c.b == 90; };
    int row = -1;
    for (int y = 30; y < 80 && row < 0; ++y) {
        bool solid = true;
        for (int x = frame->Width() / 4; x < frame->Width() * 3 / 4 && solid; ++x)
            solid = underlineColour(PixelAt(frame, x, y));
        if (solid) row = y;
    }
    ASSERT_GE(row, 0) << "no underline below the title";
    int left = frame->Width() / 2;
    int right = frame->Width() / 2;
    while (left > 0 && underlineColour(PixelAt(frame, left - 1, row))) --left;
    while (right < frame->Width() - 1 && underlineColour(PixelAt(frame, right + 1, row))) ++right;
    EXPECT_LE(std::abs((left + right + 1) - frame->Width()), 2)
        << "centred: " << left << ".." << right;
    EXPECT_GT(right - left, frame->Width() / 2) << "as wide as the title";
    // The title's ink above it starts and ends where the measured width says, give or take
    // the side bearings of its first and last letters.
    int inkLeft = frame->Width();
    int inkRight = -1;
    for (int y = 0; y < row - 1; ++y) {
        for (int x = 0; x < frame->Width(); ++x) {
            const Rgb c = PixelAt(frame, x, y);
            if (c.r > 150 && c.r > c.b + 60) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
        }
    }
    EXPECT_LE(std::abs(inkLeft - left), 4) << "ink from " << inkLeft << ", underline from " << left;
    EXPECT_LE(std::abs(inkRight - right), 4) << "ink to " << inkRight << ", underline to " << right;
}

TEST_F(ExamplesTest, FilesShowsTheGreyEnlargedCopyItSavedAndReadBack) {
    const Ref<TPixmap> frame = LastFrameOf(EXAMPLE_FILES);
    ASSERT_TRUE(frame);
    // The dart (32 x 32) three times as large and grey, drawn at (300, 60): its middle is white.
    const Rgb middle = PixelAt(frame, 300 + 48, 60 + 48);
    EXPECT_TRUE(middle.r == middle.g && middle.g == middle.b && middle.r > 200)
        << middle.r << " " << middle.g << " " << middle.b;
    const fs::path savedPath = fs::path(EXAMPLE_FILES).parent_path() / "converted.png";
    const Ref<TPixmap> saved = PixmapFromUrl(FromLatin1(savedPath.string()));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Width(), 96);
    EXPECT_EQ(saved->Format(), FormatGrey8);
}

// Sets an environment variable for the programs the test runs.
void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

TEST_F(ExamplesTest, SoundSaysWhetherItPlaysAndRunsOnWithoutADevice) {
    // SDL's device without hardware mixes on its own thread: the example plays (a green square).
    SetEnvironment("SDL_AUDIODRIVER", "dummy");
    const Ref<TPixmap> playing = LastFrameOf(EXAMPLE_SOUND);
    // A device that cannot open: the example runs on silent and shows a red square.
    SetEnvironment("SDL_AUDIODRIVER", "no-such-audio-target");
    const Ref<TPixmap> silent = LastFrameOf(EXAMPLE_SOUND);
    SetEnvironment("SDL_AUDIODRIVER", "");
    ASSERT_TRUE(playing && silent);
    const Rgb on = PixelAt(playing, 10, 10);
    const Rgb off = PixelAt(silent, 10, 10);
    EXPECT_TRUE(on.g > 200 && on.r < 100) << on.r << " " << on.g << " " << on.b;
    EXPECT_TRUE(off.r > 200 && off.g < 100) << off.r << " " << off.g << " " << off.b;
    // Either way the dart waits in the middle, light blue.
    const int dart = CountPixels(silent, [](Rgb c) { return c.b > 200 && c.g > 150 && c.r < 160; });
    EXPECT_GT(dart, 100);
}

}  // namespace
}  // namespace qrv
