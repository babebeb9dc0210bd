#include "system/sdl/sdl_system_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "event_recorder.h"
#include "system/event.h"
#include "system/clock.h"
#include "system/input.h"
#include "system/keys.h"
#include "system/sdl/sdl_key_table.h"

namespace {

using qrv::test::TRecording;
using TRecorded = qrv::test::TEventRecorder::TRecorded;

// Events go through SDL's real queue: pushed, then taken by the driver's poll.
class SDLDriver : public testing::Test {
protected:
    void SetUp() override {
        previous = qrv::SetSystemDriver(driver);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override { qrv::SetSystemDriver(previous); }

    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

    static void Key(Uint32 type, SDL_Scancode scancode, Uint16 mods, bool repeat = false) {
        SDL_Event event{};
        event.type = type;
        event.key.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mods;
        Push(event);
    }
    static void Text(const char* utf8) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        SDL_strlcpy(event.text.text, utf8, sizeof event.text.text);
        Push(event);
    }
    static void Button(Uint32 type, Uint8 button, int x, int y) {
        SDL_Event event{};
        event.type = type;
        event.button.type = type;
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        Push(event);
    }
    static void Wheel(int y, float preciseY, int x = 0, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.x = x;
        event.wheel.y = y;
        event.wheel.preciseX = static_cast<float>(x);
        event.wheel.preciseY = preciseY;
        event.wheel.direction = direction;
        Push(event);
    }
    static void Window(Uint8 what, Uint32 windowId) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.windowID = windowId;
        Push(event);
    }
    static void Motion(Uint32 windowId, int x, int y, Uint32 buttons = 0) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = windowId;
        event.motion.x = x;
        event.motion.y = y;
        event.motion.state = buttons;
        Push(event);
    }

    std::shared_ptr<qrv::TSDLSystemDriver> driver = std::make_shared<qrv::TSDLSystemDriver>();
    qrv::Ref<qrv::TSystemDriver> previous;
};

TEST(SDLKeyTable, ScancodesGiveVirtualKeyCodes) {
    const std::pair<SDL_Scancode, int32_t> expected[] = {
        {SDL_SCANCODE_A, 65}, {SDL_SCANCODE_Z, 90}, {SDL_SCANCODE_0, 48}, {SDL_SCANCODE_1, 49},
        {SDL_SCANCODE_9, 57}, {SDL_SCANCODE_F1, 112}, {SDL_SCANCODE_F12, 123},
        {SDL_SCANCODE_F13, 124}, {SDL_SCANCODE_F24, 135}, {SDL_SCANCODE_ESCAPE, 27},
        {SDL_SCANCODE_SPACE, 32}, {SDL_SCANCODE_RETURN, 13}, {SDL_SCANCODE_KP_ENTER, 13},
        {SDL_SCANCODE_TAB, 9}, {SDL_SCANCODE_BACKSPACE, 8}, {SDL_SCANCODE_LEFT, 37},
        {SDL_SCANCODE_UP, 38}, {SDL_SCANCODE_RIGHT, 39}, {SDL_SCANCODE_DOWN, 40},
        {SDL_SCANCODE_KP_0, 96}, {SDL_SCANCODE_KP_9, 105}, {SDL_SCANCODE_KP_DIVIDE, 111},
        {SDL_SCANCODE_SEMICOLON, 186}, {SDL_SCANCODE_GRAVE, 192}, {SDL_SCANCODE_LEFTBRACKET, 219},
        {SDL_SCANCODE_APOSTROPHE, 222}, {SDL_SCANCODE_LSHIFT, 160}, {SDL_SCANCODE_RSHIFT, 161},
        {SDL_SCANCODE_LCTRL, 162}, {SDL_SCANCODE_RCTRL, 163}, {SDL_SCANCODE_LALT, 164},
        {SDL_SCANCODE_RALT, 165}, {SDL_SCANCODE_LGUI, 91}, {SDL_SCANCODE_RGUI, 92},
        {SDL_SCANCODE_APPLICATION, 93}, {SDL_SCANCODE_SCROLLLOCK, 145},
        {SDL_SCANCODE_UNKNOWN, 0}, {SDL_SCANCODE_MUTE, 0}, {SDL_NUM_SCANCODES, 0}};
    for (const auto& [scancode, key] : expected)
        EXPECT_EQ(qrv::VirtualKeyFromScancode(scancode), key) << SDL_GetScancodeName(scancode);
}

