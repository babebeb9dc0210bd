#include <gtest/gtest.h>

#include <vector>

#include "event_recorder.h"
#include "system/event.h"
#include "system/keys.h"
#include "system/scripted_system_driver.h"

namespace {

using qrv::test::TRecording;
using TRecorded = qrv::test::TEventRecorder::TRecorded;

// A right-button drag, scripted as a user makes it: the moves while the button is held say so.
TEST(Pointer, ScriptedDragsReportTheHeldButtonAndEndWhereReleased) {
    qrv::TScriptedSession session;
    auto& driver = session.Driver();
    TRecording recording;
    driver.PressButton(qrv::MOUSE_RIGHT, 10, 20, 0);
    driver.MovePointer(50, 60, 10);
    driver.ReleaseButton(qrv::MOUSE_RIGHT, 70, 80, 20);
    driver.MovePointer(90, 95, 30);
    while (driver.PendingEventCount() > 0) qrv::WaitForMessages();

    const std::vector<TRecorded> expected = {
        {qrv::EVENT_MOUSEMOVE, 0, 0, 10, 20}, {qrv::EVENT_MOUSEDOWN, qrv::MOUSE_RIGHT, 0, 10, 20},
        {qrv::EVENT_MOUSEMOVE, 2, 0, 50, 60}, {qrv::EVENT_MOUSEMOVE, 2, 0, 70, 80},
        {qrv::EVENT_MOUSEUP, qrv::MOUSE_RIGHT, 0, 70, 80}, {qrv::EVENT_MOUSEMOVE, 0, 0, 90, 95}};
    EXPECT_EQ(recording->events, expected) << recording->Describe();
    EXPECT_EQ(driver.PointerX(), 90);
    EXPECT_EQ(driver.PointerY(), 95);
}

TEST(Pointer, ShowingAndHidingReachTheDriver) {
    qrv::TScriptedSession session;
    qrv::HidePointer();
    EXPECT_FALSE(session.Driver().MouseVisible());
    qrv::ShowPointer();
    EXPECT_TRUE(session.Driver().MouseVisible());
}

}  // namespace
