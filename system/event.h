#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/object.h"

namespace qrv {

// Event ids; the high bits give the class (0x100 application, 0x200 key, 0x400 mouse, 0x800
// timer, 0x1000 game pad, 0x2000 gadget, 0x4000 window, 0x8000 menu).
inline constexpr int32_t EVENT_APPSUSPEND = 0x101;
inline constexpr int32_t EVENT_APPRESUME = 0x102;
inline constexpr int32_t EVENT_APPTERMINATE = 0x103;
inline constexpr int32_t EVENT_APPOPENFILE = 0x104;
inline constexpr int32_t EVENT_KEYDOWN = 0x201;
inline constexpr int32_t EVENT_KEYUP = 0x202;
inline constexpr int32_t EVENT_KEYCHAR = 0x203;
inline constexpr int32_t EVENT_KEYREPEAT = 0x204;
inline constexpr int32_t EVENT_MOUSEDOWN = 0x401;
inline constexpr int32_t EVENT_MOUSEUP = 0x402;
inline constexpr int32_t EVENT_MOUSEMOVE = 0x403;
inline constexpr int32_t EVENT_MOUSEWHEEL = 0x404;
inline constexpr int32_t EVENT_MOUSEENTER = 0x405;
inline constexpr int32_t EVENT_MOUSELEAVE = 0x406;
inline constexpr int32_t EVENT_TIMERTICK = 0x801;
// Game pad events: x is the pad's number. PadConnect carries the pad's name as text in extra;
// PadButtonDown and PadButtonUp the button (a PAD_BUTTON_ value) in data; PadAxis the axis (a
// PAD_AXIS_ value) in data and its new position in y, -32768..32767 for a stick and 0..32767 for a
// trigger, before any dead zone.
inline constexpr int32_t EVENT_PADCONNECT = 0x1001;
inline constexpr int32_t EVENT_PADDISCONNECT = 0x1002;
inline constexpr int32_t EVENT_PADBUTTONDOWN = 0x1003;
inline constexpr int32_t EVENT_PADBUTTONUP = 0x1004;
inline constexpr int32_t EVENT_PADAXIS = 0x1005;
inline constexpr int32_t EVENT_GADGETACTION = 0x2001;
inline constexpr int32_t EVENT_GADGETPAINT = 0x2002;
inline constexpr int32_t EVENT_GADGETSELECT = 0x2003;
inline constexpr int32_t EVENT_GADGETMENU = 0x2004;
inline constexpr int32_t EVENT_GADGETOPEN = 0x2005;
inline constexpr int32_t EVENT_GADGETCLOSE = 0x2006;
inline constexpr int32_t EVENT_GADGETDONE = 0x2007;
inline constexpr int32_t EVENT_GADGETLOSTFOCUS = 0x2008;
inline constexpr int32_t EVENT_WINDOWMOVE = 0x4001;
inline constexpr int32_t EVENT_WINDOWSIZE = 0x4002;
inline constexpr int32_t EVENT_WINDOWCLOSE = 0x4003;
inline constexpr int32_t EVENT_WINDOWACTIVATE = 0x4004;
inline constexpr int32_t EVENT_WINDOWACCEPT = 0x4005;
inline constexpr int32_t EVENT_MENUACTION = 0x8001;

// Modifier bits of TEvent::mods.
inline constexpr int32_t MODIFIER_SHIFT = 1;
inline constexpr int32_t MODIFIER_CONTROL = 2;
inline constexpr int32_t MODIFIER_ALT = 4;
inline constexpr int32_t MODIFIER_SYSTEM = 8;

// A small record of something that happened. Events are not queued: Emit delivers the event at
// once to every hook of EventHookId().
class TEvent final : public TObject, public std::enable_shared_from_this<TEvent> {
public:
    // id: an EVENT_ value. source: what the event concerns, or none. data: the key, button,
    // character or wheel steps. mods: the MODIFIER_ bits held. x and y: the pointer in the
    // window's pixels, for mouse events. extra: anything else the event carries, or none.
    int32_t id = 0;
    Ref<TObject> source;
    int32_t data = 0;
    int32_t mods = 0;
    int32_t x = 0;
    int32_t y = 0;
    Ref<TObject> extra;

    // "KeyDown: data=27, mods=0, x=0, y=0, extra=\"\"": the name (or "Unknown Event, id=N"),
    // the numbers, and extra's text when extra is a text.
    std::u16string ToString() const override;
    // Runs the hooks of EventHookId() with this event; their result is dropped.
    void Emit();

    // A new event with these values (not emitted).
    static Ref<TEvent> Create(int32_t id, Ref<TObject> source, int32_t data, int32_t mods,
                              int32_t x, int32_t y, Ref<TObject> extra);
};

// The same as TEvent::Create, with defaults for the values most events leave out.
Ref<TEvent> MakeEvent(int32_t id, Ref<TObject> source = nullptr, int32_t data = 0,
                      int32_t mods = 0, int32_t x = 0, int32_t y = 0, Ref<TObject> extra = nullptr);

// The name of an event id ("KeyDown"), or empty text for an id without one.
std::u16string EventName(int32_t id);

// Takes the emit-event hook id on first call; later calls do nothing.
void InitEventModule();
// The hook id on which every emitted event is delivered (initialises the module if needed).
int32_t EventHookId();

}  // namespace qrv
