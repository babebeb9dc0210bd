// Real input from outside the program: xdotool types and clicks on the test display, and the
// SDL system driver must turn what arrives into the right events and polled state.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "event_recorder.h"
#include "system/event.h"
#include "system/input.h"
#include "system/sdl/sdl_system_driver.h"

namespace {

using qrv::test::TRecording;
using TRecorded = qrv::test::TEventRecorder::TRecorded;

constexpr Uint32 kDeadlineMillis = 5000;

struct TDisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using TDisplay = std::unique_ptr<Display, TDisplayCloser>;

// Gives Cyrillic_zhe a keycode of its own for as long as it lives. xdotool would otherwise map a
// scratch keycode only for the moment of the press, and the client looking the key up later
// finds the mapping already gone. The connection stays open: the X server resets its keyboard
// mapping when its last client leaves.
class TCyrillicKey {
public:
    explicit TCyrillicKey(Display* display) : display(display) {
        int first = 0, last = 0, perKeycode = 0;
        XDisplayKeycodes(display, &first, &last);
        KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(first), last - first + 1,
                                          &perKeycode);
        for (int code = last; code >= first && keycode == 0; --code) {
            const KeySym* syms = map + (code - first) * perKeycode;
            if (std::all_of(syms, syms + perKeycode, [](KeySym s) { return s == NoSymbol; }))
                keycode = code;
        }
        XFree(map);
        if (keycode == 0) return;
        KeySym letter[2] = {XK_Cyrillic_zhe, XK_Cyrillic_ZHE};
        XChangeKeyboardMapping(display, keycode, 2, letter, 1);
        XSync(display, False);
    }
    ~TCyrillicKey() {
        if (keycode == 0) return;
        KeySym none = NoSymbol;
        XChangeKeyboardMapping(display, keycode, 1, &none, 1);
        XSync(display, False);
    }
    bool Mapped() const { return keycode != 0; }

private:
    Display* display;
    int keycode = 0;
};

