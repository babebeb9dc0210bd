#include "system/sdl/sdl_system_driver.h"

#include <algorithm>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include "core/text.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/close_signals.h"
#include "system/desktop_dialog.h"
#include "system/event.h"
#include "system/keys.h"
#include "system/sdl/sdl_key_table.h"

namespace qrv {
namespace {

// SDL's waits do not end for a signal: they wait in slices this long, looking for a caught
// close signal between them.
constexpr int32_t kSignalCheckMillis = 50;

#ifdef __EMSCRIPTEN__
// SDL reads the browser's gamepads through navigator.getGamepads, which node and older browsers
// lack: calling it there throws and ends the program.
EM_JS(int, QrvBrowserHasGamepads, (), {
    return typeof navigator !== "undefined" && typeof navigator.getGamepads === "function";
});
#endif

// Whether SDL's game-controller subsystem can run here.
bool PadsAvailable() {
#ifdef __EMSCRIPTEN__
    return QrvBrowserHasGamepads() != 0;
#else
    return true;
#endif
}

bool VideoIsRunning() {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

// Whether (x, y) lies in the client area of the window; unknown windows contain nothing.
bool WindowContains(Uint32 windowId, int32_t x, int32_t y) {
    SDL_Window* window = VideoIsRunning() ? SDL_GetWindowFromID(windowId) : nullptr;
    if (!window) return false;
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    return x >= 0 && y >= 0 && x < width && y < height;
}

// The pointer's position relative to the window's client area, read from the display.
bool GlobalPointerIn(Uint32 windowId, int32_t& x, int32_t& y) {
    SDL_Window* window = VideoIsRunning() ? SDL_GetWindowFromID(windowId) : nullptr;
    if (!window) return false;
    int globalX = 0, globalY = 0, windowX = 0, windowY = 0;
    SDL_GetGlobalMouseState(&globalX, &globalY);
    SDL_GetWindowPosition(window, &windowX, &windowY);
    x = globalX - windowX;
    y = globalY - windowY;
    return true;
}

}  // namespace

Ref<TSystemDriver> MakePlatformSystemDriver() {
    return std::make_shared<TSDLSystemDriver>();
}

TSDLSystemDriver::TSDLSystemDriver() {
    // SDL's own handlers would turn every interrupt into a quit event, never letting a second
    // one end a program that does not answer; the system module catches the signals instead
    // (close_signals.h).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    eventsStarted = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
    // Pads are optional: a platform or build without game controllers simply has none.
    padsStarted = PadsAvailable() && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

TSDLSystemDriver::~TSDLSystemDriver() {
    for (const TPad& pad : pads) SDL_GameControllerClose(pad.controller);
    if (padsStarted) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    if (eventsStarted) SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

void TSDLSystemDriver::Poll() {
    FindPads();
    SDL_Event event;
    while (SDL_PollEvent(&event)) HandleEvent(event);
}

void TSDLSystemDriver::Wait() {
    while (!SDL_WaitEventTimeout(nullptr, kSignalCheckMillis) && !CloseSignalPending()) {
    }
    Poll();
}

void TSDLSystemDriver::WaitUntil(uint32_t deadline) {
    // SDL times the wait on a clock of its own, which may end it a millisecond before ours
    // reaches the deadline: wait again for what is left unless an event came.
    for (int32_t wait = 0; (wait = static_cast<int32_t>(deadline - MillisecondClock())) > 0;) {
        const int32_t slice = std::min(wait, kSignalCheckMillis);
        if (SDL_WaitEventTimeout(nullptr, slice) || CloseSignalPending()) break;
    }
    Poll();
}

void TSDLSystemDriver::SetPointerPosition(int32_t x, int32_t y) {
    if (!VideoIsRunning()) return;
    if (SDL_Window* window = SDL_GetKeyboardFocus())
        SDL_WarpMouseInWindow(window, x, y);
    else
        SDL_WarpMouseGlobal(x, y);
}

void TSDLSystemDriver::SetMouseVisible(bool visible) {
    cursorShown = visible;
    ApplyCursorRule();
}

void TSDLSystemDriver::ApplyCursorRule() {
    if (!VideoIsRunning()) return;
    const bool show = cursorShown || trackedWindow == 0;
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

int32_t TSDLSystemDriver::ShowBox(const std::u16string& text, bool serious,
                                  const SDL_MessageBoxButtonData* buttons, int buttonCount) {
    const std::string title = ToUtf8(ApplicationTitle());
    const std::string message = ToUtf8(text);
    SDL_Window* focused = VideoIsRunning() ? SDL_GetKeyboardFocus() : nullptr;
    const Uint32 focusedId = focused ? SDL_GetWindowID(focused) : 0;
    const SDL_MessageBoxData box = {
        static_cast<Uint32>(serious ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION),
        focused, title.c_str(), message.c_str(), buttonCount, buttons, nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) pressed = -1;
    if (focusedId != 0)
        if (SDL_Window* window = SDL_GetWindowFromID(focusedId)) SDL_RaiseWindow(window);
    return pressed;
}

void TSDLSystemDriver::NotifyBox(const std::u16string& text, bool serious) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"}};
    (void)ShowBox(text, serious, buttons, 1);
}

int32_t TSDLSystemDriver::ConfirmBox(const std::u16string& text, bool serious) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"}};
    return ShowBox(text, serious, buttons, 2) == 1 ? 1 : 0;
}

int32_t TSDLSystemDriver::ProceedBox(const std::u16string& text, bool serious) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {0, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, -1, "Cancel"}};
    const int32_t pressed = ShowBox(text, serious, buttons, 3);
    return pressed == 1 || pressed == 0 ? pressed : -1;
}

std::u16string TSDLSystemDriver::AskForFile(const std::u16string& title,
                                            const std::u16string& extensions, bool save,
                                            const std::u16string& initialPath) {
    return RunFileRequester({title, extensions, save, initialPath});
}

std::u16string TSDLSystemDriver::AskForFolder(const std::u16string& title,
                                              const std::u16string& initialPath) {
    return RunFolderRequester(title, initialPath);
}

void TSDLSystemDriver::OpenInBrowser(const std::u16string& url) {
    (void)SDL_OpenURL(ToUtf8(url).c_str());
}

int TSDLSystemDriver::AddEventListener(TEventListener listener) {
    listeners.emplace_back(nextListenerId, std::move(listener));
    return nextListenerId++;
}

void TSDLSystemDriver::RemoveEventListener(int listenerId) {
    std::erase_if(listeners, [&](const auto& entry) { return entry.first == listenerId; });
}

void TSDLSystemDriver::Emit(int32_t id, int32_t data, int32_t x, int32_t y, Ref<TObject> extra) {
    EmitSystemEvent(id, nullptr, data, modifierState, x, y, std::move(extra));
}

void TSDLSystemDriver::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: Emit(EVENT_APPTERMINATE, 0); break;
        case SDL_WINDOWEVENT: HandleWindowEvent(event.window); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: HandleKey(event.key); break;
        case SDL_TEXTINPUT: HandleText(event.text); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: HandleButton(event.button); break;
        case SDL_MOUSEMOTION: HandleMotion(event.motion); break;
        case SDL_MOUSEWHEEL: HandleWheel(event.wheel); break;
        case SDL_CONTROLLERDEVICEADDED:
            if (padsStarted) ConnectPad(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED: DisconnectPad(event.cdevice.which); break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: HandlePadButton(event.cbutton); break;
        case SDL_CONTROLLERAXISMOTION: HandlePadAxis(event.caxis); break;
        default: break;
    }
    // A listener may remove itself (or others) while it runs.
    const auto current = listeners;
    for (const auto& [id, listener] : current) listener(event);
}

