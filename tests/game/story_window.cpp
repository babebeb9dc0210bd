#include "tests/game/story_window.h"

#include "kaz2d/kaz2d_module.h"

namespace zorvak_test {

using namespace qrv;

namespace {

constexpr uint32_t DEFAULT_DEADLINE_MILLIS = 120000;

}  // namespace

void StoryWindow::SetUp() {
    GameWindow::SetUp();
    if (HasFatalFailure()) return;
    sessionClock = CurrentClock();
    deadline = std::make_shared<TDeadlineClock>(SessionClock(),
                                                Now() + DEFAULT_DEADLINE_MILLIS);
    SetClock(deadline);

    SetDrawColor(255, 255, 255);
    SetDrawAlpha(1);
    ClearScreen();
}

void StoryWindow::TearDown() {
    if (player) player->Stop();
    player.reset();
    if (sessionClock) SetClock(sessionClock);
    GameWindow::TearDown();
}

TStoryPlayer& StoryWindow::Play(int32_t answerKey) {
    player = std::make_shared<TStoryPlayer>(Script(), game, answerKey);
    player->Start();
    return *player;
}

}  // namespace zorvak_test
