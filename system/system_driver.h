#pragma once

#include <cstdint>
#include <string>

#include "core/object.h"

namespace qrv {

// The layer between the platform and the rest of the framework for everything but drawing:
// pumping window events into TEvents, the pointer, message boxes, requesters, the browser.
class TSystemDriver : public TObject {
public:
    // Handles every pending platform event, emitting the matching TEvents.
    virtual void Poll() = 0;
    // Blocks until at least one platform event is pending (or a close signal is caught, see
    // close_signals.h), then polls.
    virtual void Wait() = 0;
    // Blocks until a platform event is pending, a close signal is caught or the clock reads
    // deadline, then polls.
    virtual void WaitUntil(uint32_t deadline) = 0;
    // Moves the pointer to (x, y) in the focused window, or on the screen when none has focus.
    virtual void SetPointerPosition(int32_t x, int32_t y) = 0;
    // The pointer is hidden only while it is inside a program window and visible is false.
    virtual void SetMouseVisible(bool visible) = 0;
    // Shows a message box with an OK button and waits until it is closed; `serious` shows it as a
    // warning.
    virtual void NotifyBox(const std::u16string& text, bool serious) = 0;
    // 1 for OK, 0 otherwise.
    [[nodiscard]] virtual int32_t ConfirmBox(const std::u16string& text, bool serious) = 0;
    // 1 yes, 0 no, -1 cancel or closed.
    [[nodiscard]] virtual int32_t ProceedBox(const std::u16string& text, bool serious) = 0;
    // The chosen path, or empty text when cancelled. See file_filter.h for the extension list.
    [[nodiscard]] virtual std::u16string AskForFile(const std::u16string& title,
                                                    const std::u16string& extensions, bool save,
                                                    const std::u16string& initialPath) = 0;
    // The chosen folder, or empty text when cancelled.
    [[nodiscard]] virtual std::u16string AskForFolder(const std::u16string& title,
                                                      const std::u16string& initialPath) = 0;
    // Hands a complete url to the desktop; failure is not reported.
    virtual void OpenInBrowser(const std::u16string& url) = 0;
    // Emits a PadConnect for every game pad connected now, as though each had just been plugged
    // in, so that a listener starting late learns of them; nothing for a driver without pads.
    virtual void AnnouncePads() {}
};

// The platform's system driver: its half of the system library (sdl/sdl_system_driver.cpp)
// makes it.
[[nodiscard]] Ref<TSystemDriver> MakePlatformSystemDriver();

// Makes the platform's system driver the current driver, initialises the event module and
// catches the close signals (close_signals.h); later calls do nothing.
void InitSystemModule();

// Replaces the current driver and gives the previous one back.
Ref<TSystemDriver> SetSystemDriver(Ref<TSystemDriver> driver);
// The current driver (initialising the module if needed).
Ref<TSystemDriver> CurrentSystemDriver();

// Polls (or waits for) the current driver's events, unless a pump is already running further up
// the stack: an event hook that queries input does not pump again. A close signal caught since
// the last pump is then emitted as an AppTerminate event (close_signals.h).
void PumpMessages();
// Waits for at least one event, then pumps, unless a pump is already running.
void WaitForMessages();
// Waits for messages, but no later than the clock reading deadline; then pumps.
void WaitForMessagesUntil(uint32_t deadline);

// SetPointerPosition, ShowPointer, HidePointer, NotifyBox, ConfirmBox, ProceedBox, AskForFile and
// AskForFolder: the current driver's calls of those names (ShowPointer and HidePointer are
// SetMouseVisible). With no driver they do nothing and give 0, -1 or empty text, as if cancelled.
void SetPointerPosition(int32_t x, int32_t y);
void ShowPointer();
void HidePointer();
void NotifyBox(const std::u16string& text, bool serious = false);
[[nodiscard]] int32_t ConfirmBox(const std::u16string& text, bool serious = false);
[[nodiscard]] int32_t ProceedBox(const std::u16string& text, bool serious = false);
[[nodiscard]] std::u16string AskForFile(const std::u16string& title,
                                        const std::u16string& extensions, bool save,
                                        const std::u16string& initialPath);
[[nodiscard]] std::u16string AskForFolder(const std::u16string& title,
                                          const std::u16string& initialPath);
// Completes the url (CompleteBrowserUrl) and hands it to the driver.
void OpenInBrowser(const std::u16string& url);

// Makes an event with these values and emits it.
void EmitSystemEvent(int32_t id, Ref<TObject> source, int32_t data, int32_t mods, int32_t x,
                     int32_t y, Ref<TObject> extra = nullptr);

}  // namespace qrv
