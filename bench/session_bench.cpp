// A long session: 210 missions played in-process on the board, each judged and followed by its
// scene (verdict fade, reveal, story lines, the portrait's cross-fade), with a scripted player on
// virtual time in a real window. Reports the process's memory after the first 10 missions, after
// 110 and after all 210: a session must not grow.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "game/game.h"
#include "game/main_loop.h"
#include "game/missions.h"
#include "game/startup.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/hook.h"
#include "system/keys.h"
#include "system/scripted_system_driver.h"

namespace {

using namespace qrv;
using namespace zorvak;

constexpr int WARM_UP_MISSIONS = 10;
constexpr int MEASURED_MISSIONS = 200;
constexpr uint32_t ANSWER_DELAY = 40;  // how long the player takes to answer what waits
constexpr uint32_t CLICK_GAP = 50;
constexpr int BUTTON_X = 300, BUTTON_Y = 480;

double StatusMiB(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    double kib = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, std::strlen(field)) == 0) kib = std::atof(line + std::strlen(field) + 1);
    std::fclose(status);
    return kib / 1024;
}

double HeapInUseMiB() {
    return static_cast<double>(mallinfo2().uordblks) / (1024 * 1024);
}

// The player: answers whatever the game waits for with a typed Enter a little after the game
// starts to sleep with nothing scripted, and plays every new board as it appears: marks the
// spies and submits (two of three boards), or submits it unmarked (every third).
class TSessionPlayer final : public TClock {
public:
    TSessionPlayer(Ref<TClock> time, TScriptedSystemDriver& script, const TGame& game)
        : time(std::move(time)), script(script), game(game) {}

    uint32_t Milliseconds() override { return time->Milliseconds(); }
    void Delay(int32_t ms) override {
        AnswerIfIdle();
        time->Delay(ms);
    }
    void DelayUntil(uint32_t deadline) override {
        AnswerIfIdle();
        time->DelayUntil(deadline);
    }

    // Called at every present: a board not seen before is played.
    void OnPresent() {
        if (game.board.spies == lastSpies) return;
        lastSpies = game.board.spies;
        ++boards;
        const int level = game.resources.portrait->level;
        if (level != lastLevel) ++levelChanges;  // each came with a cross-fade
        lastLevel = level;
        if (boards == WARM_UP_MISSIONS + 1) TakeReading(afterWarmUp);
        if (boards == WARM_UP_MISSIONS + MEASURED_MISSIONS / 2 + 1) TakeReading(halfway);
        if (boards == WARM_UP_MISSIONS + MEASURED_MISSIONS + 1) {
            TakeReading(atEnd);
            script.TapKey(KEY_ESCAPE, Milliseconds() + CLICK_GAP);
            return;
        }
        PlayBoard(boards % 3 != 0);
    }

    struct TReading {
        double rss = 0, heap = 0;
    };
    TReading afterWarmUp, halfway, atEnd;
    int boards = 0;
    int levelChanges = 0;

private:
    void AnswerIfIdle() {
        if (script.PendingEventCount() == 0) script.TypeText(u"\r", Milliseconds() + ANSWER_DELAY);
    }

    void PlayBoard(bool solve) {
        uint32_t at = Milliseconds();
        if (solve) {
            for (int c = 0; c < BOARD_SIZE; ++c)
                for (int r = 0; r < BOARD_SIZE; ++r)
                    if (game.board.spies[c][r] == 1)
                        script.Click(BOARD_LEFT + CELL_SIZE * c + CELL_SIZE / 2,
                                     BOARD_TOP + CELL_SIZE * r + CELL_SIZE / 2, at += CLICK_GAP, MOUSE_RIGHT);
        }
        script.Click(BUTTON_X, BUTTON_Y, at += CLICK_GAP);
        script.Click(BUTTON_X, BUTTON_Y, at += CLICK_GAP);
    }

    static void TakeReading(TReading& reading) {
        malloc_trim(0);
        reading = {StatusMiB("VmRSS"), HeapInUseMiB()};
    }

    Ref<TClock> time;
    TScriptedSystemDriver& script;
    const TGame& game;
    Grid lastSpies{};
    int lastLevel = 0;
};

class TPlayerToken final : public TObject {
public:
    explicit TPlayerToken(TSessionPlayer* player) : player(player) {}
    TSessionPlayer* player;
};

Ref<TObject> OnPresent(int32_t, Ref<TObject> data, Ref<TObject> context) {
    std::static_pointer_cast<TPlayerToken>(context)->player->OnPresent();
    return data;
}

void BM_LongSession(benchmark::State& state) {
    InitGameModules();
    SetApplicationTitle(u"Zorvak session");
    TScriptedSession session(1000);
    TGame game;
    auto player = std::make_shared<TSessionPlayer>(CurrentClock(), session.Driver(), game);
    SetClock(player);
    if (!OpenGraphicsWindow(512, 512, 0, 50, 0)) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    SetBlendMode(BLEND_ALPHA);
    SetDrawColor(0, 200, 0);
    if (!LoadGameResources(game.resources).empty()) {
        state.SkipWithError("the game's resources did not load");
        return;
    }
    game.settings.difficulty = 1;
    game.board.nextSpyCount = FirstMissionSpyCount(game.settings.difficulty);
    const auto token = std::make_shared<TPlayerToken>(player.get());
    InstallHook(presentHookId, OnPresent, token);
    for (auto _ : state) MainLoop(game);
    UninstallHook(presentHookId, OnPresent, token);
    CloseGraphicsWindow();

    state.counters["missions"] = player->boards - 1;
    state.counters["cross_fades"] = player->levelChanges;
    state.counters["rss_after_10_MiB"] = player->afterWarmUp.rss;
    state.counters["rss_after_110_MiB"] = player->halfway.rss;
    state.counters["rss_after_210_MiB"] = player->atEnd.rss;
    state.counters["rss_growth_MiB"] = player->atEnd.rss - player->afterWarmUp.rss;
    state.counters["heap_after_10_MiB"] = player->afterWarmUp.heap;
    state.counters["heap_after_110_MiB"] = player->halfway.heap;
    state.counters["heap_after_210_MiB"] = player->atEnd.heap;
    state.counters["heap_growth_MiB"] = player->atEnd.heap - player->afterWarmUp.heap;
}
BENCHMARK(BM_LongSession)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