// Every key code the table reports has a name in keys.h; the names of the runs (letters, digits,
// function and keypad keys) follow each other.
TEST(SDLKeyTable, EveryReportedKeyHasAName) {
    static_assert(qrv::KEY_Z - qrv::KEY_A == 25 && qrv::KEY_9 - qrv::KEY_0 == 9);
    static_assert(qrv::KEY_F24 - qrv::KEY_F1 == 23 && qrv::KEY_NUMPAD_9 - qrv::KEY_NUMPAD_0 == 9);
    std::set<int32_t> named = {
        qrv::KEY_BACKSPACE, qrv::KEY_TAB, qrv::KEY_ENTER, qrv::KEY_PAUSE, qrv::KEY_CAPS_LOCK,
        qrv::KEY_ESCAPE, qrv::KEY_SPACE, qrv::KEY_PAGE_UP, qrv::KEY_PAGE_DOWN, qrv::KEY_END,
        qrv::KEY_HOME, qrv::KEY_LEFT, qrv::KEY_UP, qrv::KEY_RIGHT, qrv::KEY_DOWN,
        qrv::KEY_PRINT_SCREEN, qrv::KEY_INSERT, qrv::KEY_DELETE, qrv::KEY_LEFT_SYSTEM,
        qrv::KEY_RIGHT_SYSTEM, qrv::KEY_APPLICATION, qrv::KEY_NUMPAD_MULTIPLY, qrv::KEY_NUMPAD_ADD,
        qrv::KEY_NUMPAD_SEPARATOR, qrv::KEY_NUMPAD_SUBTRACT, qrv::KEY_NUMPAD_DECIMAL,
        qrv::KEY_NUMPAD_DIVIDE, qrv::KEY_NUM_LOCK, qrv::KEY_SCROLL_LOCK, qrv::KEY_LEFT_SHIFT,
        qrv::KEY_RIGHT_SHIFT, qrv::KEY_LEFT_CONTROL, qrv::KEY_RIGHT_CONTROL, qrv::KEY_LEFT_ALT,
        qrv::KEY_RIGHT_ALT, qrv::KEY_SEMICOLON, qrv::KEY_EQUALS, qrv::KEY_COMMA, qrv::KEY_MINUS,
        qrv::KEY_PERIOD, qrv::KEY_SLASH, qrv::KEY_GRAVE, qrv::KEY_LEFT_BRACKET, qrv::KEY_BACKSLASH,
        qrv::KEY_RIGHT_BRACKET, qrv::KEY_APOSTROPHE};
    for (int32_t key = qrv::KEY_A; key <= qrv::KEY_Z; ++key) named.insert(key);
    for (int32_t key = qrv::KEY_0; key <= qrv::KEY_9; ++key) named.insert(key);
    for (int32_t key = qrv::KEY_F1; key <= qrv::KEY_F24; ++key) named.insert(key);
    for (int32_t key = qrv::KEY_NUMPAD_0; key <= qrv::KEY_NUMPAD_9; ++key) named.insert(key);
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const int32_t key = qrv::VirtualKeyFromScancode(static_cast<SDL_Scancode>(scancode));
        if (key == 0) continue;
        EXPECT_TRUE(named.contains(key))
            << SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode)) << " gives " << key;
    }
}

