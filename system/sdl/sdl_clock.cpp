#include "system/sdl/sdl_clock.h"

#include <SDL.h>

#include <chrono>

namespace qrv {

uint32_t TSDLClock::Milliseconds() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

void TSDLClock::Delay(int32_t ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

}  // namespace qrv
