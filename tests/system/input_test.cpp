#include "system/input.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "system/event.h"
#include "system/hook.h"
#include "system/keys.h"
#include "system/scripted_system_driver.h"

namespace {

using qrv::MOUSE_LEFT;
using qrv::MOUSE_MIDDLE;
using qrv::MOUSE_RIGHT;

// Polled input listening to a scripted driver on virtual time starting at 1000.
class Input : public testing::Test {
protected:
    void SetUp() override { qrv::StartInputPolling(); }
    void TearDown() override { qrv::StopInputPolling(); }

    qrv::TScriptedSession session{1000};
    qrv::TScriptedSystemDriver& driver = session.Driver();
    uint32_t Now() { return session.Now(); }
    void Sleep(int32_t ms) { session.Clock().Advance(ms); }
};

TEST_F(Input, HitCountsAreReadOnceAndHeldKeysFollowPressAndRelease) {
    driver.TapKey(65, Now());
    driver.TapKey(65, Now() + 100);
    driver.PressKey(66, Now() + 200);
    Sleep(300);
    EXPECT_EQ(qrv::KeyHitCount(65), 2);
    EXPECT_EQ(qrv::KeyHitCount(65), 0);
    EXPECT_EQ(qrv::KeyIsDown(65), 0);
    EXPECT_EQ(qrv::KeyIsDown(66), 1);
    EXPECT_EQ(qrv::KeyHitCount(66), 1);
    EXPECT_EQ(qrv::KeyIsDown(66), 1) << "reading the hits leaves the key held";
}

TEST_F(Input, QueriesPumpSoEventsArriveOnlyWhenTheirTimeHasCome) {
    driver.PressKey(qrv::KEY_SPACE, Now() + 10);
    EXPECT_EQ(qrv::KeyHitCount(qrv::KEY_SPACE), 0);
    Sleep(9);
    EXPECT_EQ(qrv::KeyHitCount(qrv::KEY_SPACE), 0);
    Sleep(1);
    EXPECT_EQ(qrv::KeyHitCount(qrv::KEY_SPACE), 1);
}

TEST_F(Input, WithoutPollBeforeQueryOnlyFlushesAndWaitsPump) {
    const bool previous = qrv::SetPollBeforeQuery(false);
    driver.TapKey(65, Now());
    driver.Click(5, 6, Now(), MOUSE_RIGHT);
    driver.TypeText(u"x", Now());
    EXPECT_EQ(qrv::KeyHitCount(65), 0);
    EXPECT_EQ(qrv::MouseHitCount(MOUSE_RIGHT), 0);
    EXPECT_EQ(qrv::NextTypedChar(), 0);
    qrv::PumpMessages();
    EXPECT_EQ(qrv::KeyHitCount(65), 1);
    EXPECT_EQ(qrv::MouseXPos(), 5);
    EXPECT_EQ(qrv::NextTypedChar(), u'x');
    driver.TapKey(66, Now() + 50);
    EXPECT_EQ(qrv::WaitForKey(), 66) << "waits still deliver";
    driver.TapKey(67, Now());
    qrv::FlushKeyboard();
    EXPECT_EQ(qrv::KeyHitCount(67), 0) << "the flush pumped before forgetting";
    EXPECT_FALSE(qrv::SetPollBeforeQuery(previous));
}

TEST_F(Input, AHeldKeyCountsOneHitButEveryRepeatTypesACharacter) {
    driver.PressKey(qrv::KEY_ENTER, Now());
    for (uint32_t t = 500; t < 1000; t += 100) driver.RepeatKey(qrv::KEY_ENTER, Now() + t);
    driver.ReleaseKey(qrv::KEY_ENTER, Now() + 1000);
    Sleep(1000);
    EXPECT_EQ(qrv::KeyHitCount(qrv::KEY_ENTER), 1);
    int typed = 0;
    while (qrv::NextTypedChar() == qrv::KEY_ENTER) ++typed;
    EXPECT_EQ(typed, 6);
    EXPECT_EQ(qrv::NextTypedChar(), 0);
}

TEST_F(Input, TheCharacterQueueHolds256AndDropsTheRest) {
    std::u16string text;
    for (int i = 0; i < 257; ++i) text += static_cast<char16_t>(u'А' + i % 32);
    driver.TypeText(text, Now());
    EXPECT_EQ(qrv::NextTypedChar(), u'А');
    // 255 wait now; one more fits, and the 257th typed above was dropped.
    driver.TypeText(u"ю", Now());
    driver.TypeText(u"я", Now());
    int count = 1;
    int32_t last = 0;
    for (int32_t c; (c = qrv::NextTypedChar()) != 0; last = c) ++count;
    EXPECT_EQ(count, 257);
    EXPECT_EQ(last, u'ю');
}

TEST_F(Input, FlushKeyboardForgetsKeysHitsAndPendingCharacters) {
    driver.PressKey(qrv::KEY_ESCAPE, Now());
    driver.TypeText(u"abc", Now());
    qrv::FlushKeyboard();
    EXPECT_EQ(qrv::NextTypedChar(), 0);
    EXPECT_EQ(qrv::KeyIsDown(qrv::KEY_ESCAPE), 0);
    EXPECT_EQ(qrv::KeyHitCount(qrv::KEY_ESCAPE), 0);
    driver.TypeText(u"z", Now());
    EXPECT_EQ(qrv::NextTypedChar(), u'z') << "the queue works again after a flush";
}

TEST_F(Input, ButtonsPointerAndWheel) {
    driver.Click(40, 50, Now(), MOUSE_RIGHT);
    driver.PressButton(MOUSE_MIDDLE, 41, 52, Now() + 100);
    driver.TurnWheel(3, Now() + 110);
    driver.TurnWheel(-1, Now() + 120);
    Sleep(200);
    EXPECT_EQ(qrv::MouseHitCount(MOUSE_RIGHT), 1);
    EXPECT_EQ(qrv::MouseHitCount(MOUSE_RIGHT), 0);
    EXPECT_EQ(qrv::MouseIsDown(MOUSE_RIGHT), 0);
    EXPECT_EQ(qrv::MouseIsDown(MOUSE_MIDDLE), 1);
    EXPECT_EQ(qrv::MouseHitCount(MOUSE_LEFT), 0);
    EXPECT_EQ(qrv::MouseXPos(), 41);
    EXPECT_EQ(qrv::MouseYPos(), 52);
    EXPECT_EQ(qrv::MouseZPos(), 2);

    qrv::FlushMouseButtons();
    EXPECT_EQ(qrv::MouseIsDown(MOUSE_MIDDLE), 0);
    EXPECT_EQ(qrv::MouseZPos(), 0);
    EXPECT_EQ(qrv::MouseXPos(), 41) << "a flush keeps the pointer position";
    EXPECT_EQ(qrv::MouseYPos(), 52);
}

TEST_F(Input, FocusLossForgetsHeldKeysSoAKeyReleasedElsewhereDoesNotStayDown) {
    driver.PressKey(qrv::KEY_LEFT_SHIFT, Now());
    driver.PressButton(MOUSE_LEFT, 5, 5, Now());
    driver.TypeText(u"q", Now());
    driver.LoseFocus(Now() + 10);
    Sleep(10);
    EXPECT_EQ(qrv::AppIsSuspended(), 1);
    EXPECT_EQ(qrv::KeyIsDown(qrv::KEY_LEFT_SHIFT), 0);
    EXPECT_EQ(qrv::KeyHitCount(qrv::KEY_LEFT_SHIFT), 0);
    EXPECT_EQ(qrv::MouseIsDown(MOUSE_LEFT), 0);
    EXPECT_EQ(qrv::NextTypedChar(), 0);

    driver.GainFocus(Now() + 10);
    Sleep(10);
    EXPECT_EQ(qrv::AppIsSuspended(), 0);
}

TEST_F(Input, ACloseRequestIsReportedOnce) {
    driver.RequestClose(Now());
    EXPECT_EQ(qrv::AppTerminateRequested(), 1);
    EXPECT_EQ(qrv::AppTerminateRequested(), 0);
}

TEST_F(Input, WaitForKeyGivesTheLowestCodeHitAndSkipsTimeToTheFirstEvent) {
    driver.TapKey(90, Now() + 500);
    driver.TapKey(qrv::KEY_SPACE, Now() + 500);
    driver.TapKey(70, Now() + 500);
    EXPECT_EQ(qrv::WaitForKey(), qrv::KEY_SPACE);
    EXPECT_EQ(Now(), 1500u);
}

TEST_F(Input, WaitsIgnoreWhatCameBefore) {
    driver.TapKey(65, Now());
    driver.Click(1, 1, Now());
    driver.TypeText(u"x", Now());
    driver.TapKey(66, Now() + 50);
    EXPECT_EQ(qrv::WaitForKey(), 66) << "the flush at the start drops the earlier hit";

    driver.Click(3, 3, Now() + 10, MOUSE_MIDDLE);
    driver.Click(3, 3, Now() + 20, MOUSE_RIGHT);
    EXPECT_EQ(qrv::WaitForMouse(), MOUSE_MIDDLE);

    driver.TypeText(u"ёж", Now() + 5);
    EXPECT_EQ(qrv::WaitForChar(), u'ё');
}

TEST_F(Input, WaitingWithNothingScriptedFailsInsteadOfHanging) {
    EXPECT_THROW((void)qrv::WaitForChar(), qrv::TRuntimeError);
}

TEST_F(Input, KeysAndButtonsOutsideTheirRangesReadAsNothing) {
    driver.QueueEvent(Now(), qrv::EVENT_KEYDOWN, 300);
    driver.QueueEvent(Now(), qrv::EVENT_KEYDOWN, -1);
    driver.QueueEvent(Now(), qrv::EVENT_MOUSEDOWN, 4);
    driver.QueueEvent(Now(), qrv::EVENT_MOUSEDOWN, 0);
    EXPECT_EQ(qrv::KeyHitCount(300), 0);
    EXPECT_EQ(qrv::KeyIsDown(256), 0);
    EXPECT_EQ(qrv::KeyHitCount(-1), 0);
    EXPECT_EQ(qrv::MouseHitCount(4), 0);
    EXPECT_EQ(qrv::MouseIsDown(0), 0);
    EXPECT_EQ(qrv::MouseIsDown(-2), 0);
}

// Scripted pads reach the polled state as the SDL driver's do, on every platform; listening
// restarted learns of the pads connected meanwhile, with their sticks where they stand.
TEST_F(Input, ScriptedPadsTheirDeadZoneAndAListenerStartingLate) {
    using namespace qrv;
    driver.ConnectPad(0, u"Left hand", Now());
    driver.PressPadButton(0, PAD_BUTTON_Y, Now() + 10);
    driver.MovePadAxis(0, PAD_AXIS_LEFT_X, 16384, Now() + 10);
    driver.MovePadAxis(0, PAD_AXIS_TRIGGER_LEFT, 4915, Now() + 10);
    driver.QueueEvent(Now() + 10, EVENT_PADBUTTONDOWN, PAD_BUTTON_A, 1);  // pad 1 is not connected
    Sleep(10);
    EXPECT_EQ(PadName(0), u"Left hand");
    EXPECT_EQ(PadButtonHitCount(0, PAD_BUTTON_Y), 1);
    EXPECT_DOUBLE_EQ(PadAxis(0, PAD_AXIS_LEFT_X), (16384 / 32767.0 - 0.15) / 0.85);
    EXPECT_EQ(PadAxis(0, PAD_AXIS_TRIGGER_LEFT), 0.0) << "inside the dead zone";
    EXPECT_EQ(PadIsConnected(1), 0);
    EXPECT_EQ(PadButtonIsDown(1, PAD_BUTTON_A), 0);

    StopInputPolling();
    driver.ConnectPad(1, u"Right hand", Now());
    driver.MovePadAxis(1, PAD_AXIS_RIGHT_Y, -32768, Now());
    PumpMessages();
    StartInputPolling();
    EXPECT_EQ(PadCount(), 2);
    EXPECT_EQ(PadName(1), u"Right hand");
    EXPECT_EQ(PadAxis(1, PAD_AXIS_RIGHT_Y), -1.0);
    EXPECT_EQ(PadButtonIsDown(0, PAD_BUTTON_Y), 0) << "held buttons are not announced";

    driver.DisconnectPad(0, Now());
    EXPECT_EQ(PadCount(), 1);
    EXPECT_EQ(PadName(0), u"");
}

TEST_F(Input, ASourceFilterTakesOnlyThatSourcesEvents) {
    qrv::StopInputPolling();
    auto window = qrv::MakeText(u"window");
    qrv::StartInputPolling(window);
    driver.QueueEvent(Now(), qrv::EVENT_KEYDOWN, 65, 0, 0, qrv::MakeText(u"other"));
    driver.QueueEvent(Now(), qrv::EVENT_KEYDOWN, 66, 0, 0, nullptr);
    driver.QueueEvent(Now(), qrv::EVENT_KEYDOWN, 67, 0, 0, window);
    EXPECT_EQ(qrv::KeyHitCount(65), 0);
    EXPECT_EQ(qrv::KeyHitCount(66), 0);
    EXPECT_EQ(qrv::KeyHitCount(67), 1);
}

TEST_F(Input, StartingTwiceListensOnceAndStoppingStopsListening) {
    qrv::StartInputPolling();
    driver.TypeText(u"a", Now());
    EXPECT_EQ(qrv::NextTypedChar(), u'a');
    EXPECT_EQ(qrv::NextTypedChar(), 0) << "a second hook would have stored the character twice";

    qrv::StopInputPolling();
    driver.TapKey(65, Now());
    EXPECT_EQ(qrv::KeyHitCount(65), 0);
    qrv::StartInputPolling();
    EXPECT_EQ(qrv::KeyHitCount(65), 0) << "starting clears and the tap was delivered while stopped";
}

// Queries made from inside an event hook must not pump again: the nested pump would deliver
// the next event before the current one has finished.
int32_t hitsSeenInHook = -1;
qrv::Ref<qrv::TObject> QueryFromHook(int32_t, qrv::Ref<qrv::TObject> data, qrv::Ref<qrv::TObject>) {
    auto event = std::dynamic_pointer_cast<qrv::TEvent>(data);
    if (event && event->id == qrv::EVENT_KEYDOWN && event->data == 65)
        hitsSeenInHook = qrv::KeyHitCount(66);
    return data;
}

TEST_F(Input, AQueryInsideAHookDoesNotPumpAgain) {
    qrv::InstallHook(qrv::EventHookId(), QueryFromHook, nullptr, -10);
    driver.PressKey(65, Now());
    driver.PressKey(66, Now());
    EXPECT_EQ(qrv::KeyIsDown(66), 1);
    qrv::UninstallHook(qrv::EventHookId(), QueryFromHook, nullptr);
    EXPECT_EQ(hitsSeenInHook, 0);
    EXPECT_EQ(qrv::KeyHitCount(66), 1);
}

}  // namespace
