#include "game/startup.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/runtime.h"
#include "core/text.h"
#include "framework/framework.h"
#include "game/game.h"
#include "game/main_loop.h"
#include "game/missions.h"
#include "game/scenes.h"
#include "game/window_icon.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
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

[[nodiscard]] bool LoadedEverything(TGameResources& resources) {
    const std::vector<std::u16string> missing = LoadGameResources(resources);
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
    qrv::InitFramework();
    // The game's loops pump once per pass themselves (input_wait.h).
    (void)qrv::SetPollBeforeQuery(false);
    RegisterGameFiles();
}

int StartUp(TGame& game) {
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
    if (!LoadedEverything(game.resources)) return 1;
    game.settings = ReadSettings();
    if (game.settings.introFlag != 0) PlayIntroductionScene(game);
    game.board.nextSpyCount = FirstMissionSpyCount(game.settings.difficulty);
    MainLoop(game);
    return 0;
}

}  // namespace zorvak
