#include "system/scripted_system_driver.h"

#include <algorithm>

#include "core/error.h"
#include "system/application.h"
#include "system/event.h"

namespace qrv {

TScriptedSystemDriver::TScriptedSystemDriver(Ref<TVirtualClock> clock) : clock(std::move(clock)) {}

void TScriptedSystemDriver::Poll() {
    // Each event is taken off the queue before delivery: a hook may queue more or sleep.
    while (!queue.empty() && !ClockIsAfter(queue.front().at, clock->Milliseconds())) {
        TQueuedEvent event = std::move(queue.front());
        queue.pop_front();
        Deliver(event);
    }
}

void TScriptedSystemDriver::Wait() {
    if (queue.empty()) throw TRuntimeError(std::string("Scripted input has run out"));
    clock->AdvanceTo(queue.front().at);
    Poll();
}

void TScriptedSystemDriver::WaitUntil(uint32_t deadline) {
    uint32_t wakeAt = deadline;
    if (!queue.empty() && ClockIsAfter(deadline, queue.front().at)) wakeAt = queue.front().at;
    // Through the current clock, which may watch over the virtual one.
    DelayUntil(wakeAt);
    Poll();
}

void TScriptedSystemDriver::Deliver(const TQueuedEvent& event) {
    const bool inKeyRange = event.data > 0 && event.data < 256;
    const bool inButtonRange = event.data > 0 && event.data < 4;
    int32_t data = event.data;
    switch (event.id) {
        case EVENT_KEYDOWN: if (inKeyRange) heldKeys[event.data] = true; break;
        case EVENT_KEYUP: if (inKeyRange) heldKeys[event.data] = false; break;
        case EVENT_MOUSEDOWN: if (inButtonRange) heldButtons[event.data] = true; break;
        case EVENT_MOUSEUP: if (inButtonRange) heldButtons[event.data] = false; break;
        case EVENT_MOUSEMOVE: data = HeldButtonData(); break;
        default: break;
    }
    if (event.id == EVENT_MOUSEDOWN || event.id == EVENT_MOUSEUP || event.id == EVENT_MOUSEMOVE) {
        pointerX = event.x;
        pointerY = event.y;
    }
    if (event.id == EVENT_PADCONNECT) pads[event.x] = {event.extra, {}};
    if (event.id == EVENT_PADDISCONNECT) pads.erase(event.x);
    if (event.id == EVENT_PADAXIS && pads.contains(event.x) && event.data > 0 &&
        event.data <= PAD_AXIS_TRIGGER_RIGHT)
        pads[event.x].axes[event.data] = event.y;
    EmitSystemEvent(event.id, event.source, data, ModifierState(), event.x, event.y, event.extra);
}

void TScriptedSystemDriver::AnnouncePads() {
    for (const auto& [number, pad] : pads) {
        EmitSystemEvent(EVENT_PADCONNECT, nullptr, 0, ModifierState(), number, 0, pad.name);
        for (int32_t axis = 1; axis <= PAD_AXIS_TRIGGER_RIGHT; ++axis)
            if (pad.axes[axis] != 0)
                EmitSystemEvent(EVENT_PADAXIS, nullptr, axis, ModifierState(), number, pad.axes[axis]);
    }
}

void TScriptedSystemDriver::ConnectPad(int32_t pad, const std::u16string& name, uint32_t at) {
    Enqueue({at, EVENT_PADCONNECT, 0, pad, 0, nullptr, MakeText(name)});
}

int32_t TScriptedSystemDriver::ModifierState() const {
    int32_t mods = 0;
    for (int32_t key = 1; key < 256; ++key)
        if (heldKeys[key]) mods |= ModifierBitOfKey(key);
    return mods;
}

int32_t TScriptedSystemDriver::HeldButtonData() const {
    if (heldButtons[MOUSE_RIGHT]) return 2;
    if (heldButtons[MOUSE_MIDDLE]) return 4;
    if (heldButtons[MOUSE_LEFT]) return 1;
    return 0;
}

std::optional<uint32_t> TScriptedSystemDriver::NextEventTime() const {
    if (queue.empty()) return std::nullopt;
    return queue.front().at;
}

void TScriptedSystemDriver::QueueEvent(uint32_t at, int32_t id, int32_t data, int32_t x,
                                       int32_t y, Ref<TObject> source) {
    Enqueue({at, id, data, x, y, std::move(source), nullptr});
}

void TScriptedSystemDriver::Enqueue(TQueuedEvent event) {
    // Ordered by distance from now, which keeps its order as the clock moves and wraps.
    const uint32_t now = clock->Milliseconds();
    const auto ahead = [now](uint32_t t) { return static_cast<int32_t>(t - now); };
    auto position = std::upper_bound(queue.begin(), queue.end(), ahead(event.at),
                                     [&](int32_t distance, const TQueuedEvent& queued) {
                                         return distance < ahead(queued.at);
                                     });
    queue.insert(position, std::move(event));
}

void TScriptedSystemDriver::PressKey(int32_t key, uint32_t at) {
    QueueEvent(at, EVENT_KEYDOWN, key);
    if (KeyTypesControlChar(key)) QueueEvent(at, EVENT_KEYCHAR, key);
}

void TScriptedSystemDriver::RepeatKey(int32_t key, uint32_t at) {
    QueueEvent(at, EVENT_KEYREPEAT, key);
    if (KeyTypesControlChar(key)) QueueEvent(at, EVENT_KEYCHAR, key);
}

void TScriptedSystemDriver::ReleaseKey(int32_t key, uint32_t at) {
    QueueEvent(at, EVENT_KEYUP, key);
}

void TScriptedSystemDriver::TapKey(int32_t key, uint32_t at, uint32_t holdMillis) {
    PressKey(key, at);
    ReleaseKey(key, at + holdMillis);
}

void TScriptedSystemDriver::TypeText(const std::u16string& text, uint32_t at) {
    for (char16_t unit : text) QueueEvent(at, EVENT_KEYCHAR, unit);
}

void TScriptedSystemDriver::MovePointer(int32_t x, int32_t y, uint32_t at) {
    QueueEvent(at, EVENT_MOUSEMOVE, 0, x, y);
}

void TScriptedSystemDriver::PressButton(int32_t button, int32_t x, int32_t y, uint32_t at) {
    MovePointer(x, y, at);
    QueueEvent(at, EVENT_MOUSEDOWN, button, x, y);
}

void TScriptedSystemDriver::ReleaseButton(int32_t button, int32_t x, int32_t y, uint32_t at) {
    MovePointer(x, y, at);
    QueueEvent(at, EVENT_MOUSEUP, button, x, y);
}

void TScriptedSystemDriver::Click(int32_t x, int32_t y, uint32_t at, int32_t button,
                                  uint32_t holdMillis) {
    PressButton(button, x, y, at);
    ReleaseButton(button, x, y, at + holdMillis);
}

void TScriptedSystemDriver::TurnWheel(int32_t notches, uint32_t at) {
    QueueEvent(at, EVENT_MOUSEWHEEL, notches);
}

void TScriptedSystemDriver::SetPointerPosition(int32_t x, int32_t y) {
    pointerX = x;
    pointerY = y;
    MovePointer(x, y, clock->Milliseconds());
}

int32_t TScriptedSystemDriver::TakeBoxAnswer(int32_t cancelled) {
    if (boxAnswers.empty()) return cancelled;
    const int32_t answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

void TScriptedSystemDriver::NotifyBox(const std::u16string& text, bool serious) {
    shownBoxes.push_back({TScriptedBox::Kind::Notify, text, serious});
    (void)TakeBoxAnswer(0);
}

int32_t TScriptedSystemDriver::ConfirmBox(const std::u16string& text, bool serious) {
    shownBoxes.push_back({TScriptedBox::Kind::Confirm, text, serious});
    return TakeBoxAnswer(0) == 1 ? 1 : 0;
}

int32_t TScriptedSystemDriver::ProceedBox(const std::u16string& text, bool serious) {
    shownBoxes.push_back({TScriptedBox::Kind::Proceed, text, serious});
    const int32_t answer = TakeBoxAnswer(-1);
    return answer == 1 || answer == 0 ? answer : -1;
}

std::u16string TScriptedSystemDriver::AskForFile(const std::u16string& title,
                                                 const std::u16string& extensions, bool save,
                                                 const std::u16string& initialPath) {
    requests.push_back({false, title, extensions, save, initialPath});
    if (requesterAnswers.empty()) return {};
    std::u16string answer = std::move(requesterAnswers.front());
    requesterAnswers.pop_front();
    return answer;
}

std::u16string TScriptedSystemDriver::AskForFolder(const std::u16string& title,
                                                   const std::u16string& initialPath) {
    requests.push_back({true, title, u"", false, initialPath});
    if (requesterAnswers.empty()) return {};
    std::u16string answer = std::move(requesterAnswers.front());
    requesterAnswers.pop_front();
    return answer;
}

TScriptedSession::TScriptedSession(uint32_t startTime)
    : clock(std::make_shared<TVirtualClock>(startTime)),
      driver(std::make_shared<TScriptedSystemDriver>(clock)) {
    previousClock = SetClock(clock);
    previousDriver = SetSystemDriver(driver);
    previousCatchEnd = CatchProgramEnd(true);
}

TScriptedSession::~TScriptedSession() {
    CatchProgramEnd(previousCatchEnd);
    SetSystemDriver(std::move(previousDriver));
    SetClock(std::move(previousClock));
}

}  // namespace qrv
