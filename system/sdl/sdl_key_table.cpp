#include "system/sdl/sdl_key_table.h"

#include <array>

#include "system/keys.h"

namespace qrv {
namespace {

struct TScancodeRange {
    SDL_Scancode first;
    SDL_Scancode last;
    int32_t firstKey;
};

constexpr TScancodeRange kRanges[] = {
    {SDL_SCANCODE_A, SDL_SCANCODE_Z, KEY_A},
    {SDL_SCANCODE_1, SDL_SCANCODE_9, KEY_1},
    {SDL_SCANCODE_0, SDL_SCANCODE_0, KEY_0},
    {SDL_SCANCODE_F1, SDL_SCANCODE_F12, KEY_F1},
    {SDL_SCANCODE_F13, SDL_SCANCODE_F24, KEY_F13},
    {SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_9, KEY_NUMPAD_1},
    {SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_0, KEY_NUMPAD_0},
};

struct TScancodeKey {
    SDL_Scancode scancode;
    int32_t key;
};

constexpr TScancodeKey kSingles[] = {
    {SDL_SCANCODE_RETURN, KEY_ENTER}, {SDL_SCANCODE_ESCAPE, KEY_ESCAPE},
    {SDL_SCANCODE_BACKSPACE, KEY_BACKSPACE}, {SDL_SCANCODE_TAB, KEY_TAB},
    {SDL_SCANCODE_SPACE, KEY_SPACE}, {SDL_SCANCODE_MINUS, KEY_MINUS},
    {SDL_SCANCODE_EQUALS, KEY_EQUALS}, {SDL_SCANCODE_LEFTBRACKET, KEY_LEFT_BRACKET},
    {SDL_SCANCODE_RIGHTBRACKET, KEY_RIGHT_BRACKET}, {SDL_SCANCODE_BACKSLASH, KEY_BACKSLASH},
    {SDL_SCANCODE_NONUSHASH, KEY_BACKSLASH}, {SDL_SCANCODE_SEMICOLON, KEY_SEMICOLON},
    {SDL_SCANCODE_APOSTROPHE, KEY_APOSTROPHE}, {SDL_SCANCODE_GRAVE, KEY_GRAVE},
    {SDL_SCANCODE_COMMA, KEY_COMMA}, {SDL_SCANCODE_PERIOD, KEY_PERIOD},
    {SDL_SCANCODE_SLASH, KEY_SLASH}, {SDL_SCANCODE_CAPSLOCK, KEY_CAPS_LOCK},
    {SDL_SCANCODE_PRINTSCREEN, KEY_PRINT_SCREEN}, {SDL_SCANCODE_SCROLLLOCK, KEY_SCROLL_LOCK},
    {SDL_SCANCODE_PAUSE, KEY_PAUSE}, {SDL_SCANCODE_INSERT, KEY_INSERT},
    {SDL_SCANCODE_HOME, KEY_HOME}, {SDL_SCANCODE_PAGEUP, KEY_PAGE_UP},
    {SDL_SCANCODE_DELETE, KEY_DELETE}, {SDL_SCANCODE_END, KEY_END},
    {SDL_SCANCODE_PAGEDOWN, KEY_PAGE_DOWN}, {SDL_SCANCODE_RIGHT, KEY_RIGHT},
    {SDL_SCANCODE_LEFT, KEY_LEFT}, {SDL_SCANCODE_DOWN, KEY_DOWN}, {SDL_SCANCODE_UP, KEY_UP},
    {SDL_SCANCODE_NUMLOCKCLEAR, KEY_NUM_LOCK}, {SDL_SCANCODE_KP_DIVIDE, KEY_NUMPAD_DIVIDE},
    {SDL_SCANCODE_KP_MULTIPLY, KEY_NUMPAD_MULTIPLY}, {SDL_SCANCODE_KP_MINUS, KEY_NUMPAD_SUBTRACT},
    {SDL_SCANCODE_KP_PLUS, KEY_NUMPAD_ADD}, {SDL_SCANCODE_KP_ENTER, KEY_ENTER},
    {SDL_SCANCODE_KP_PERIOD, KEY_NUMPAD_DECIMAL}, {SDL_SCANCODE_KP_COMMA, KEY_NUMPAD_SEPARATOR},
    {SDL_SCANCODE_APPLICATION, KEY_APPLICATION}, {SDL_SCANCODE_LCTRL, KEY_LEFT_CONTROL},
    {SDL_SCANCODE_LSHIFT, KEY_LEFT_SHIFT}, {SDL_SCANCODE_LALT, KEY_LEFT_ALT},
    {SDL_SCANCODE_LGUI, KEY_LEFT_SYSTEM}, {SDL_SCANCODE_RCTRL, KEY_RIGHT_CONTROL},
    {SDL_SCANCODE_RSHIFT, KEY_RIGHT_SHIFT}, {SDL_SCANCODE_RALT, KEY_RIGHT_ALT},
    {SDL_SCANCODE_RGUI, KEY_RIGHT_SYSTEM},
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
