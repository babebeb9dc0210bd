#include "system/input.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>

#include "system/event.h"
#include "system/hook.h"
#include "system/keys.h"
#include "system/system_driver.h"

namespace qrv {
namespace {

constexpr int32_t kKeyCount = 256;
constexpr int32_t kButtonCount = 4;
constexpr uint32_t kCharRingSize = 256;
constexpr int32_t kPadButtonCount = PAD_BUTTON_DPAD_RIGHT + 1;
constexpr int32_t kPadAxisCount = PAD_AXIS_TRIGGER_RIGHT + 1;

struct TPadState {
    std::u16string name;
    std::array<int32_t, kPadButtonCount> held{};
    std::array<int32_t, kPadButtonCount> hitTally{};
    // As the events give them, -32768..32767.
    std::array<int32_t, kPadAxisCount> axis{};
};

struct TInputState {
    std::array<int32_t, kKeyCount> keyHeld{};
    std::array<int32_t, kKeyCount> keyHitTally{};
    std::array<int32_t, kButtonCount> buttonHeld{};
    std::array<int32_t, kButtonCount> buttonHitTally{};
    int32_t mouseX = 0, mouseY = 0, mouseZ = 0;
    std::array<int32_t, kCharRingSize> charRing{};
    uint32_t charWritePos = 0, charReadPos = 0;
    int32_t suspended = 0;
    int32_t terminateRequested = 0;
    // The connected pads by number.
    std::map<int32_t, TPadState> pads;
    Ref<TObject> sourceFilter;
    bool enabled = false;
    bool pollBeforeQuery = true;
};

TInputState input;

bool IsKey(int32_t key) {
    return key > 0 && key < kKeyCount;
}

bool IsButton(int32_t button) {
    return button > 0 && button < kButtonCount;
}

void ClearKeyboard() {
    input.charWritePos = input.charReadPos = 0;
    input.keyHeld.fill(0);
    input.keyHitTally.fill(0);
}

void ClearMouseButtons() {
    input.buttonHeld.fill(0);
    input.buttonHitTally.fill(0);
    input.mouseZ = 0;
}

void Press(std::array<int32_t, kKeyCount>& held, std::array<int32_t, kKeyCount>& tally, int32_t i) {
    if (held[i]) return;
    held[i] = 1;
    ++tally[i];
}

bool IsPadButton(int32_t button) {
    return button > 0 && button < kPadButtonCount;
}

bool IsPadAxis(int32_t axis) {
    return axis > 0 && axis < kPadAxisCount;
}

// The state of a connected pad, or null.
TPadState* FindPad(int32_t pad) {
    const auto found = input.pads.find(pad);
    return found == input.pads.end() ? nullptr : &found->second;
}

void HandlePadEvent(const TEvent& event) {
    if (event.id == EVENT_PADCONNECT) {
        if (event.x < 0) return;
        TPadState& pad = input.pads[event.x] = {};
        if (const std::u16string* name = AsText(event.extra)) pad.name = *name;
        return;
    }
    if (event.id == EVENT_PADDISCONNECT) {
        input.pads.erase(event.x);
        return;
    }
    TPadState* pad = FindPad(event.x);
    if (!pad) return;
    if (event.id == EVENT_PADBUTTONDOWN && IsPadButton(event.data) && !pad->held[event.data]) {
        pad->held[event.data] = 1;
        ++pad->hitTally[event.data];
    } else if (event.id == EVENT_PADBUTTONUP && IsPadButton(event.data)) {
        pad->held[event.data] = 0;
    } else if (event.id == EVENT_PADAXIS && IsPadAxis(event.data)) {
        pad->axis[event.data] = event.y;
    }
}

void StoreChar(int32_t character) {
    if (input.charWritePos - input.charReadPos >= kCharRingSize) return;
    input.charRing[input.charWritePos % kCharRingSize] = character;
    ++input.charWritePos;
}

void HandleInputEvent(const TEvent& event) {
    switch (event.id) {
        case EVENT_APPSUSPEND:
        case EVENT_APPRESUME:
            // Already inside the pump that delivers this event: clear without pumping again.
            ClearKeyboard();
            ClearMouseButtons();
            input.suspended = event.id == EVENT_APPSUSPEND;
            break;
        case EVENT_APPTERMINATE: input.terminateRequested = 1; break;
        case EVENT_KEYDOWN:
            if (IsKey(event.data)) Press(input.keyHeld, input.keyHitTally, event.data);
            break;
        case EVENT_KEYUP:
            if (IsKey(event.data)) input.keyHeld[event.data] = 0;
            break;
        case EVENT_KEYCHAR: StoreChar(event.data); break;
        case EVENT_MOUSEDOWN:
            if (IsButton(event.data) && !input.buttonHeld[event.data]) {
                input.buttonHeld[event.data] = 1;
                ++input.buttonHitTally[event.data];
            }
            break;
        case EVENT_MOUSEUP:
            if (IsButton(event.data)) input.buttonHeld[event.data] = 0;
            break;
        case EVENT_MOUSEMOVE:
            input.mouseX = event.x;
            input.mouseY = event.y;
            break;
        case EVENT_MOUSEWHEEL: input.mouseZ += event.data; break;
        case EVENT_PADCONNECT:
        case EVENT_PADDISCONNECT:
        case EVENT_PADBUTTONDOWN:
        case EVENT_PADBUTTONUP:
        case EVENT_PADAXIS: HandlePadEvent(event); break;
        default: break;
    }
}

Ref<TObject> InputHook(int32_t, Ref<TObject> data, Ref<TObject>) {
    const auto* event = dynamic_cast<const TEvent*>(data.get());
    if (event && (!input.sourceFilter || input.sourceFilter == event->source))
        HandleInputEvent(*event);
    return data;
}

void PumpBeforeQuery() {
    if (input.pollBeforeQuery) PumpMessages();
}

int32_t TakeCount(int32_t& tally) {
    const int32_t count = tally;
    tally = 0;
    return count;
}

}  // namespace

void InitInputModule() {
    InitSystemModule();
}

bool SetPollBeforeQuery(bool poll) {
    return std::exchange(input.pollBeforeQuery, poll);
}

void StartInputPolling(Ref<TObject> source) {
    InitInputModule();
    if (input.enabled) return;
    input.sourceFilter = std::move(source);
    FlushKeyboard();
    FlushMouseButtons();
    input.pads.clear();
    InstallHook(EventHookId(), InputHook, nullptr, 0);
    input.enabled = true;
    // The pads that connected before listening began.
    if (Ref<TSystemDriver> driver = CurrentSystemDriver()) driver->AnnouncePads();
}

void StopInputPolling() {
    if (!input.enabled) return;
    UninstallHook(EventHookId(), InputHook, nullptr);
    FlushKeyboard();
    FlushMouseButtons();
    input.pads.clear();
    input.sourceFilter = nullptr;
    input.enabled = false;
}

int32_t KeyHitCount(int32_t key) {
    PumpBeforeQuery();
    return IsKey(key) ? TakeCount(input.keyHitTally[key]) : 0;
}

int32_t KeyIsDown(int32_t key) {
    PumpBeforeQuery();
    return IsKey(key) ? input.keyHeld[key] : 0;
}

int32_t NextTypedChar() {
    PumpBeforeQuery();
    if (input.charReadPos == input.charWritePos) return 0;
    return input.charRing[input.charReadPos++ % kCharRingSize];
}

void FlushKeyboard() {
    PumpMessages();
    ClearKeyboard();
}

int32_t MouseXPos() {
    PumpBeforeQuery();
    return input.mouseX;
}

int32_t MouseYPos() {
    PumpBeforeQuery();
    return input.mouseY;
}

int32_t MouseZPos() {
    PumpBeforeQuery();
    return input.mouseZ;
}

int32_t MouseHitCount(int32_t button) {
    PumpBeforeQuery();
    return IsButton(button) ? TakeCount(input.buttonHitTally[button]) : 0;
}

int32_t MouseIsDown(int32_t button) {
    PumpBeforeQuery();
    return IsButton(button) ? input.buttonHeld[button] : 0;
}

void FlushMouseButtons() {
    PumpMessages();
    ClearMouseButtons();
}

int32_t PadCount() {
    PumpBeforeQuery();
    return static_cast<int32_t>(input.pads.size());
}

int32_t PadIsConnected(int32_t pad) {
    PumpBeforeQuery();
    return FindPad(pad) ? 1 : 0;
}

std::u16string PadName(int32_t pad) {
    PumpBeforeQuery();
    const TPadState* state = FindPad(pad);
    return state ? state->name : std::u16string();
}

int32_t PadButtonHitCount(int32_t pad, int32_t button) {
    PumpBeforeQuery();
    TPadState* state = FindPad(pad);
    return state && IsPadButton(button) ? TakeCount(state->hitTally[button]) : 0;
}

int32_t PadButtonIsDown(int32_t pad, int32_t button) {
    PumpBeforeQuery();
    const TPadState* state = FindPad(pad);
    return state && IsPadButton(button) ? state->held[button] : 0;
}

double PadAxis(int32_t pad, int32_t axis) {
    PumpBeforeQuery();
    const TPadState* state = FindPad(pad);
    if (!state || !IsPadAxis(axis)) return 0.0;
    // -32768 is one step beyond full scale on the negative side: both stops read 1.
    const double position = std::clamp(state->axis[axis], -32767, 32767) / 32767.0;
    const double distance = std::abs(position);
    if (distance <= PAD_DEAD_ZONE) return 0.0;
    return std::copysign((distance - PAD_DEAD_ZONE) / (1.0 - PAD_DEAD_ZONE), position);
}

int32_t AppIsSuspended() {
    PumpBeforeQuery();
    return input.suspended;
}

int32_t AppTerminateRequested() {
    PumpBeforeQuery();
    return TakeCount(input.terminateRequested);
}

int32_t WaitForKey() {
    FlushKeyboard();
    while (true) {
        WaitForMessages();
        for (int32_t key = 1; key < kKeyCount; ++key)
            if (KeyHitCount(key)) return key;
    }
}

int32_t WaitForChar() {
    FlushKeyboard();
    while (true) {
        WaitForMessages();
        if (int32_t character = NextTypedChar()) return character;
    }
}

int32_t WaitForMouse() {
    FlushMouseButtons();
    while (true) {
        WaitForMessages();
        for (int32_t button = 1; button < kButtonCount; ++button)
            if (MouseHitCount(button)) return button;
    }
}

}  // namespace qrv
