#include "system/sdl/sdl_clock.h"

#include <SDL.h>

namespace qrv {

uint32_t TSDLClock::Milliseconds() {
    return SDL_GetTicks();
}

void TSDLClock::Delay(int32_t ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

}  // namespace qrv