TEST_F(SDLDriver, ModifierKeysCarryTheStateAfterTheirOwnEvent) {
    TRecording recording;
    Key(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3, 4);
    Key(SDL_KEYDOWN, SDL_SCANCODE_RCTRL, KMOD_LSHIFT | KMOD_RCTRL);
    Key(SDL_KEYDOWN, SDL_SCANCODE_RALT, KMOD_LSHIFT | KMOD_RCTRL | KMOD_RALT | KMOD_NUM);
    Key(SDL_KEYUP, SDL_SCANCODE_LSHIFT, KMOD_RCTRL | KMOD_RALT);
    Key(SDL_KEYDOWN, SDL_SCANCODE_RGUI, KMOD_RCTRL | KMOD_RALT | KMOD_RGUI);
    qrv::PumpMessages();
    const std::vector<TRecorded> expected = {
        {qrv::EVENT_KEYDOWN, 160, 1, 0, 0}, {qrv::EVENT_MOUSEDOWN, 1, 1, 3, 4},
        {qrv::EVENT_KEYDOWN, 163, 3, 0, 0}, {qrv::EVENT_KEYDOWN, 165, 7, 0, 0},
        {qrv::EVENT_KEYUP, 160, 6, 0, 0},   {qrv::EVENT_KEYDOWN, 92, 14, 0, 0}};
    EXPECT_EQ(recording->events, expected) << recording->Describe();
}

TEST_F(SDLDriver, AHeldKeyGivesOneDownThenRepeatsThenOneUp) {
    TRecording recording;
    Key(SDL_KEYDOWN, SDL_SCANCODE_X, 0);
    Key(SDL_KEYDOWN, SDL_SCANCODE_X, 0, true);
    Key(SDL_KEYDOWN, SDL_SCANCODE_X, 0, true);
    Key(SDL_KEYUP, SDL_SCANCODE_X, 0);
    Key(SDL_KEYDOWN, SDL_SCANCODE_MUTE, 0);  // no code: no event
    qrv::PumpMessages();
    EXPECT_EQ(recording->Ids(), (std::vector<int32_t>{qrv::EVENT_KEYDOWN, qrv::EVENT_KEYREPEAT,
                                                      qrv::EVENT_KEYREPEAT, qrv::EVENT_KEYUP}));
}

TEST_F(SDLDriver, ControlKeysTypeTheirCharacterOnEveryPressAndRepeat) {
    TRecording recording;
    Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, 0);
    Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, 0, true);
    Key(SDL_KEYUP, SDL_SCANCODE_ESCAPE, 0);
    Key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, 0);
    Key(SDL_KEYDOWN, SDL_SCANCODE_TAB, 0);
    Key(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, 0);
    Key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, 0);  // types through text input, not here
    qrv::PumpMessages();
    const std::vector<TRecorded> expected = {
        {qrv::EVENT_KEYDOWN, 27, 0, 0, 0}, {qrv::EVENT_KEYCHAR, 27, 0, 0, 0},
        {qrv::EVENT_KEYREPEAT, 27, 0, 0, 0}, {qrv::EVENT_KEYCHAR, 27, 0, 0, 0},
        {qrv::EVENT_KEYUP, 27, 0, 0, 0}, {qrv::EVENT_KEYDOWN, 13, 0, 0, 0},
        {qrv::EVENT_KEYCHAR, 13, 0, 0, 0}, {qrv::EVENT_KEYDOWN, 9, 0, 0, 0},
        {qrv::EVENT_KEYCHAR, 9, 0, 0, 0}, {qrv::EVENT_KEYDOWN, 8, 0, 0, 0},
        {qrv::EVENT_KEYCHAR, 8, 0, 0, 0}, {qrv::EVENT_KEYDOWN, 32, 0, 0, 0}};
    EXPECT_EQ(recording->events, expected) << recording->Describe();
}

TEST_F(SDLDriver, TextInputGivesOneCharacterPerUtf16Unit) {
    TRecording recording;
    Text("жA");
    Text("\xF0\x9F\x99\x82");  // U+1F642, a surrogate pair
    qrv::PumpMessages();
    std::vector<int32_t> characters;
    for (const auto& event : recording->OfId(qrv::EVENT_KEYCHAR)) characters.push_back(event.data);
    EXPECT_EQ(characters, (std::vector<int32_t>{0x436, 'A', 0xD83D, 0xDE42}));
    EXPECT_EQ(recording->events.size(), 4u);
}

TEST_F(SDLDriver, ButtonsAreNumberedLeftRightMiddle) {
    TRecording recording;
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 11, 21);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, -5, 22);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 1);  // no number: no event
    Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 12, 23);
    qrv::PumpMessages();
    const std::vector<TRecorded> expected = {
        {qrv::EVENT_MOUSEDOWN, 1, 0, 10, 20}, {qrv::EVENT_MOUSEDOWN, 2, 0, 11, 21},
        {qrv::EVENT_MOUSEDOWN, 3, 0, -5, 22}, {qrv::EVENT_MOUSEUP, 2, 0, 12, 23}};
    EXPECT_EQ(recording->events, expected) << recording->Describe();
}

