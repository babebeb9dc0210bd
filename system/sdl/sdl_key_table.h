#pragma once

#include <SDL.h>

#include <cstdint>

namespace qrv {

// The virtual-key code (1..255) of the key at an SDL scancode, or 0 for a key without one.
int32_t VirtualKeyFromScancode(SDL_Scancode scancode);

// The modifier bits (1 Shift, 2 Control, 4 Alt, 8 system key) of an SDL modifier state.
int32_t ModifierBitsFromSDL(Uint16 sdlMods);

// The button number (1 left, 2 right, 3 middle) of an SDL button, or 0 for other buttons.
int32_t ButtonFromSDL(Uint8 sdlButton);

// The data of a MouseMove: 2 if the right button is held, else 4 if the middle, else 1 if the
// left, else 0.
int32_t HeldButtonDataFromSDL(Uint32 sdlButtonState);

}  // namespace qrv
