#pragma once

#include <cstdint>

namespace qrv {

// The key codes the input layer reports (KeyDown, KeyUp, KeyIsDown, KeyHitCount), one name for
// each; every key code lies in 1..255. Letters and digits are their upper-case characters.
inline constexpr int32_t KEY_BACKSPACE = 8;
inline constexpr int32_t KEY_TAB = 9;
// Both Enter keys, the main one and the keypad's.
inline constexpr int32_t KEY_ENTER = 13;
// Pause, Caps Lock, Escape, Space, and the navigation and editing keys.
inline constexpr int32_t KEY_PAUSE = 19;
inline constexpr int32_t KEY_CAPS_LOCK = 20;
inline constexpr int32_t KEY_ESCAPE = 27;
inline constexpr int32_t KEY_SPACE = 32;
inline constexpr int32_t KEY_PAGE_UP = 33;
inline constexpr int32_t KEY_PAGE_DOWN = 34;
inline constexpr int32_t KEY_END = 35;
inline constexpr int32_t KEY_HOME = 36;
inline constexpr int32_t KEY_LEFT = 37;
inline constexpr int32_t KEY_UP = 38;
inline constexpr int32_t KEY_RIGHT = 39;
inline constexpr int32_t KEY_DOWN = 40;
inline constexpr int32_t KEY_PRINT_SCREEN = 44;
inline constexpr int32_t KEY_INSERT = 45;
inline constexpr int32_t KEY_DELETE = 46;

// The digit keys of the main block, their characters '0'..'9'.
inline constexpr int32_t KEY_0 = 48;
inline constexpr int32_t KEY_1 = 49;
inline constexpr int32_t KEY_2 = 50;
inline constexpr int32_t KEY_3 = 51;
inline constexpr int32_t KEY_4 = 52;
inline constexpr int32_t KEY_5 = 53;
inline constexpr int32_t KEY_6 = 54;
inline constexpr int32_t KEY_7 = 55;
inline constexpr int32_t KEY_8 = 56;
inline constexpr int32_t KEY_9 = 57;

// The letter keys, their upper-case characters 'A'..'Z'.
inline constexpr int32_t KEY_A = 65;
inline constexpr int32_t KEY_B = 66;
inline constexpr int32_t KEY_C = 67;
inline constexpr int32_t KEY_D = 68;
inline constexpr int32_t KEY_E = 69;
inline constexpr int32_t KEY_F = 70;
inline constexpr int32_t KEY_G = 71;
inline constexpr int32_t KEY_H = 72;
inline constexpr int32_t KEY_I = 73;
inline constexpr int32_t KEY_J = 74;
inline constexpr int32_t KEY_K = 75;
inline constexpr int32_t KEY_L = 76;
inline constexpr int32_t KEY_M = 77;
inline constexpr int32_t KEY_N = 78;
inline constexpr int32_t KEY_O = 79;
inline constexpr int32_t KEY_P = 80;
inline constexpr int32_t KEY_Q = 81;
inline constexpr int32_t KEY_R = 82;
inline constexpr int32_t KEY_S = 83;
inline constexpr int32_t KEY_T = 84;
inline constexpr int32_t KEY_U = 85;
inline constexpr int32_t KEY_V = 86;
inline constexpr int32_t KEY_W = 87;
inline constexpr int32_t KEY_X = 88;
inline constexpr int32_t KEY_Y = 89;
inline constexpr int32_t KEY_Z = 90;

// The system keys on each side (Windows, Command or Super).
inline constexpr int32_t KEY_LEFT_SYSTEM = 91;
inline constexpr int32_t KEY_RIGHT_SYSTEM = 92;
// The context-menu key.
inline constexpr int32_t KEY_APPLICATION = 93;

// The keypad's digit keys, and its multiply and add keys.
inline constexpr int32_t KEY_NUMPAD_0 = 96;
inline constexpr int32_t KEY_NUMPAD_1 = 97;
inline constexpr int32_t KEY_NUMPAD_2 = 98;
inline constexpr int32_t KEY_NUMPAD_3 = 99;
inline constexpr int32_t KEY_NUMPAD_4 = 100;
inline constexpr int32_t KEY_NUMPAD_5 = 101;
inline constexpr int32_t KEY_NUMPAD_6 = 102;
inline constexpr int32_t KEY_NUMPAD_7 = 103;
inline constexpr int32_t KEY_NUMPAD_8 = 104;
inline constexpr int32_t KEY_NUMPAD_9 = 105;
inline constexpr int32_t KEY_NUMPAD_MULTIPLY = 106;
inline constexpr int32_t KEY_NUMPAD_ADD = 107;
// The keypad's comma, where a keyboard has one.
inline constexpr int32_t KEY_NUMPAD_SEPARATOR = 108;
// The keypad's other operator keys.
inline constexpr int32_t KEY_NUMPAD_SUBTRACT = 109;
inline constexpr int32_t KEY_NUMPAD_DECIMAL = 110;
inline constexpr int32_t KEY_NUMPAD_DIVIDE = 111;

// The function keys F1 to F24.
inline constexpr int32_t KEY_F1 = 112;
inline constexpr int32_t KEY_F2 = 113;
inline constexpr int32_t KEY_F3 = 114;
inline constexpr int32_t KEY_F4 = 115;
inline constexpr int32_t KEY_F5 = 116;
inline constexpr int32_t KEY_F6 = 117;
inline constexpr int32_t KEY_F7 = 118;
inline constexpr int32_t KEY_F8 = 119;
inline constexpr int32_t KEY_F9 = 120;
inline constexpr int32_t KEY_F10 = 121;
inline constexpr int32_t KEY_F11 = 122;
inline constexpr int32_t KEY_F12 = 123;
inline constexpr int32_t KEY_F13 = 124;
inline constexpr int32_t KEY_F14 = 125;
inline constexpr int32_t KEY_F15 = 126;
inline constexpr int32_t KEY_F16 = 127;
inline constexpr int32_t KEY_F17 = 128;
inline constexpr int32_t KEY_F18 = 129;
inline constexpr int32_t KEY_F19 = 130;
inline constexpr int32_t KEY_F20 = 131;
inline constexpr int32_t KEY_F21 = 132;
inline constexpr int32_t KEY_F22 = 133;
inline constexpr int32_t KEY_F23 = 134;
inline constexpr int32_t KEY_F24 = 135;

// The lock keys of the keypad and of scrolling.
inline constexpr int32_t KEY_NUM_LOCK = 144;
inline constexpr int32_t KEY_SCROLL_LOCK = 145;

// Each side's Shift, Control and Alt key on its own.
inline constexpr int32_t KEY_LEFT_SHIFT = 160;
inline constexpr int32_t KEY_RIGHT_SHIFT = 161;
inline constexpr int32_t KEY_LEFT_CONTROL = 162;
inline constexpr int32_t KEY_RIGHT_CONTROL = 163;
inline constexpr int32_t KEY_LEFT_ALT = 164;
inline constexpr int32_t KEY_RIGHT_ALT = 165;

// Punctuation keys, named after what they type on a US layout; they keep their place on others.
inline constexpr int32_t KEY_SEMICOLON = 186;
inline constexpr int32_t KEY_EQUALS = 187;
inline constexpr int32_t KEY_COMMA = 188;
inline constexpr int32_t KEY_MINUS = 189;
inline constexpr int32_t KEY_PERIOD = 190;
inline constexpr int32_t KEY_SLASH = 191;
inline constexpr int32_t KEY_GRAVE = 192;
inline constexpr int32_t KEY_LEFT_BRACKET = 219;
// Also the key beside Enter on ISO keyboards.
inline constexpr int32_t KEY_BACKSLASH = 220;
// The right bracket and apostrophe keys.
inline constexpr int32_t KEY_RIGHT_BRACKET = 221;
inline constexpr int32_t KEY_APOSTROPHE = 222;

// Mouse buttons, as MouseHitCount, MouseIsDown and the mouse events give them.
inline constexpr int32_t MOUSE_LEFT = 1;
inline constexpr int32_t MOUSE_RIGHT = 2;
inline constexpr int32_t MOUSE_MIDDLE = 3;

// Game pad buttons, as PadButtonHitCount, PadButtonIsDown and the pad button events give them:
// A, B, X and Y are the face buttons by their position (A below, B right, X left, Y above),
// Back, Guide and Start the middle ones, then the stick presses, the shoulder buttons and the
// d-pad.
inline constexpr int32_t PAD_BUTTON_A = 1;
inline constexpr int32_t PAD_BUTTON_B = 2;
inline constexpr int32_t PAD_BUTTON_X = 3;
inline constexpr int32_t PAD_BUTTON_Y = 4;
inline constexpr int32_t PAD_BUTTON_BACK = 5;
inline constexpr int32_t PAD_BUTTON_GUIDE = 6;
inline constexpr int32_t PAD_BUTTON_START = 7;
inline constexpr int32_t PAD_BUTTON_LEFT_STICK = 8;
inline constexpr int32_t PAD_BUTTON_RIGHT_STICK = 9;
inline constexpr int32_t PAD_BUTTON_LEFT_SHOULDER = 10;
inline constexpr int32_t PAD_BUTTON_RIGHT_SHOULDER = 11;
inline constexpr int32_t PAD_BUTTON_DPAD_UP = 12;
inline constexpr int32_t PAD_BUTTON_DPAD_DOWN = 13;
inline constexpr int32_t PAD_BUTTON_DPAD_LEFT = 14;
inline constexpr int32_t PAD_BUTTON_DPAD_RIGHT = 15;

// Game pad axes, as PadAxis and the pad axis events give them: the sticks (x grows to the
// right, y downward, as on the screen) and the analogue triggers.
inline constexpr int32_t PAD_AXIS_LEFT_X = 1;
inline constexpr int32_t PAD_AXIS_LEFT_Y = 2;
inline constexpr int32_t PAD_AXIS_RIGHT_X = 3;
inline constexpr int32_t PAD_AXIS_RIGHT_Y = 4;
inline constexpr int32_t PAD_AXIS_TRIGGER_LEFT = 5;
inline constexpr int32_t PAD_AXIS_TRIGGER_RIGHT = 6;

// The dead zone of PadAxis, a share of full scale: a position nearer the centre reads 0, one
// beyond it is rescaled so that the reading rises continuously from 0 at its edge to 1 at the
// stop. It hides the small offset a released stick keeps.
inline constexpr double PAD_DEAD_ZONE = 0.15;

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