TEST_F(SDLDriver, MouseMoveDataNamesTheHeldButtonRightBeforeMiddleBeforeLeft) {
    TRecording recording;
    Motion(0, 1, 1, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK | SDL_BUTTON_RMASK);
    Motion(0, 1, 1, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK);
    Motion(0, 1, 1, SDL_BUTTON_LMASK);
    Motion(0, 1, 1, 0);
    qrv::PumpMessages();
    std::vector<int32_t> data;
    for (const auto& event : recording->OfId(qrv::EVENT_MOUSEMOVE)) data.push_back(event.data);
    EXPECT_EQ(data, (std::vector<int32_t>{2, 4, 1, 0}));
}

TEST_F(SDLDriver, WheelStepsAreWholeNotchesAwayFromTheUserPositive) {
    TRecording recording;
    Wheel(1, 1.0f);
    Wheel(-1, -1.0f);
    Wheel(-2, -2.0f, 0, SDL_MOUSEWHEEL_FLIPPED);
    Wheel(0, 0.5f);   // half a notch (a high-resolution delta of 60)
    Wheel(0, 0.0f, 3);  // horizontal only: no event
    qrv::PumpMessages();
    std::vector<int32_t> data;
    for (const auto& event : recording->events) data.push_back(event.data);
    EXPECT_EQ(data, (std::vector<int32_t>{1, -1, 2, 0}));
    EXPECT_EQ(recording->OfId(qrv::EVENT_MOUSEWHEEL).size(), 4u);
}

TEST_F(SDLDriver, FocusAndCloseBecomeApplicationEvents) {
    TRecording recording;
    Window(SDL_WINDOWEVENT_FOCUS_GAINED, 7);
    qrv::PumpMessages();
    EXPECT_EQ(driver->FocusedWindowId(), 7u);
    Window(SDL_WINDOWEVENT_FOCUS_LOST, 7);
    Window(SDL_WINDOWEVENT_CLOSE, 7);
    Window(SDL_WINDOWEVENT_MOVED, 7);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    qrv::PumpMessages();
    EXPECT_EQ(driver->FocusedWindowId(), 0u);
    EXPECT_EQ(recording->Ids(), (std::vector<int32_t>{qrv::EVENT_APPRESUME, qrv::EVENT_APPSUSPEND,
                                                      qrv::EVENT_APPTERMINATE,
                                                      qrv::EVENT_APPTERMINATE}));
}

TEST_F(SDLDriver, ListenersSeeEachSDLEventAfterItsEvents) {
    TRecording recording;
    std::vector<std::pair<Uint32, size_t>> seen;  // SDL type, TEvents emitted by then
    const int id = driver->AddEventListener([&](const SDL_Event& event) {
        seen.emplace_back(event.type, recording->events.size());
    });
    Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, 0);
    qrv::PumpMessages();
    driver->RemoveEventListener(id);
    Key(SDL_KEYUP, SDL_SCANCODE_RETURN, 0);
    qrv::PumpMessages();
    EXPECT_EQ(seen, (std::vector<std::pair<Uint32, size_t>>{{SDL_KEYDOWN, 2}}));
}

TEST_F(SDLDriver, PolledInputFollowsTheQueue) {
    qrv::StartInputPolling();
    Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, 0);
    Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 6);
    Motion(0, 70, 80);
    EXPECT_EQ(qrv::KeyHitCount(27), 1);
    EXPECT_EQ(qrv::NextTypedChar(), 27);
    EXPECT_EQ(qrv::MouseHitCount(2), 1);
    EXPECT_EQ(qrv::MouseXPos(), 70);
    qrv::StopInputPolling();
}

