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
    // Emits the TEvents of one SDL event, then hands it to the event listeners. Poll calls it
    // for every event it takes from the queue.
    void HandleEvent(const SDL_Event& event);
    void HandleKey(const SDL_KeyboardEvent& key);
    void HandleText(const SDL_TextInputEvent& text);
    void HandleButton(const SDL_MouseButtonEvent& button);
    void HandleMotion(const SDL_MouseMotionEvent& motion);
    void HandleWheel(const SDL_MouseWheelEvent& wheel);
    void HandleWindowEvent(const SDL_WindowEvent& window);
    // Moves tracking to newWindow (0: none), emitting MouseLeave and MouseEnter as needed.
    // (x, y) is the pointer in the coordinates of eventWindow.
    void TrackPointer(Uint32 newWindow, Uint32 eventWindow, int32_t x, int32_t y);
    void ApplyCursorRule();
    // Events from SDL have no source.
    void Emit(int32_t id, int32_t data, int32_t x = 0, int32_t y = 0);
    int32_t ShowBox(const std::u16string& text, bool serious, const SDL_MessageBoxButtonData* buttons,
                    int buttonCount);

    bool eventsStarted = false;
    int32_t modifierState = 0;
    Uint32 trackedWindow = 0;
    Uint32 focusedWindow = 0;
    bool cursorShown = true;
    std::vector<std::pair<int, TEventListener>> listeners;
    int nextListenerId = 1;
};

}  // namespace qrv
