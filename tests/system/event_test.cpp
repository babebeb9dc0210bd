#include "system/event.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "event_recorder.h"
#include "system/hook.h"

namespace {

using qrv::Ref;
using qrv::TObject;

TEST(Events, ToStringOfAKeyPressOfEscape) {
    auto event = qrv::MakeEvent(qrv::EVENT_KEYDOWN, nullptr, 27);
    EXPECT_EQ(event->ToString(), u"KeyDown: data=27, mods=0, x=0, y=0, extra=\"\"");
}

TEST(Events, ToStringShowsEveryFieldAndATextExtra) {
    auto event = qrv::MakeEvent(qrv::EVENT_MOUSEDOWN, nullptr, 2, 5, -12, 300,
                                qrv::MakeText(u"кнопка"));
    EXPECT_EQ(event->ToString(), u"MouseDown: data=2, mods=5, x=-12, y=300, extra=\"кнопка\"");
}

TEST(Events, ToStringOfAnUnknownIdAndOfANonTextExtra) {
    auto event = qrv::MakeEvent(999, nullptr, -4, 0, 0, 0, qrv::MakeEvent(qrv::EVENT_KEYUP));
    EXPECT_EQ(event->ToString(), u"Unknown Event, id=999: data=-4, mods=0, x=0, y=0, extra=\"\"");
}

TEST(Events, EveryNamedIdHasItsName) {
    const std::pair<int32_t, const char16_t*> names[] = {
        {257, u"AppSuspend"}, {258, u"AppResume"}, {259, u"AppTerminate"}, {260, u"AppOpenFile"},
        {513, u"KeyDown"}, {514, u"KeyUp"}, {515, u"KeyChar"}, {516, u"KeyRepeat"},
        {1025, u"MouseDown"}, {1026, u"MouseUp"}, {1027, u"MouseMove"}, {1028, u"MouseWheel"},
        {1029, u"MouseEnter"}, {1030, u"MouseLeave"}, {2049, u"TimerTick"},
        {8193, u"GadgetAction"}, {8194, u"GadgetPaint"}, {8195, u"GadgetSelect"},
        {8196, u"GadgetMenu"}, {8197, u"GadgetOpen"}, {8198, u"GadgetClose"},
        {8199, u"GadgetDone"}, {8200, u"GadgetLostFocus"}, {16385, u"WindowMove"},
        {16386, u"WindowSize"}, {16387, u"WindowClose"}, {16388, u"WindowActivate"},
        {16389, u"WindowAccept"}, {32769, u"MenuAction"}};
    for (const auto& [id, name] : names) {
        const std::u16string text = qrv::MakeEvent(id)->ToString();
        EXPECT_EQ(text.substr(0, text.find(u':')), name) << "id " << id;
    }
    EXPECT_EQ(qrv::EventName(261), u"");
}

Ref<TObject> ReplaceWithText(int32_t, Ref<TObject>, Ref<TObject>) {
    return qrv::MakeText(u"replaced");
}

Ref<TObject> lastSeen;

Ref<TObject> Remember(int32_t, Ref<TObject> data, Ref<TObject>) {
    lastSeen = data;
    return data;
}

TEST(Events, EmitRunsTheChainWithTheEvent) {
    qrv::test::TRecording recording(-100);
    auto event = qrv::MakeEvent(qrv::EVENT_KEYCHAR, nullptr, 0x416);
    // The first hook returns other data; emitting still reaches every later hook.
    qrv::InstallHook(qrv::EventHookId(), ReplaceWithText, nullptr, 50);
    event->Emit();
    qrv::UninstallHook(qrv::EventHookId(), ReplaceWithText, nullptr);
    EXPECT_TRUE(recording->events.empty()) << "the recorder sees what the hook before returned";

    qrv::InstallHook(qrv::EventHookId(), Remember, nullptr, 0);
    event->Emit();
    qrv::UninstallHook(qrv::EventHookId(), Remember, nullptr);
    EXPECT_EQ(lastSeen, event) << "hooks receive the emitted object itself";
    lastSeen.reset();
    ASSERT_EQ(recording->events.size(), 1u);
    EXPECT_EQ(recording->events[0].data, 0x416);
}

TEST(Events, AnEventEmittedFromAHookIsDeliveredAtOnce) {
    qrv::test::TRecording recording(-100);
    struct TEcho {
        static Ref<TObject> Hook(int32_t, Ref<TObject> data, Ref<TObject>) {
            auto event = std::dynamic_pointer_cast<qrv::TEvent>(data);
            if (event && event->id == qrv::EVENT_KEYDOWN)
                qrv::MakeEvent(qrv::EVENT_KEYCHAR, nullptr, event->data)->Emit();
            return data;
        }
    };
    qrv::InstallHook(qrv::EventHookId(), TEcho::Hook, nullptr, 0);
    qrv::MakeEvent(qrv::EVENT_KEYDOWN, nullptr, 65)->Emit();
    qrv::UninstallHook(qrv::EventHookId(), TEcho::Hook, nullptr);
    // The nested KeyChar reaches the recorder (last in the chain) before the KeyDown does.
    EXPECT_EQ(recording->Ids(), (std::vector<int32_t>{qrv::EVENT_KEYCHAR, qrv::EVENT_KEYDOWN}));
}

TEST(Events, AnEventNotMadeByCreateIsStillDelivered) {
    qrv::test::TRecording recording;
    qrv::TEvent event;
    event.id = qrv::EVENT_KEYUP;
    event.data = 40;
    event.Emit();
    ASSERT_EQ(recording->events.size(), 1u);
    EXPECT_EQ(recording->events[0].data, 40);
}

}  // namespace