class DesktopInput : public testing::Test {
protected:
    void SetUp() override {
        xDisplay.reset(XOpenDisplay(nullptr));
        if (!xDisplay) GTEST_SKIP() << "no display";
        cyrillicKey = std::make_unique<TCyrillicKey>(xDisplay.get());
        ASSERT_TRUE(cyrillicKey->Mapped()) << "no free keycode for the Cyrillic letter";
        qrv::InitInputModule();
        driver = std::dynamic_pointer_cast<qrv::TSDLSystemDriver>(qrv::CurrentSystemDriver());
        ASSERT_TRUE(driver) << "the system module starts with the SDL driver";
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "no display: " << SDL_GetError();
        window = SDL_CreateWindow("input target", 100, 100, 200, 160, SDL_WINDOW_SHOWN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        SDL_StartTextInput();
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(SDL_GetWindowWMInfo(window, &info)) << SDL_GetError();
        ASSERT_EQ(info.subsystem, SDL_SYSWM_X11);
        xWindow = std::to_string(info.info.x11.window);
        windowId = SDL_GetWindowID(window);
        qrv::StartInputPolling();
    }

    void TearDown() override {
        qrv::StopInputPolling();
        if (window) SDL_DestroyWindow(window);
        if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        cyrillicKey.reset();
        xDisplay.reset();
    }

    static void Xdotool(const std::string& arguments) {
        const std::string command = "xdotool " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // Pumps until done() holds or the deadline passes; says whether it held.
    static bool PumpUntil(const std::function<bool()>& done) {
        const Uint32 start = SDL_GetTicks();
        while (SDL_GetTicks() - start < kDeadlineMillis) {
            qrv::PumpMessages();
            if (done()) return true;
            SDL_Delay(5);
        }
        return false;
    }

    void FocusWindow() {
        Xdotool("windowfocus --sync " + xWindow);
        ASSERT_TRUE(PumpUntil([&] { return driver->FocusedWindowId() == windowId; }))
            << "the window never got the keyboard focus";
        qrv::FlushKeyboard();
        qrv::FlushMouseButtons();
    }

    static bool Seen(const TRecording& recording, int32_t id, int32_t data) {
        for (const auto& event : recording->events)
            if (event.id == id && event.data == data) return true;
        return false;
    }

    TDisplay xDisplay;
    std::unique_ptr<TCyrillicKey> cyrillicKey;
    std::shared_ptr<qrv::TSDLSystemDriver> driver;
    SDL_Window* window = nullptr;
    Uint32 windowId = 0;
    std::string xWindow;
};

TEST_F(DesktopInput, AClickArrivesWithItsButtonAndPosition) {
    FocusWindow();
    TRecording recording;
    Xdotool("mousemove --window " + xWindow + " --sync 50 60 click 1");
    ASSERT_TRUE(PumpUntil([&] { return Seen(recording, qrv::EVENT_MOUSEUP, 1); }))
        << recording->Describe();
    const auto downs = recording->OfId(qrv::EVENT_MOUSEDOWN);
    ASSERT_EQ(downs.size(), 1u) << recording->Describe();
    EXPECT_EQ(downs[0], (TRecorded{qrv::EVENT_MOUSEDOWN, 1, 0, 50, 60}));
    EXPECT_EQ(recording->OfId(qrv::EVENT_MOUSEENTER).size(), 1u) << recording->Describe();
    EXPECT_EQ(qrv::MouseHitCount(1), 1);
    EXPECT_EQ(qrv::MouseIsDown(1), 0);
    EXPECT_EQ(qrv::MouseXPos(), 50);
    EXPECT_EQ(qrv::MouseYPos(), 60);
}

TEST_F(DesktopInput, EscapeAndEnterArePressesThatTypeAndACyrillicLetterIsOneCharacter) {
    FocusWindow();
    TRecording recording;
    Xdotool("key Escape");
    Xdotool("key Return");
    Xdotool("key Cyrillic_zhe");
    ASSERT_TRUE(PumpUntil([&] {
        return Seen(recording, qrv::EVENT_KEYUP, 27) && Seen(recording, qrv::EVENT_KEYUP, 13) &&
               Seen(recording, qrv::EVENT_KEYCHAR, 0x436);
    })) << recording->Describe();
    // The key of the letter has no virtual-key code here; what it typed is what counts.
    std::vector<TRecorded> escapeAndEnter;
    for (const auto& event : recording->events)
        if ((event.data == 27 || event.data == 13) && event.id != qrv::EVENT_MOUSEMOVE)
            escapeAndEnter.push_back(event);
    const std::vector<TRecorded> expected = {
        {qrv::EVENT_KEYDOWN, 27, 0, 0, 0}, {qrv::EVENT_KEYCHAR, 27, 0, 0, 0},
        {qrv::EVENT_KEYUP, 27, 0, 0, 0},   {qrv::EVENT_KEYDOWN, 13, 0, 0, 0},
        {qrv::EVENT_KEYCHAR, 13, 0, 0, 0}, {qrv::EVENT_KEYUP, 13, 0, 0, 0}};
    EXPECT_EQ(escapeAndEnter, expected) << recording->Describe();
    EXPECT_EQ(recording->OfId(qrv::EVENT_KEYCHAR).size(), 3u) << recording->Describe();

    EXPECT_EQ(qrv::KeyHitCount(27), 1);
    EXPECT_EQ(qrv::KeyHitCount(13), 1);
    EXPECT_EQ(qrv::NextTypedChar(), 27);
    EXPECT_EQ(qrv::NextTypedChar(), 13);
    EXPECT_EQ(qrv::NextTypedChar(), 0x436);
    EXPECT_EQ(qrv::NextTypedChar(), 0);
}

TEST_F(DesktopInput, LeftShiftIsKey160AndItsOwnPressCarriesTheShiftBit) {
    FocusWindow();
    TRecording recording;
    Xdotool("keydown Shift_L");
    ASSERT_TRUE(PumpUntil([&] { return Seen(recording, qrv::EVENT_KEYDOWN, 160); }))
        << recording->Describe();
    EXPECT_EQ(qrv::KeyIsDown(160), 1);
    Xdotool("keyup Shift_L");
    ASSERT_TRUE(PumpUntil([&] { return Seen(recording, qrv::EVENT_KEYUP, 160); }))
        << recording->Describe();
    const std::vector<TRecorded> expected = {{qrv::EVENT_KEYDOWN, 160, 1, 0, 0},
                                             {qrv::EVENT_KEYUP, 160, 0, 0, 0}};
    EXPECT_EQ(recording->events, expected) << recording->Describe();
    EXPECT_EQ(qrv::KeyIsDown(160), 0);
    EXPECT_EQ(qrv::KeyHitCount(160), 1);
}

}  // namespace
