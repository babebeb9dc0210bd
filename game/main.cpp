#include <cstdint>
#include <cstdio>

#include "core/runtime.h"
#include "game/board.h"
#include "game/board_text.h"
#include "game/settings.h"
#include "stream/stream_module.h"
#include "system/clock.h"
#include "system/random.h"

// Until the game window exists the program starts one mission and prints its board.
int main() {
    qrv::StartRuntime();
    qrv::InitStreamModule();
    zorvak::ReadSettings();
    const int32_t extraSpies = zorvak::difficulty >= 0 && zorvak::difficulty <= 2 ? zorvak::difficulty : 2;
    zorvak::nextSpyCount = 3 + extraSpies;
    qrv::SeedRandom(static_cast<int32_t>(qrv::MillisecondClock()));
    zorvak::NewMission(zorvak::nextSpyCount);
    zorvak::ComputeFinderCounts();
    std::printf("Tavika: ZORVAK v0.1. - a new mission with %d spies\n\n%s", zorvak::nextSpyCount,
                zorvak::BoardText().c_str());
    return 0;
}
