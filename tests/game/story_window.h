#pragma once

#include "system/clock.h"
#include "tests/game/game_window.h"
#include "tests/game/story_player.h"

namespace zorvak_test {

// The game window with a deadline on sleeping, so that a line left unanswered fails the test
// instead of waiting for ever. Its fresh game is at level 0 with its picture, difficulty 0.
class StoryWindow : public GameWindow {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a player that answers every line with the key.
    TStoryPlayer& Play(int32_t answerKey = 13);
    // From now on, sleeping more than ms later raises TScriptStalled.
    void StallAfter(uint32_t ms) { deadline->deadline = Now() + ms; }

    qrv::Ref<TStoryPlayer> player;

private:
    qrv::Ref<qrv::TClock> sessionClock;
    qrv::Ref<TDeadlineClock> deadline;
};

}  // namespace zorvak_test
