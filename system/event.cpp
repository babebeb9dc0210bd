#include "system/event.h"

#include "core/text.h"
#include "system/hook.h"

namespace qrv {
namespace {

struct TEventName {
    int32_t id;
    const char16_t* name;
};

constexpr TEventName kEventNames[] = {
    {EVENT_APPSUSPEND, u"AppSuspend"},
    {EVENT_APPRESUME, u"AppResume"},
    {EVENT_APPTERMINATE, u"AppTerminate"},
    {EVENT_APPOPENFILE, u"AppOpenFile"},
    {EVENT_KEYDOWN, u"KeyDown"},
    {EVENT_KEYUP, u"KeyUp"},
    {EVENT_KEYCHAR, u"KeyChar"},
    {EVENT_KEYREPEAT, u"KeyRepeat"},
    {EVENT_MOUSEDOWN, u"MouseDown"},
    {EVENT_MOUSEUP, u"MouseUp"},
    {EVENT_MOUSEMOVE, u"MouseMove"},
    {EVENT_MOUSEWHEEL, u"MouseWheel"},
    {EVENT_MOUSEENTER, u"MouseEnter"},
    {EVENT_MOUSELEAVE, u"MouseLeave"},
    {EVENT_TIMERTICK, u"TimerTick"},
    {EVENT_PADCONNECT, u"PadConnect"},
    {EVENT_PADDISCONNECT, u"PadDisconnect"},
    {EVENT_PADBUTTONDOWN, u"PadButtonDown"},
    {EVENT_PADBUTTONUP, u"PadButtonUp"},
    {EVENT_PADAXIS, u"PadAxis"},
    {EVENT_GADGETACTION, u"GadgetAction"},
    {EVENT_GADGETPAINT, u"GadgetPaint"},
    {EVENT_GADGETSELECT, u"GadgetSelect"},
    {EVENT_GADGETMENU, u"GadgetMenu"},
    {EVENT_GADGETOPEN, u"GadgetOpen"},
    {EVENT_GADGETCLOSE, u"GadgetClose"},
    {EVENT_GADGETDONE, u"GadgetDone"},
    {EVENT_GADGETLOSTFOCUS, u"GadgetLostFocus"},
    {EVENT_WINDOWMOVE, u"WindowMove"},
    {EVENT_WINDOWSIZE, u"WindowSize"},
    {EVENT_WINDOWCLOSE, u"WindowClose"},
    {EVENT_WINDOWACTIVATE, u"WindowActivate"},
    {EVENT_WINDOWACCEPT, u"WindowAccept"},
    {EVENT_MENUACTION, u"MenuAction"},
};

int32_t eventHookId = -1;

std::u16string Decimal(int32_t value) {
    return FromLatin1(std::to_string(value));
}

}  // namespace

std::u16string EventName(int32_t id) {
    for (const auto& entry : kEventNames)
        if (entry.id == id) return entry.name;
    return {};
}

std::u16string TEvent::ToString() const {
    std::u16string text = EventName(id);
    if (text.empty()) text = u"Unknown Event, id=" + Decimal(id);
    text += u": data=" + Decimal(data);
    text += u", mods=" + Decimal(mods);
    text += u", x=" + Decimal(x);
    text += u", y=" + Decimal(y);
    text += u", extra=\"";
    if (const std::u16string* extraText = AsText(extra)) text += *extraText;
    text += u"\"";
    return text;
}

void TEvent::Emit() {
    // Hooks receive this very event; one not made by Create is delivered as a copy.
    Ref<TEvent> self = weak_from_this().lock();
    if (!self) self = Create(id, source, data, mods, x, y, extra);
    CallHooks(EventHookId(), std::move(self));
}

Ref<TEvent> TEvent::Create(int32_t id, Ref<TObject> source, int32_t data, int32_t mods,
                           int32_t x, int32_t y, Ref<TObject> extra) {
    auto event = std::make_shared<TEvent>();
    event->id = id;
    event->source = std::move(source);
    event->data = data;
    event->mods = mods;
    event->x = x;
    event->y = y;
    event->extra = std::move(extra);
    return event;
}

Ref<TEvent> MakeEvent(int32_t id, Ref<TObject> source, int32_t data, int32_t mods, int32_t x,
                      int32_t y, Ref<TObject> extra) {
    return TEvent::Create(id, std::move(source), data, mods, x, y, std::move(extra));
}

void InitEventModule() {
    if (eventHookId < 0) eventHookId = NewHookId();
}

int32_t EventHookId() {
    InitEventModule();
    return eventHookId;
}

}  // namespace qrv