void TSDLSystemDriver::HandleKey(const SDL_KeyboardEvent& key) {
    // The state each event carries is the state after it; SDL_GetModState would give the state
    // after the whole queue instead.
    modifierState = ModifierBitsFromSDL(key.keysym.mod);
    const int32_t code = VirtualKeyFromScancode(key.keysym.scancode);
    if (code == 0) return;
    if (key.type == SDL_KEYUP) {
        Emit(EVENT_KEYUP, code);
        return;
    }
    Emit(key.repeat ? EVENT_KEYREPEAT : EVENT_KEYDOWN, code);
    if (KeyTypesControlChar(code)) Emit(EVENT_KEYCHAR, code);
}

void TSDLSystemDriver::HandleText(const SDL_TextInputEvent& text) {
    for (char16_t unit : FromUtf8(text.text)) Emit(EVENT_KEYCHAR, unit);
}

void TSDLSystemDriver::HandleButton(const SDL_MouseButtonEvent& button) {
    const int32_t number = ButtonFromSDL(button.button);
    if (number == 0) return;
    if (button.type == SDL_MOUSEBUTTONDOWN) {
        if (VideoIsRunning()) SDL_CaptureMouse(SDL_TRUE);
        Emit(EVENT_MOUSEDOWN, number, button.x, button.y);
    } else {
        if (VideoIsRunning()) SDL_CaptureMouse(SDL_FALSE);
        Emit(EVENT_MOUSEUP, number, button.x, button.y);
    }
}

void TSDLSystemDriver::HandleMotion(const SDL_MouseMotionEvent& motion) {
    const bool inside = WindowContains(motion.windowID, motion.x, motion.y);
    TrackPointer(inside ? motion.windowID : 0, motion.windowID, motion.x, motion.y);
    Emit(EVENT_MOUSEMOVE, HeldButtonDataFromSDL(motion.state), motion.x, motion.y);
}

void TSDLSystemDriver::HandleWheel(const SDL_MouseWheelEvent& wheel) {
    // Horizontal scrolling has no event. SDL gathers fractions of a notch into whole ones.
    if (wheel.y == 0 && wheel.preciseY == 0.0f) return;
    const int32_t notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    Emit(EVENT_MOUSEWHEEL, notches);
}

