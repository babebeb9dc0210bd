#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "system/clock.h"
#include "system/event.h"
#include "system/keys.h"
#include "system/system_driver.h"

namespace qrv {

// What a program asked of the user through a scripted driver.
struct TScriptedBox {
    // Which call showed the box: NotifyBox, ConfirmBox or ProceedBox.
    enum class Kind { Notify, Confirm, Proceed };
    // The kind of box, its text and whether it was serious.
    Kind kind;
    std::u16string text;
    bool serious;
};

// A requester a program opened through a scripted driver, with what it was asked with.
struct TScriptedRequest {
    bool folder;  // AskForFolder rather than AskForFile
    // What the requester was asked with (no extensions and no save for a folder).
    std::u16string title;
    std::u16string extensions;
    bool save;
    std::u16string initialPath;
};

// A system driver without a platform: it delivers events queued at given times on a virtual
// clock, as a real user would make them (a press of Escape also types its character, a click
// moves the pointer first, modifier keys set the mods of the events that follow). Waiting
// jumps the clock to the next queued event, and sleeping advances the clock, so a program
// driven by it runs deterministically at full speed. Message boxes and requesters take their
// answers from a queue and are recorded.
class TScriptedSystemDriver final : public TSystemDriver {
public:
    explicit TScriptedSystemDriver(Ref<TVirtualClock> clock);

    // Delivers every queued event whose time has come, in time order (queue order within one
    // millisecond).
    void Poll() override;
    // Moves the clock to the next queued event if none is due, then polls; with nothing queued
    // it raises "Scripted input has run out", since a real wait would never return.
    void Wait() override;
    // Sleeps on the current clock until the next queued event or the deadline, whichever comes
    // first, then polls.
    void WaitUntil(uint32_t deadline) override;
    // Moves the pointer and queues the MouseMove that the platform reports for it.
    void SetPointerPosition(int32_t x, int32_t y) override;
    void SetMouseVisible(bool visible) override { mouseVisible = visible; }
    void NotifyBox(const std::u16string& text, bool serious) override;
    // The next queued answer, else 0 (as if cancelled).
    [[nodiscard]] int32_t ConfirmBox(const std::u16string& text, bool serious) override;
    // The next queued answer, else -1 (as if cancelled).
    [[nodiscard]] int32_t ProceedBox(const std::u16string& text, bool serious) override;
    // The next queued requester answer, else empty text (as if cancelled).
    [[nodiscard]] std::u16string AskForFile(const std::u16string& title,
                                            const std::u16string& extensions, bool save,
                                            const std::u16string& initialPath) override;
    [[nodiscard]] std::u16string AskForFolder(const std::u16string& title,
                                              const std::u16string& initialPath) override;
    void OpenInBrowser(const std::u16string& url) override { openedUrls.push_back(url); }
    // Emits PadConnect and the axes away from 0 for every scripted pad connected now.
    void AnnouncePads() override;

    // The script. Times are clock readings (wrapping like MillisecondClock); an event whose
    // time has passed is delivered by the next poll.
    void QueueEvent(uint32_t at, int32_t id, int32_t data = 0, int32_t x = 0, int32_t y = 0,
                    Ref<TObject> source = nullptr);
    // PressKey, RepeatKey and ReleaseKey: a key (a KEY_ constant) goes down, repeats or comes up at
    // `at`; pressing or repeating Backspace, Tab, Enter or Escape also types its character.
    void PressKey(int32_t key, uint32_t at);
    void RepeatKey(int32_t key, uint32_t at);
    void ReleaseKey(int32_t key, uint32_t at);
    // Presses the key at `at` and releases it `holdMillis` later.
    void TapKey(int32_t key, uint32_t at, uint32_t holdMillis = 30);
    // One KeyChar per UTF-16 code unit, as a text input method delivers it.
    void TypeText(const std::u16string& text, uint32_t at);
    // Moves the pointer to (x, y) in the window's pixels at `at`.
    void MovePointer(int32_t x, int32_t y, uint32_t at);
    // PressButton and ReleaseButton: the button (a MOUSE_ constant) goes down or up at (x, y),
    // moving the pointer there first.
    void PressButton(int32_t button, int32_t x, int32_t y, uint32_t at);
    void ReleaseButton(int32_t button, int32_t x, int32_t y, uint32_t at);
    // Presses the button at (x, y) at `at` and releases it there `holdMillis` later.
    void Click(int32_t x, int32_t y, uint32_t at, int32_t button = MOUSE_LEFT,
               uint32_t holdMillis = 30);
    // Turns the mouse wheel by `notches` (the event's data) at `at`.
    void TurnWheel(int32_t notches, uint32_t at);
    // LoseFocus, GainFocus and RequestClose: the application loses or regains focus, or is asked
    // to close (EVENT_APPSUSPEND, EVENT_APPRESUME, EVENT_APPTERMINATE), at `at`.
    void LoseFocus(uint32_t at) { QueueEvent(at, EVENT_APPSUSPEND); }
    void GainFocus(uint32_t at) { QueueEvent(at, EVENT_APPRESUME); }
    void RequestClose(uint32_t at) { QueueEvent(at, EVENT_APPTERMINATE); }
    // ConnectPad and DisconnectPad: the game pad with that number (0 for the first) is plugged
    // in, with its name, or unplugged at `at`.
    void ConnectPad(int32_t pad, const std::u16string& name, uint32_t at);
    void DisconnectPad(int32_t pad, uint32_t at) { QueueEvent(at, EVENT_PADDISCONNECT, 0, pad); }
    // PressPadButton and ReleasePadButton: the pad's button (a PAD_BUTTON_ constant) goes down or
    // up at `at`.
    void PressPadButton(int32_t pad, int32_t button, uint32_t at) {
        QueueEvent(at, EVENT_PADBUTTONDOWN, button, pad);
    }
    void ReleasePadButton(int32_t pad, int32_t button, uint32_t at) {
        QueueEvent(at, EVENT_PADBUTTONUP, button, pad);
    }
    // The pad's axis (a PAD_AXIS_ constant) moves to position, -32768..32767 (a trigger
    // 0..32767), at `at`.
    void MovePadAxis(int32_t pad, int32_t axis, int32_t position, uint32_t at) {
        QueueEvent(at, EVENT_PADAXIS, axis, pad, position);
    }

