// The processor time of one redraw of the idle board, which the game repeats every 500 ms:
// the board screen drawn with the game's own pictures and font, presented and cleared, beside
// a plain SDL2 + OpenGL program's redraw of a 512 x 512 picture (the idle peer's frame). Each
// side runs in a fresh process of its own with its own window, so neither inherits the
// other's renderer; the time is the processor time of all the process's threads (the software
// rasteriser's included) per frame, after the first frames that compile the drawing states.
// Needs a display (the test display will do).
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "bench/fresh_process.h"
#include "game/board_screen.h"
#include "game/game.h"
#include "game/missions.h"
#include "game/startup.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
#include "system/random.h"

namespace {

constexpr int kSide = 512;
constexpr int kWarmFrames = 5;
constexpr int kMeasuredFrames = 200;

double ProcessCpuMillis() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

// Processor milliseconds per frame of redraw(), after the warm-up frames; negative on failure.
template <typename Redraw>
double CpuMillisPerFrame(Redraw redraw) {
    for (int i = 0; i < kWarmFrames; ++i) redraw();
    const double from = ProcessCpuMillis();
    for (int i = 0; i < kMeasuredFrames; ++i) redraw();
    return (ProcessCpuMillis() - from) / kMeasuredFrames;
}

double GameBoardRedraw() {
    zorvak::InitGameModules();
    qrv::SeedRandom(1);
    if (!qrv::OpenGraphicsWindow(kSide, kSide, 0, 0, 0)) return -1;
    zorvak::TGame game;
    if (!zorvak::LoadGameResources(game.resources).empty()) return -1;
    zorvak::NewMission(game.board, zorvak::FirstMissionSpyCount(1));
    zorvak::ComputeFinderCounts(game.board);
    // A board in play: a few notes and spy marks.
    game.board.marks[1][2] = zorvak::MARK_RED;
    game.board.marks[3][4] = zorvak::MARK_GREY;
    game.board.marks[5][6] = zorvak::MARK_SPY;
    return CpuMillisPerFrame([&game] {
        zorvak::DrawBoardScreen(game);
        qrv::PresentFrame();
        qrv::ClearScreen();
    });
}

// Until the window is on the screen (two seconds at most): before it is, the first frames
// may be drawn into a drawable of no size.
void AwaitExposure() {
    const Uint32 from = SDL_GetTicks();
    SDL_Event event;
    while (SDL_GetTicks() - from < 2000) {
        if (SDL_WaitEventTimeout(&event, 10) && event.type == SDL_WINDOWEVENT &&
            event.window.event == SDL_WINDOWEVENT_EXPOSED)
            return;
    }
}

// The idle peer's frame (bench/plain_window.cpp): one filtered, unblended 512 x 512 picture.
double PlainPictureRedraw() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return -1;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("plain window", SDL_WINDOWPOS_UNDEFINED,
                                          SDL_WINDOWPOS_UNDEFINED, kSide, kSide, SDL_WINDOW_OPENGL);
    if (!window || !SDL_GL_CreateContext(window)) return -1;
    SDL_GL_SetSwapInterval(0);
    AwaitExposure();
    std::vector<uint32_t> pixels(kSide * kSide);
    for (int i = 0; i < kSide * kSide; ++i)
        pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSide, kSide, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    return CpuMillisPerFrame([window] {
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex2f(-1, 1);
        glTexCoord2f(1, 0), glVertex2f(1, 1);
        glTexCoord2f(1, 1), glVertex2f(1, -1);
        glTexCoord2f(0, 1), glVertex2f(-1, -1);
        glEnd();
        glDisable(GL_TEXTURE_2D);
        SDL_GL_SwapWindow(window);
    });
}

void RunRedraw(benchmark::State& state, double (*measure)()) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no display for an OpenGL window");
        return;
    }
    for (auto _ : state) {
        double millis = -1;
        if (!qrv::bench::MeasureInFreshProcess(measure, millis)) millis = -1;
        if (millis < 0) {
            state.SkipWithError("the window or its pictures could not be made");
            return;
        }
        state.SetIterationTime(millis / 1000);
    }
}

void BM_IdleBoardRedraw(benchmark::State& state) {
    RunRedraw(state, GameBoardRedraw);
}
BENCHMARK(BM_IdleBoardRedraw)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_IdleBoardRedraw_Peer(benchmark::State& state) {
    RunRedraw(state, PlainPictureRedraw);
}
BENCHMARK(BM_IdleBoardRedraw_Peer)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