TEST_F(SDLDriver, WaitUntilReturnsAtTheDeadlineOrAtOnceForAPendingEvent) {
    qrv::StartInputPolling();
    const uint32_t start = qrv::MillisecondClock();
    qrv::WaitForMessagesUntil(start + 30);
    EXPECT_GE(qrv::MillisecondClock() - start, 30u);

    Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, 0);
    const uint32_t before = qrv::MillisecondClock();
    qrv::WaitForMessagesUntil(before + 5000);
    EXPECT_LT(qrv::MillisecondClock() - before, 1000u);
    const bool previous = qrv::SetPollBeforeQuery(false);
    EXPECT_EQ(qrv::KeyHitCount(27), 1) << "the wait delivered the event";
    qrv::SetPollBeforeQuery(previous);
    qrv::StopInputPolling();
}

// Pointer tracking needs real windows for their sizes; they stay hidden.
class SDLDriverWindows : public SDLDriver {
protected:
    void SetUp() override {
#ifdef __EMSCRIPTEN__
        GTEST_SKIP() << "under node there is no page for SDL to make windows in";
#endif
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no display: " << SDL_GetError();
        window = SDL_CreateWindow("tracking", 0, 0, 100, 80, SDL_WINDOW_HIDDEN);
        other = SDL_CreateWindow("other", 200, 0, 50, 50, SDL_WINDOW_HIDDEN);
        ASSERT_TRUE(window && other) << SDL_GetError();
        SDLDriver::SetUp();
    }
    void TearDown() override {
        if (window) SDL_DestroyWindow(window);
        if (other) SDL_DestroyWindow(other);
        if (SDL_WasInit(SDL_INIT_VIDEO)) {
            SDLDriver::TearDown();
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }
    SDL_Window* window = nullptr;
    SDL_Window* other = nullptr;
};

TEST_F(SDLDriverWindows, ThePointerEntersAndLeavesOnceEach) {
    const Uint32 id = SDL_GetWindowID(window);
    TRecording recording;
    Motion(id, 10, 10);
    Motion(id, 99, 79);
    Motion(id, 100, 10, SDL_BUTTON_LMASK);  // dragged out, still reported to the window
    Motion(id, 150, -3, SDL_BUTTON_LMASK);
    Motion(id, 20, 30);
    qrv::PumpMessages();
    const std::vector<TRecorded> expected = {
        {qrv::EVENT_MOUSEENTER, 0, 0, 10, 10}, {qrv::EVENT_MOUSEMOVE, 0, 0, 10, 10},
        {qrv::EVENT_MOUSEMOVE, 0, 0, 99, 79},  {qrv::EVENT_MOUSELEAVE, 0, 0, 100, 10},
        {qrv::EVENT_MOUSEMOVE, 1, 0, 100, 10}, {qrv::EVENT_MOUSEMOVE, 1, 0, 150, -3},
        {qrv::EVENT_MOUSEENTER, 0, 0, 20, 30}, {qrv::EVENT_MOUSEMOVE, 0, 0, 20, 30}};
    EXPECT_EQ(recording->events, expected) << recording->Describe();
    EXPECT_EQ(driver->TrackedWindowId(), id);
}

TEST_F(SDLDriverWindows, LeavingReportsTheTrackedWindowOnlyAndMovingToAnotherWindowSwitches) {
    const Uint32 id = SDL_GetWindowID(window);
    const Uint32 otherId = SDL_GetWindowID(other);
    TRecording recording;
    Motion(id, 10, 10);
    Window(SDL_WINDOWEVENT_LEAVE, otherId);  // not the tracked window: nothing
    Motion(otherId, 5, 5);                   // leaves the first, enters the other
    Window(SDL_WINDOWEVENT_LEAVE, otherId);
    Window(SDL_WINDOWEVENT_LEAVE, otherId);
    qrv::PumpMessages();
    EXPECT_EQ(recording->Ids(),
              (std::vector<int32_t>{qrv::EVENT_MOUSEENTER, qrv::EVENT_MOUSEMOVE,
                                    qrv::EVENT_MOUSELEAVE, qrv::EVENT_MOUSEENTER,
                                    qrv::EVENT_MOUSEMOVE, qrv::EVENT_MOUSELEAVE}))
        << recording->Describe();
    EXPECT_EQ(driver->TrackedWindowId(), 0u);
}

}  // namespace