void TSDLSystemDriver::HandleWindowEvent(const SDL_WindowEvent& window) {
    switch (window.event) {
        case SDL_WINDOWEVENT_CLOSE: Emit(EVENT_APPTERMINATE, 0); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            focusedWindow = window.windowID;
            Emit(EVENT_APPRESUME, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (focusedWindow == window.windowID) focusedWindow = 0;
            Emit(EVENT_APPSUSPEND, 0);
            break;
        case SDL_WINDOWEVENT_LEAVE:
            if (window.windowID == trackedWindow) TrackPointer(0, 0, 0, 0);
            break;
        default: break;
    }
}

void TSDLSystemDriver::TrackPointer(Uint32 newWindow, Uint32 eventWindow, int32_t x, int32_t y) {
    if (newWindow == trackedWindow) return;
    if (trackedWindow != 0) {
        int32_t leaveX = x, leaveY = y;
        if (eventWindow != trackedWindow && !GlobalPointerIn(trackedWindow, leaveX, leaveY))
            leaveX = leaveY = 0;
        Emit(EVENT_MOUSELEAVE, 0, leaveX, leaveY);
    }
    trackedWindow = newWindow;
    ApplyCursorRule();
    if (newWindow != 0) Emit(EVENT_MOUSEENTER, 0, x, y);
}

int32_t TSDLSystemDriver::PadNumberOf(SDL_JoystickID instance) const {
    for (const TPad& pad : pads)
        if (pad.instance == instance) return pad.number;
    return -1;
}

void TSDLSystemDriver::FindPads() {
    // SDL announces the controllers present only to the first user of the subsystem, and only
    // through its queue: a driver made later finds them itself. Those still announced in the
    // queue are then already open and skipped.
    if (!padsStarted || padsFound) return;
    padsFound = true;
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_IsGameController(index)) ConnectPad(index);
}

void TSDLSystemDriver::AnnouncePads() {
    if (!padsFound) {
        FindPads();
        return;
    }
    for (const TPad& pad : pads) EmitPadState(pad);
}

void TSDLSystemDriver::ConnectPad(int deviceIndex) {
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (instance < 0 || PadNumberOf(instance) >= 0) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    int32_t number = 0;
    while (std::any_of(pads.begin(), pads.end(), [&](const TPad& pad) { return pad.number == number; }))
        ++number;
    pads.push_back({number, instance, controller});
    // SDL takes the first positions it reads after the opening as the axes' rest, without
    // events: read them now, so that a stick or trigger held while the pad connects counts.
    SDL_GameControllerUpdate();
    EmitPadState(pads.back());
}

void TSDLSystemDriver::EmitPadState(const TPad& pad) {
    const char* name = SDL_GameControllerName(pad.controller);
    Emit(EVENT_PADCONNECT, 0, pad.number, 0, MakeText(FromUtf8(name ? name : "")));
    for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis) {
        const Sint16 value =
            SDL_GameControllerGetAxis(pad.controller, static_cast<SDL_GameControllerAxis>(axis));
        if (value != 0) Emit(EVENT_PADAXIS, axis + 1, pad.number, value);
    }
}

void TSDLSystemDriver::DisconnectPad(SDL_JoystickID instance) {
    const auto found = std::find_if(pads.begin(), pads.end(),
                                    [&](const TPad& pad) { return pad.instance == instance; });
    if (found == pads.end()) return;
    const int32_t number = found->number;
    SDL_GameControllerClose(found->controller);
    pads.erase(found);
    Emit(EVENT_PADDISCONNECT, 0, number);
}

void TSDLSystemDriver::HandlePadButton(const SDL_ControllerButtonEvent& button) {
    // The PAD_BUTTON_ values follow SDL's standard buttons, one higher; the rest have no name.
    static_assert(PAD_BUTTON_A == SDL_CONTROLLER_BUTTON_A + 1 &&
                  PAD_BUTTON_LEFT_SHOULDER == SDL_CONTROLLER_BUTTON_LEFTSHOULDER + 1 &&
                  PAD_BUTTON_DPAD_RIGHT == SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1);
    const int32_t number = PadNumberOf(button.which);
    if (number < 0 || button.button > SDL_CONTROLLER_BUTTON_DPAD_RIGHT) return;
    Emit(button.state == SDL_PRESSED ? EVENT_PADBUTTONDOWN : EVENT_PADBUTTONUP, button.button + 1,
         number);
}

void TSDLSystemDriver::HandlePadAxis(const SDL_ControllerAxisEvent& axis) {
    // The PAD_AXIS_ values follow SDL's axes, one higher.
    static_assert(PAD_AXIS_LEFT_X == SDL_CONTROLLER_AXIS_LEFTX + 1 &&
                  PAD_AXIS_TRIGGER_RIGHT == SDL_CONTROLLER_AXIS_TRIGGERRIGHT + 1);
    const int32_t number = PadNumberOf(axis.which);
    if (number < 0 || axis.axis >= SDL_CONTROLLER_AXIS_MAX) return;
    Emit(EVENT_PADAXIS, axis.axis + 1, number, axis.value);
}

}  // namespace qrv
