#include "system/scripted_system_driver.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "event_recorder.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/event.h"
#include "system/input.h"
#include "system/keys.h"

namespace {

using qrv::test::TRecording;
using TRecorded = qrv::test::TEventRecorder::TRecorded;

TEST(ScriptedDriver, DeliversEventsWhenTheirTimeComesInTimeThenQueueOrder) {
    qrv::TScriptedSession session(100);
    auto& driver = session.Driver();
    TRecording recording;
    driver.PressKey(66, 130);
    driver.PressKey(65, 120);
    driver.TypeText(u"b", 130);
    driver.ReleaseKey(65, 120);

    qrv::PumpMessages();
    EXPECT_TRUE(recording->events.empty());
    qrv::DelayMillis(20);
    qrv::PumpMessages();
    EXPECT_EQ(recording->Ids(), (std::vector<int32_t>{qrv::EVENT_KEYDOWN, qrv::EVENT_KEYUP}));
    qrv::DelayMillis(10);
    qrv::PumpMessages();
    EXPECT_EQ(recording->Ids(), (std::vector<int32_t>{qrv::EVENT_KEYDOWN, qrv::EVENT_KEYUP,
                                                      qrv::EVENT_KEYDOWN, qrv::EVENT_KEYCHAR}));
    EXPECT_EQ(driver.PendingEventCount(), 0u);
}

TEST(ScriptedDriver, WaitJumpsTheClockToTheNextEventAndFailsWhenNothingIsLeft) {
    qrv::TScriptedSession session(0);
    TRecording recording;
    session.Driver().TurnWheel(1, 5000);
    session.Driver().TurnWheel(1, 7000);
    qrv::WaitForMessages();
    EXPECT_EQ(qrv::MillisecondClock(), 5000u);
    EXPECT_EQ(recording->events.size(), 1u);
    qrv::WaitForMessages();
    EXPECT_EQ(qrv::MillisecondClock(), 7000u);
    EXPECT_THROW(qrv::WaitForMessages(), qrv::TRuntimeError);
}

TEST(ScriptedDriver, WaitUntilWakesAtTheNextEventOrTheDeadlineWhicheverComesFirst) {
    qrv::TScriptedSession session(0);
    TRecording recording;
    session.Driver().TurnWheel(1, 300);
    qrv::WaitForMessagesUntil(200);
    EXPECT_EQ(qrv::MillisecondClock(), 200u);
    EXPECT_TRUE(recording->events.empty());
    qrv::WaitForMessagesUntil(900);
    EXPECT_EQ(qrv::MillisecondClock(), 300u);
    EXPECT_EQ(recording->events.size(), 1u);
    qrv::WaitForMessagesUntil(100);  // a deadline behind: only a poll
    EXPECT_EQ(qrv::MillisecondClock(), 300u);
    qrv::WaitForMessagesUntil(1000);  // nothing queued: sleeps to the deadline
    EXPECT_EQ(qrv::MillisecondClock(), 1000u);
}

TEST(ScriptedDriver, QueueOrderHoldsAcrossTheClockWrapping) {
    qrv::TScriptedSession session(0xFFFFFFF0u);
    TRecording recording;
    session.Driver().TurnWheel(2, 0x10);            // after the wrap
    session.Driver().TurnWheel(1, 0xFFFFFFF8u);     // before it
    qrv::WaitForMessages();
    qrv::WaitForMessages();
    ASSERT_EQ(recording->events.size(), 2u);
    EXPECT_EQ(recording->events[0].data, 1);
    EXPECT_EQ(recording->events[1].data, 2);
    EXPECT_EQ(qrv::MillisecondClock(), 0x10u);
}

TEST(ScriptedDriver, ModifierKeysSetTheModsOfTheirOwnAndLaterEvents) {
    qrv::TScriptedSession session;
    auto& driver = session.Driver();
    TRecording recording;
    driver.PressKey(qrv::KEY_LEFT_SHIFT, 0);
    driver.PressKey(qrv::KEY_RIGHT_CONTROL, 0);
    driver.Click(7, 8, 0, qrv::MOUSE_LEFT, 0);
    driver.ReleaseKey(qrv::KEY_LEFT_SHIFT, 0);
    driver.TapKey(qrv::KEY_ESCAPE, 0, 0);
    qrv::PumpMessages();
    const std::vector<TRecorded> expected = {
        {qrv::EVENT_KEYDOWN, 160, 1, 0, 0}, {qrv::EVENT_KEYDOWN, 163, 3, 0, 0},
        {qrv::EVENT_MOUSEMOVE, 0, 3, 7, 8}, {qrv::EVENT_MOUSEDOWN, 1, 3, 7, 8},
        {qrv::EVENT_MOUSEMOVE, 1, 3, 7, 8}, {qrv::EVENT_MOUSEUP, 1, 3, 7, 8},
        {qrv::EVENT_KEYUP, 160, 2, 0, 0},   {qrv::EVENT_KEYDOWN, 27, 2, 0, 0},
        {qrv::EVENT_KEYCHAR, 27, 2, 0, 0},  {qrv::EVENT_KEYUP, 27, 2, 0, 0}};
    EXPECT_EQ(recording->events, expected) << recording->Describe();
}

TEST(ScriptedDriver, TheProgramsSleepAdvancesTheSameClock) {
    qrv::TScriptedSession session(50);
    session.Driver().PressKey(65, 60);
    qrv::DelayMillis(-5);
    EXPECT_EQ(qrv::MillisecondClock(), 50u) << "a negative delay does nothing";
    qrv::DelayMillis(10);
    EXPECT_EQ(qrv::MillisecondClock(), 60u);
    EXPECT_EQ(session.Driver().NextEventTime(), 60u);
}

TEST(ScriptedDriver, PointerBoxesRequestersAndUrlsAreRecordedAndAnswered) {
    qrv::TScriptedSession session;
    auto& driver = session.Driver();
    TRecording recording;
    qrv::SetPointerPosition(30, 40);
    qrv::PumpMessages();
    EXPECT_EQ(recording->events, (std::vector<TRecorded>{{qrv::EVENT_MOUSEMOVE, 0, 0, 30, 40}}));
    qrv::HidePointer();
    EXPECT_FALSE(driver.MouseVisible());

    driver.AnswerNextBox(1);
    driver.AnswerNextBox(7);
    EXPECT_EQ(qrv::ConfirmBox(u"Save?"), 1);
    EXPECT_EQ(qrv::ProceedBox(u"Really?", true), -1) << "an answer no button gives is a cancel";
    EXPECT_EQ(qrv::ProceedBox(u"Again?"), -1) << "unanswered boxes are cancelled";
    ASSERT_EQ(driver.ShownBoxes().size(), 3u);
    EXPECT_EQ(driver.ShownBoxes()[1].text, u"Really?");
    EXPECT_TRUE(driver.ShownBoxes()[1].serious);

    driver.AnswerNextRequester(u"/tmp/a.png");
    EXPECT_EQ(qrv::AskForFile(u"Open", u"Images:png", false, u"x.png"), u"/tmp/a.png");
    EXPECT_EQ(qrv::AskForFolder(u"Where", u"."), u"");
    ASSERT_EQ(driver.Requests().size(), 2u);
    EXPECT_TRUE(driver.Requests()[1].folder);

    qrv::OpenInBrowser(u"HTTP://example.org/");
    EXPECT_EQ(driver.OpenedUrls(), std::vector<std::u16string>{u"HTTP://example.org/"});
}

// A scripted program ends where the test can see it: Escape ends this one.
void RunUntilEscape() {
    while (true) {
        if (qrv::KeyHitCount(qrv::KEY_ESCAPE)) qrv::EndProgram();
        qrv::DelayMillis(1);
    }
}

TEST(ScriptedDriver, EndingTheProgramRaisesInsteadOfExiting) {
    qrv::TScriptedSession session;
    qrv::StartInputPolling();
    session.Driver().TapKey(qrv::KEY_ESCAPE, 250);
    EXPECT_THROW(RunUntilEscape(), qrv::TProgramEnded);
    EXPECT_EQ(qrv::MillisecondClock(), 250u);
    qrv::StopInputPolling();
}

TEST(ScriptedDriver, ASessionRestoresTheDriverAndClockBeforeIt) {
    const auto driverBefore = qrv::CurrentSystemDriver();
    const auto clockBefore = qrv::CurrentClock();
    {
        qrv::TScriptedSession outer(10);
        {
            qrv::TScriptedSession inner(20);
            EXPECT_EQ(qrv::MillisecondClock(), 20u);
        }
        EXPECT_EQ(qrv::MillisecondClock(), 10u);
        EXPECT_EQ(qrv::CurrentSystemDriver().get(), &outer.Driver());
    }
    EXPECT_EQ(qrv::CurrentSystemDriver(), driverBefore);
    EXPECT_EQ(qrv::CurrentClock(), clockBefore);
}

}  // namespace
