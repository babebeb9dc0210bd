#pragma once

#include <cstdint>

namespace qrv {

// Virtual-key codes the framework gives names to; every key code lies in 1..255.
inline constexpr int32_t KEY_BACKSPACE = 8;
inline constexpr int32_t KEY_TAB = 9;
inline constexpr int32_t KEY_ENTER = 13;
inline constexpr int32_t KEY_ESCAPE = 27;
inline constexpr int32_t KEY_SPACE = 32;
inline constexpr int32_t KEY_F1 = 112;
inline constexpr int32_t KEY_LEFT_SYSTEM = 91;
inline constexpr int32_t KEY_RIGHT_SYSTEM = 92;
inline constexpr int32_t KEY_LEFT_SHIFT = 160;
inline constexpr int32_t KEY_RIGHT_SHIFT = 161;
inline constexpr int32_t KEY_LEFT_CONTROL = 162;
inline constexpr int32_t KEY_RIGHT_CONTROL = 163;
inline constexpr int32_t KEY_LEFT_ALT = 164;
inline constexpr int32_t KEY_RIGHT_ALT = 165;

inline constexpr int32_t MOUSE_LEFT = 1;
inline constexpr int32_t MOUSE_RIGHT = 2;
inline constexpr int32_t MOUSE_MIDDLE = 3;

// The modifier bit (1 Shift, 2 Control, 4 Alt, 8 system key) a key code stands for, else 0.
constexpr int32_t ModifierBitOfKey(int32_t key) {
    switch (key) {
        case KEY_LEFT_SHIFT: case KEY_RIGHT_SHIFT: return 1;
        case KEY_LEFT_CONTROL: case KEY_RIGHT_CONTROL: return 2;
        case KEY_LEFT_ALT: case KEY_RIGHT_ALT: return 4;
        case KEY_LEFT_SYSTEM: case KEY_RIGHT_SYSTEM: return 8;
        default: return 0;
    }
}

// Keys whose press also types their control character (data of the KeyChar is the key code),
// so that Enter and Escape can answer "press any key that types a character".
constexpr bool KeyTypesControlChar(int32_t key) {
    return key == KEY_BACKSPACE || key == KEY_TAB || key == KEY_ENTER || key == KEY_ESCAPE;
}

}  // namespace qrv
