#include <chrono>
#include <cstdint>
#include <cstdio>

#include "game/board.h"
#include "game/board_text.h"
#include "system/random.h"

// Until the game window exists the program starts one mission and prints its board.
int main() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    qrv::SeedRandom(static_cast<int32_t>(static_cast<uint32_t>(millis)));
    zorvak::NewMission(zorvak::nextSpyCount);
    zorvak::ComputeFinderCounts();
    std::printf("Tavika: ZORVAK v0.1. - a new mission with %d spies\n\n%s", zorvak::nextSpyCount,
                zorvak::BoardText().c_str());
    return 0;
}
