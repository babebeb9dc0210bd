#include "system/sdl/sdl_key_table.h"

#include <array>

namespace qrv {
namespace {

struct TScancodeRange {
    SDL_Scancode first;
    SDL_Scancode last;
    int32_t firstKey;
};

constexpr TScancodeRange kRanges[] = {
    {SDL_SCANCODE_A, SDL_SCANCODE_Z, 65},
    {SDL_SCANCODE_1, SDL_SCANCODE_9, 49},
    {SDL_SCANCODE_0, SDL_SCANCODE_0, 48},
    {SDL_SCANCODE_F1, SDL_SCANCODE_F12, 112},
    {SDL_SCANCODE_F13, SDL_SCANCODE_F24, 124},
    {SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_9, 97},
    {SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_0, 96},
};

struct TScancodeKey {
    SDL_Scancode scancode;
    int32_t key;
};

constexpr TScancodeKey kSingles[] = {
    {SDL_SCANCODE_RETURN, 13}, {SDL_SCANCODE_ESCAPE, 27}, {SDL_SCANCODE_BACKSPACE, 8},
    {SDL_SCANCODE_TAB, 9}, {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_MINUS, 189}, {SDL_SCANCODE_EQUALS, 187}, {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_BACKSLASH, 220}, {SDL_SCANCODE_NONUSHASH, 220},
    {SDL_SCANCODE_SEMICOLON, 186}, {SDL_SCANCODE_APOSTROPHE, 222}, {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_COMMA, 188}, {SDL_SCANCODE_PERIOD, 190}, {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_CAPSLOCK, 20}, {SDL_SCANCODE_PRINTSCREEN, 44}, {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_PAUSE, 19}, {SDL_SCANCODE_INSERT, 45}, {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_PAGEUP, 33}, {SDL_SCANCODE_DELETE, 46}, {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_PAGEDOWN, 34}, {SDL_SCANCODE_RIGHT, 39}, {SDL_SCANCODE_LEFT, 37},
    {SDL_SCANCODE_DOWN, 40}, {SDL_SCANCODE_UP, 38}, {SDL_SCANCODE_NUMLOCKCLEAR, 144},
    {SDL_SCANCODE_KP_DIVIDE, 111}, {SDL_SCANCODE_KP_MULTIPLY, 106}, {SDL_SCANCODE_KP_MINUS, 109},
    {SDL_SCANCODE_KP_PLUS, 107}, {SDL_SCANCODE_KP_ENTER, 13}, {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_COMMA, 108}, {SDL_SCANCODE_APPLICATION, 93},
    {SDL_SCANCODE_LCTRL, 162}, {SDL_SCANCODE_LSHIFT, 160}, {SDL_SCANCODE_LALT, 164},
    {SDL_SCANCODE_LGUI, 91}, {SDL_SCANCODE_RCTRL, 163}, {SDL_SCANCODE_RSHIFT, 161},
    {SDL_SCANCODE_RALT, 165}, {SDL_SCANCODE_RGUI, 92},
};

using TKeyTable = std::array<uint8_t, SDL_NUM_SCANCODES>;

constexpr TKeyTable BuildKeyTable() {
    TKeyTable table{};
    for (const auto& range : kRanges)
        for (int s = range.first; s <= range.last; ++s)
            table[s] = static_cast<uint8_t>(range.firstKey + (s - range.first));
    for (const auto& single : kSingles) table[single.scancode] = static_cast<uint8_t>(single.key);
    return table;
}

constexpr TKeyTable kKeyTable = BuildKeyTable();

}  // namespace

int32_t VirtualKeyFromScancode(SDL_Scancode scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
    return kKeyTable[scancode];
}

int32_t ModifierBitsFromSDL(Uint16 sdlMods) {
    int32_t bits = 0;
    if (sdlMods & KMOD_SHIFT) bits |= 1;
    if (sdlMods & KMOD_CTRL) bits |= 2;
    if (sdlMods & KMOD_ALT) bits |= 4;
    if (sdlMods & KMOD_GUI) bits |= 8;
    return bits;
}

int32_t ButtonFromSDL(Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 1;
        case SDL_BUTTON_RIGHT: return 2;
        case SDL_BUTTON_MIDDLE: return 3;
        default: return 0;
    }
}

int32_t HeldButtonDataFromSDL(Uint32 sdlButtonState) {
    if (sdlButtonState & SDL_BUTTON_RMASK) return 2;
    if (sdlButtonState & SDL_BUTTON_MMASK) return 4;
    if (sdlButtonState & SDL_BUTTON_LMASK) return 1;
    return 0;
}

}  // namespace qrv