    // AnswerNextBox and AnswerNextRequester: queue the answer the next message box or requester
    // gives, in order (a box answer the box does not take reads as cancelled).
    void AnswerNextBox(int32_t answer) { boxAnswers.push_back(answer); }
    void AnswerNextRequester(std::u16string answer) { requesterAnswers.push_back(std::move(answer)); }

    // The events queued and not yet delivered.
    size_t PendingEventCount() const { return queue.size(); }
    // The time of the next queued event, or none when nothing is queued.
    std::optional<uint32_t> NextEventTime() const;
    // PointerX and PointerY: where the pointer is, as the last delivered event or
    // SetPointerPosition put it.
    int32_t PointerX() const { return pointerX; }
    int32_t PointerY() const { return pointerY; }
    // Whether the program asked for the mouse pointer to show (SetMouseVisible).
    bool MouseVisible() const { return mouseVisible; }
    // The MODIFIER_ bits of the modifier keys held down now.
    int32_t ModifierState() const;
    // ShownBoxes, Requests and OpenedUrls: the message boxes shown, the requesters opened and the
    // URLs opened in a browser, in order.
    const std::vector<TScriptedBox>& ShownBoxes() const { return shownBoxes; }
    const std::vector<TScriptedRequest>& Requests() const { return requests; }
    const std::vector<std::u16string>& OpenedUrls() const { return openedUrls; }
    // The virtual clock the driver runs on.
    TVirtualClock& Clock() { return *clock; }

private:
    struct TQueuedEvent {
        uint32_t at;
        int32_t id, data, x, y;
        Ref<TObject> source;
        Ref<TObject> extra;
    };
    // A connected pad as the delivered events left it.
    struct TScriptedPad {
        Ref<TObject> name;
        std::array<int32_t, PAD_AXIS_TRIGGER_RIGHT + 1> axes{};
    };

    // Queues the event after those of the same time.
    void Enqueue(TQueuedEvent event);
    void Deliver(const TQueuedEvent& event);
    int32_t HeldButtonData() const;
    int32_t TakeBoxAnswer(int32_t cancelled);

    Ref<TVirtualClock> clock;
    std::deque<TQueuedEvent> queue;
    bool heldKeys[256] = {};
    bool heldButtons[4] = {};
    std::map<int32_t, TScriptedPad> pads;
    int32_t pointerX = 0, pointerY = 0;
    bool mouseVisible = true;
    std::deque<int32_t> boxAnswers;
    std::deque<std::u16string> requesterAnswers;
    std::vector<TScriptedBox> shownBoxes;
    std::vector<TScriptedRequest> requests;
    std::vector<std::u16string> openedUrls;
};

// Puts a scripted driver on a fresh virtual clock in place of the current driver and clock
// for its lifetime, and restores both when it goes. Meanwhile EndProgram raises TProgramEnded
// rather than ending the process.
class TScriptedSession {
public:
    explicit TScriptedSession(uint32_t startTime = 0);
    ~TScriptedSession();
    TScriptedSession(const TScriptedSession&) = delete;
    TScriptedSession& operator=(const TScriptedSession&) = delete;

    // Driver: the scripted driver in place. Clock: its virtual clock. Now: that clock's reading, in
    // milliseconds.
    TScriptedSystemDriver& Driver() { return *driver; }
    TVirtualClock& Clock() { return *clock; }
    uint32_t Now() { return clock->Milliseconds(); }

private:
    Ref<TVirtualClock> clock;
    Ref<TScriptedSystemDriver> driver;
    Ref<TClock> previousClock;
    Ref<TSystemDriver> previousDriver;
    bool previousCatchEnd = false;
};

}  // namespace qrv
