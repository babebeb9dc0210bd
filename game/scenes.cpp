#include "game/scenes.h"

#include <string_view>

#include "game/dialogue.h"
#include "game/game.h"
#include "game/missions.h"
#include "game/story_text.h"
#include "kaz2d/kaz2d_module.h"
#include "system/input.h"
#include "system/random.h"

namespace zorvak {

namespace {

constexpr int32_t CROSS_FADE_DELAY_MILLIS = 1;

void ShowPortraitLines(TGame& game, auto&& lines) {
    for (std::u16string_view line : lines) ShowPortraitLine(game, line);
}

void ShowReportLines(TGame& game, bool solved) {
    if (solved) {
        ShowPortraitLines(game, successLines);
    } else {
        ShowPortraitLines(game, failureLines);
    }
}

// What the instructor says once the portrait shows the level's picture.
void ShowVerdictClosing(TGame& game, bool solved, const TLevelStep& step) {
    if (!step.moved) {
        if (solved) {
            ShowPortraitLines(game, FinalSceneLines());
        } else {
            ShowPortraitLine(game, startOverLine);
        }
    } else if (!solved) {
        ShowPortraitLine(game, backToPreviousTaskLine);
    } else if (step.level == MISSION_COUNT - 1) {
        ShowPortraitLine(game, lastTaskLine);
    } else {
        ShowPortraitLine(game, nextTaskLine);
    }
}

void PlayBriefing(TGame& game, int level) {
    const int32_t difficulty = game.settings.difficulty;
    ShowNarrationLine(game, MissionAnnouncement(level));
    game.board.nextSpyCount = SpyCountFor(level, difficulty);
    if (DifficultyStatesSpyCount(difficulty))
        ShowNarrationLine(game, SpyCountLine(level, difficulty));
    ShowNarrationLine(game, MissionSendOff(level));
}

}  // namespace

void PlayIntroductionScene(TGame& game) {
    for (std::u16string_view line : introLines) ShowNarrationLine(game, line);
    ShowNarrationLine(game, IntroFirstTaskLine(FirstMissionSpyCount(game.settings.difficulty)));
    ShowNarrationLine(game, introStartLine);
}

void PlayResultScene(TGame& game, int solved) {
    TGirl& portrait = *game.resources.portrait;
    const bool wasSolved = solved != VERDICT_FAILURE;
    qrv::FlushKeyboard();
    qrv::FlushMouseButtons();

    const int comment = qrv::RandomInt(OPENING_COMMENT_COUNT, 1);
    ShowPortraitLine(game, openingComments[comment - 1]);

    // Every line up to the fade still shows the old picture.
    const qrv::Ref<qrv::TImage> oldPicture = portrait.picture;
    ShowReportLines(game, wasSolved);
    const TLevelStep step = StepLevel(portrait.level, wasSolved);
    portrait.level = step.level;
    if (wasSolved && step.moved) ShowPortraitLines(game, RewardLines(step.level));

    portrait.SetPicture(step.level);
    if (step.moved) {
        CrossFade(portrait, oldPicture, portrait.picture, CROSS_FADE_DELAY_MILLIS);
        // The level moves one step per mission, so the old picture is not shown again for at
        // least two missions: its texture goes until then, and every picture of the long run
        // does not stay in texture memory at once.
        if (oldPicture && oldPicture != portrait.picture) oldPicture->ReleaseFrames();
    }
    ShowVerdictClosing(game, wasSolved, step);

    qrv::ClearScreen();
    PlayBriefing(game, step.level);
    const int answer = qrv::RandomInt(ACKNOWLEDGEMENT_COUNT, 1);
    ShowNarrationLine(game, acknowledgements[answer - 1]);
}

}  // namespace zorvak
