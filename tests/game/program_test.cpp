// The real program on the test display, driven from outside by xdotool and Xlib as a player
// and a window manager would: its window shows the board, a click marks a cell, Escape or a
// close request ends it with exit code 0, a window forced to another size keeps the drawing
// and the clicks together; without a display it fails at once and says why. It plays on each
// renderer: as the machine chooses, chosen through ZORVAK_RENDERER, with only ES 2.0 contexts
// to be had, and with no core or ES contexts at all (Mesa told to offer OpenGL 3.0 and ES 2.0,
// or 1.1, only).
#include "program_on_display.h"

namespace {

using namespace program_test;

// The whole game on every renderer and renderer choice.
class RealProgram : public ProgramOnTheTestDisplay,
                    public ::testing::WithParamInterface<TEnvironment> {
protected:
    RealProgram() : ProgramOnTheTestDisplay(GetParam()) {}
};

// What does not depend on the renderer, on the one the machine chooses.
using RealProgramAsTheMachineChooses = ProgramOnTheTestDisplay;

// What each renderer draws differently from the other, on both.
class RealProgramOnEachRenderer : public RealProgram {};

TEST_P(RealProgram, AClickMarksACellAndEscapeEndsTheGame) {
    EXPECT_EQ(RendererSelectedUnder(environment), environment.renderer);
    Start();
    ASSERT_TRUE(WaitFor([&] { return (window = FindGameWindow()) != 0; })) << "no game window";
    const std::string windowId = std::to_string(window);
    Ref<TPixmap> shot;
    const bool board = WaitFor([&] {
        shot = Screenshot();
        return shot && ShowsTheBoard(*shot, 0, 0, 255, 255, 255) && ShowsTheBoard(*shot, 7, 7, 255, 255, 255);
    });
    if (!board) return SaveShot(shot, "no-board.png");

    Xdotool("mousemove --window " + windowId + " 81 81 click 1");
    const bool marked = WaitFor([&] {
        shot = Screenshot();
        return shot && ShowsTheBoard(*shot, 0, 0, 200, 200, 200);
    });
    if (!marked) return SaveShot(shot, "not-marked.png");
    EXPECT_TRUE(ShowsTheBoard(*shot, 7, 7, 255, 255, 255)) << "only the clicked cell is marked";

    Xdotool("windowfocus --sync " + windowId + " key Escape");
    std::optional<int> code;
    ASSERT_TRUE(WaitFor([&] { return (code = ExitCode()).has_value(); })) << "the game kept running";
    EXPECT_EQ(*code, 0);
}

// A player who closes the window leaves the game, in the introduction as on the board.
TEST_F(RealProgramAsTheMachineChooses, ACloseRequestEndsTheGameInTheIntroductionAndOnTheBoard) {
    for (const bool introduction : {true, false}) {
        SCOPED_TRACE(introduction ? "introduction" : "board");
        WriteSettings(introduction);
        ASSERT_NO_FATAL_FAILURE(StartAndWaitForTheWindow());
        Ref<TPixmap> shot;
        if (introduction && !LoadingScreenDone(shot)) return SaveShot(shot, "still-loading.png");
        if (!introduction && !BoardShown(shot)) return SaveShot(shot, "no-board.png");
        SendCloseRequest();
        // The window goes within a second; a sanitizer build may then take longer to end.
        EXPECT_TRUE(WindowGoneWithin(1s)) << "the window stayed after the close request";
        const std::optional<int> code = ExitCodeWithin(kPatience);
        ASSERT_TRUE(code.has_value()) << "the game kept running after the close request";
        EXPECT_EQ(*code, 0);
    }
}

// Started without a display (over ssh, say), the game must not run invisibly.
TEST_F(RealProgramAsTheMachineChooses, WithoutADisplayTheGameSaysSoAndExitsWithOne) {
    int pipeEnds[2];
    ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
    Start(pipeEnds[1], [] {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
    });
    close(pipeEnds[1]);
    const std::optional<int> code = ExitCodeWithin(5s);
    std::string errors;
    char buffer[512];
    pollfd readable{pipeEnds[0], POLLIN, 0};
    while (poll(&readable, 1, 0) > 0) {
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        errors.append(buffer, static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
    ASSERT_TRUE(code.has_value()) << "the game kept running without a display";
    EXPECT_EQ(*code, 1);
    EXPECT_NE(errors.find("could not open the game window"), std::string::npos) << errors;
}

// A window manager may force the window to another size; the picture stays at the top left,
// where the pointer's positions count from, and the rest of the window is cleared.
TEST_P(RealProgramOnEachRenderer, AWindowForcedToAnotherSizeKeepsDrawingAndClicksTogether) {
    constexpr int kWidth = 640, kHeight = 600;
    ASSERT_NO_FATAL_FAILURE(StartAndWaitForTheWindow());
    Ref<TPixmap> shot;
    if (!BoardShown(shot)) return SaveShot(shot, "no-board.png");
    XResizeWindow(display.get(), window, kWidth, kHeight);
    XSync(display.get(), False);
    // The server keeps the old pixels at the top left of the grown window: only frames drawn
    // after the resize tell. The board is redrawn at least every half second.
    std::this_thread::sleep_for(1200ms);
    if (!WaitFor([&] {
            shot = Screenshot(kWidth, kHeight);
            return shot && ShowsTheBoard(*shot, 0, 0, 255, 255, 255) &&
                   (shot->GetPixelARGB(kWidth - 20, kHeight / 2) & 0xFFFFFF) == 0 &&
                   (shot->GetPixelARGB(kWidth / 2, kHeight - 20) & 0xFFFFFF) == 0;
        }))
        return SaveShot(shot, "not-at-top-left.png");

    Xdotool("mousemove --window " + std::to_string(window) + " 81 81 click 1");
    if (!WaitFor([&] {
            shot = Screenshot(kWidth, kHeight);
            return shot && ShowsTheBoard(*shot, 0, 0, 200, 200, 200);
        }))
        return SaveShot(shot, "not-marked.png");
    for (int r = 0; r < 8; ++r)
        for (int c = r == 0 ? 1 : 0; c < 8; ++c)
            EXPECT_TRUE(ShowsTheBoard(*shot, c, r, 255, 255, 255)) << "cell " << c << ", " << r;
}
INSTANTIATE_TEST_SUITE_P(
    Renderers, RealProgram,
    ::testing::Values(
        kAsTheMachineChooses, kShaderRenderer, kFixedFunction,
        TEnvironment{"OnlyES2",
                     {{"MESA_GL_VERSION_OVERRIDE", "3.0"}, {"MESA_GLES_VERSION_OVERRIDE", "2.0"}},
                     "OpenGL ES 2.0"},
        TEnvironment{"WithoutCoreOrES",
                     {{"MESA_GL_VERSION_OVERRIDE", "3.0"}, {"MESA_GLES_VERSION_OVERRIDE", "1.1"}},
                     "OpenGL"}),
    NameOf);

INSTANTIATE_TEST_SUITE_P(Renderers, RealProgramOnEachRenderer,
                         ::testing::Values(kShaderRenderer, kFixedFunction), NameOf);

}  // namespace
