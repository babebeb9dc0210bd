#pragma once

#include <SDL.h>

#include <functional>
#include <utility>
#include <vector>

#include "system/system_driver.h"

namespace qrv {

// The system driver over SDL2. It pumps SDL's queue itself and turns the events of every SDL
// window into TEvents, whoever created the window: key codes are virtual-key codes from
// scancodes, modifiers are those each key event carries, the pointer is tracked per window.
// Creating it starts SDL's event subsystem (without SDL's signal handlers: the system module
// has its own, close_signals.h); the video subsystem and the windows belong to the graphics
// module. Its waits also end for a caught close signal.
// It also starts SDL's game-controller subsystem, where there is one, and turns the game
// controllers into numbered pads (the lowest number free when each connects): the pads present
// are announced at its first poll, later ones as they come and go. Without the subsystem there
// are no pads.
class TSDLSystemDriver final : public TSystemDriver {
public:
    TSDLSystemDriver();
    ~TSDLSystemDriver() override;
    TSDLSystemDriver(const TSDLSystemDriver&) = delete;
    TSDLSystemDriver& operator=(const TSDLSystemDriver&) = delete;

    void Poll() override;
    void Wait() override;
    void WaitUntil(uint32_t deadline) override;
    void SetPointerPosition(int32_t x, int32_t y) override;
    void SetMouseVisible(bool visible) override;
    void NotifyBox(const std::u16string& text, bool serious) override;
    [[nodiscard]] int32_t ConfirmBox(const std::u16string& text, bool serious) override;
    [[nodiscard]] int32_t ProceedBox(const std::u16string& text, bool serious) override;
    [[nodiscard]] std::u16string AskForFile(const std::u16string& title,
                                            const std::u16string& extensions, bool save,
                                            const std::u16string& initialPath) override;
    [[nodiscard]] std::u16string AskForFolder(const std::u16string& title,
                                              const std::u16string& initialPath) override;
    void OpenInBrowser(const std::u16string& url) override;
    void AnnouncePads() override;

    // Runs listener for every SDL event after its TEvents were emitted, so that the module owning
    // a window can act on it (focus, size ...). The id removes it again.
    using TEventListener = std::function<void(const SDL_Event&)>;
    // Adds a listener; gives the id that RemoveEventListener takes.
    [[nodiscard]] int AddEventListener(TEventListener listener);
    // Removes the listener with that id; nothing for an id not in use.
    void RemoveEventListener(int listenerId);

    // The window with keyboard focus according to the events handled so far, 0 for none.
    Uint32 FocusedWindowId() const { return focusedWindow; }
    // The window the pointer is known to be in, 0 for none.
    Uint32 TrackedWindowId() const { return trackedWindow; }
    // Modifier bits of the last key event: 1 Shift, 2 Control, 4 Alt, 8 system key.
    int32_t ModifierState() const { return modifierState; }

private:
    // An open game controller and its pad number.
    struct TPad {
        int32_t number;
        SDL_JoystickID instance;
        SDL_GameController* controller;
    };

    // Emits the TEvents of one SDL event, then hands it to the event listeners. Poll calls it
    // for every event it takes from the queue.
    void HandleEvent(const SDL_Event& event);
    void HandleKey(const SDL_KeyboardEvent& key);
    void HandleText(const SDL_TextInputEvent& text);
    void HandleButton(const SDL_MouseButtonEvent& button);
    void HandleMotion(const SDL_MouseMotionEvent& motion);
    void HandleWheel(const SDL_MouseWheelEvent& wheel);
    void HandleWindowEvent(const SDL_WindowEvent& window);
    // Opens every game controller not yet open, once (the first poll or announcement).
    void FindPads();
    // Opens the game controller at the device index as the lowest free pad number and emits its
    // state (EmitPadState); nothing for a controller already open.
    void ConnectPad(int deviceIndex);
    void DisconnectPad(SDL_JoystickID instance);
    void HandlePadButton(const SDL_ControllerButtonEvent& button);
    void HandlePadAxis(const SDL_ControllerAxisEvent& axis);
    // Emits PadConnect for the pad, then PadAxis for every axis away from 0.
    void EmitPadState(const TPad& pad);
    // The number of the open pad with that joystick instance, or -1.
    int32_t PadNumberOf(SDL_JoystickID instance) const;
    // Moves tracking to newWindow (0: none), emitting MouseLeave and MouseEnter as needed.
    // (x, y) is the pointer in the coordinates of eventWindow.
    void TrackPointer(Uint32 newWindow, Uint32 eventWindow, int32_t x, int32_t y);
    void ApplyCursorRule();
    // Events from SDL have no source.
    void Emit(int32_t id, int32_t data, int32_t x = 0, int32_t y = 0, Ref<TObject> extra = nullptr);
    int32_t ShowBox(const std::u16string& text, bool serious, const SDL_MessageBoxButtonData* buttons,
                    int buttonCount);

    bool eventsStarted = false;
    bool padsStarted = false;
    bool padsFound = false;
    std::vector<TPad> pads;
    int32_t modifierState = 0;
    Uint32 trackedWindow = 0;
    Uint32 focusedWindow = 0;
    bool cursorShown = true;
    std::vector<std::pair<int, TEventListener>> listeners;
    int nextListenerId = 1;
};

}  // namespace qrv
