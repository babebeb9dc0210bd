#include "game/startup.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/text.h"
#include "game/board.h"
#include "game/main_loop.h"
#include "game/missions.h"
#include "game/resources.h"
#include "game/scenes.h"
#include "game/settings.h"
#include "game/window_icon.h"
#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "framework/framework.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_driver.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/freetype_font.h"
#include "pixmap/pixmap_module.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/input.h"
#include "system/random.h"
#include "system/sdl/sdl_video.h"
#include "system/system_driver.h"

namespace zorvak {

namespace {

constexpr int WINDOW_SIZE = 512;
constexpr int FRAME_RATE = 50;

void ReportStartFailure(const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", qrv::ToUtf8(qrv::ApplicationTitle()).c_str(), what.c_str());
}

[[nodiscard]] bool LoadedEverything() {
    const std::vector<std::u16string> missing = LoadGameResources();
    for (const std::u16string& url : missing) ReportStartFailure("could not load " + qrv::ToUtf8(url));
    return missing.empty();
}

// The window is the one thing a player must see: besides the error output, which nobody may
// read when the game was started from a desktop, a message box tells, where one can be shown.
void ReportNoWindow() {
    const std::string what = "could not open the game window: " + qrv::SDLFailureReason();
    ReportStartFailure(what);
    qrv::NotifyBox(qrv::FromUtf8(what), true);
}

}  // namespace

void InitGameModules() {
    // The game's loops pump once per pass themselves (input_wait.h).
    (void)qrv::SetPollBeforeQuery(false);
    qrv::InitPixmapModule();
    qrv::InitFreeTypeModule();
    qrv::InitRendererModules();
}

int StartUp() {
    RegisterGameFiles();
    InitGameModules();
    qrv::SetApplicationTitle(u"Tavika: ZORVAK v0.1.");
    qrv::SeedRandom(static_cast<int32_t>(qrv::MillisecondClock()));
    if (!qrv::OpenGraphicsWindow(WINDOW_SIZE, WINDOW_SIZE, 0, FRAME_RATE, 0)) {
        ReportNoWindow();
        return 1;
    }
    ShowWindowIcon();
    qrv::SetBlendMode(qrv::BLEND_ALPHA);
    qrv::SetDrawColor(0, 200, 0);
    if (!LoadedEverything()) return 1;
    ReadSettings();
    if (introFlag != 0) PlayIntroductionScene();
    spies = Grid{};
    finders = Grid{};
    marks = Grid{};
    nextSpyCount = FirstMissionSpyCount(difficulty);
    MainLoop();
    return 0;
}

}  // namespace zorvak
