#include "game/scenes.h"

#include <string_view>

#include "game/board.h"
#include "game/dialogue.h"
#include "game/missions.h"
#include "game/resources.h"
#include "game/settings.h"
#include "game/story_text.h"
#include "kaz2d/kaz2d_module.h"
#include "system/input.h"
#include "system/random.h"

namespace zorvak {

namespace {

constexpr int32_t CROSS_FADE_DELAY_MILLIS = 1;

void ShowPortraitLines(auto&& lines) {
    for (std::u16string_view line : lines) ShowPortraitLine(line);
}

void ShowReportLines(bool solved) {
    if (solved) {
        ShowPortraitLines(successLines);
    } else {
        ShowPortraitLines(failureLines);
    }
}

// What the instructor says once the portrait shows the level's picture.
void ShowVerdictClosing(bool solved, const TLevelStep& step) {
    if (!step.moved) {
        if (solved) {
            ShowPortraitLines(FinalSceneLines());
        } else {
            ShowPortraitLine(startOverLine);
        }
    } else if (!solved) {
        ShowPortraitLine(backToPreviousTaskLine);
    } else if (step.level == MISSION_COUNT - 1) {
        ShowPortraitLine(lastTaskLine);
    } else {
        ShowPortraitLine(nextTaskLine);
    }
}

void PlayBriefing(int level) {
    ShowNarrationLine(MissionAnnouncement(level));
    nextSpyCount = SpyCountFor(level, difficulty);
    if (DifficultyStatesSpyCount(difficulty)) ShowNarrationLine(SpyCountLine(level, difficulty));
    ShowNarrationLine(MissionSendOff(level));
}

}  // namespace

void PlayIntroductionScene() {
    for (std::u16string_view line : introLines) ShowNarrationLine(line);
    ShowNarrationLine(IntroFirstTaskLine(FirstMissionSpyCount(difficulty)));
    ShowNarrationLine(introStartLine);
}

void PlayResultScene(int solved) {
    const bool wasSolved = solved != VERDICT_FAILURE;
    qrv::FlushKeyboard();
    qrv::FlushMouseButtons();

    const int comment = qrv::RandomInt(OPENING_COMMENT_COUNT, 1);
    ShowPortraitLine(openingComments[comment - 1]);

    // Every line up to the fade still shows the old picture.
    const qrv::Ref<qrv::TImage> oldPicture = portrait->picture;
    ShowReportLines(wasSolved);
    const TLevelStep step = StepLevel(portrait->level, wasSolved);
    portrait->level = step.level;
    if (wasSolved && step.moved) ShowPortraitLines(RewardLines(step.level));

    portrait->SetPicture(step.level);
    if (step.moved) {
        CrossFade(oldPicture, portrait->picture, CROSS_FADE_DELAY_MILLIS);
        // The level moves one step per mission, so the old picture is not shown again for at
        // least two missions: its texture goes until then, and every picture of the long run
        // does not stay in texture memory at once.
        if (oldPicture && oldPicture != portrait->picture) oldPicture->ReleaseFrames();
    }
    ShowVerdictClosing(wasSolved, step);

    qrv::ClearScreen();
    PlayBriefing(step.level);
    const int answer = qrv::RandomInt(ACKNOWLEDGEMENT_COUNT, 1);
    ShowNarrationLine(acknowledgements[answer - 1]);
}

}  // namespace zorvak
