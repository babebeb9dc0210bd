// The introduction and the scene after a verdict, played in the game window with a scripted
// player answering every line: the lines in order, where they are shown, the level and the
// picture it leaves, the cross-fade, and the count the next board gets.
#include <gtest/gtest.h>

#include <set>

#include "core/text.h"
#include "game/dialogue_layout.h"
#include "game/game.h"
#include "game/missions.h"
#include "game/scenes.h"
#include "game/story_text.h"
#include "system/application.h"
#include "system/random.h"
#include "tests/game/story_window.h"

namespace {

using namespace zorvak;
using zorvak_test::TShown;
using zorvak_test::TShownLine;
using Lines = std::vector<std::u16string>;

class Scenes : public zorvak_test::StoryWindow {
protected:
    // The opening comment that the scene will draw first after SeedRandom(seed).
    static std::u16string OpeningCommentFor(int32_t seed) {
        qrv::SeedRandom(seed);
        const int r = qrv::RandomInt(OPENING_COMMENT_COUNT, 1);
        qrv::SeedRandom(seed);
        return std::u16string(openingComments[r - 1]);
    }

    // The acknowledgement drawn right after the line shown with this generator state.
    static std::u16string AcknowledgementAfter(const TShownLine& line) {
        const int32_t saved = qrv::GetRandomSeed();
        qrv::SeedRandom(line.randomState);
        const int a = qrv::RandomInt(ACKNOWLEDGEMENT_COUNT, 1);
        qrv::SeedRandom(saved);
        return std::u16string(acknowledgements[a - 1]);
    }

    // The briefing of a level and the acknowledgement, as the player should see them.
    Lines Briefing(int level) const {
        Lines lines = {std::u16string(MissionAnnouncement(level))};
        if (DifficultyStatesSpyCount(game.settings.difficulty))
            lines.emplace_back(SpyCountLine(level, game.settings.difficulty));
        lines.emplace_back(MissionSendOff(level));
        return lines;
    }

    // Plays the scene and checks that it ends with the briefing of `level` and the player's
    // acknowledgement; gives the lines before the briefing.
    Lines PlayAndSplitBriefing(int solved, int level) {
        zorvak_test::TStoryPlayer& shown = player ? *player : Play();
        const size_t before = shown.lines.size();
        PlayResultScene(game, solved);
        const std::vector<TShownLine> lines(shown.lines.begin() + before, shown.lines.end());
        const Lines briefing = Briefing(level);
        EXPECT_GE(lines.size(), briefing.size() + 1);
        if (lines.size() < briefing.size() + 1) return {};
        const size_t split = lines.size() - briefing.size() - 1;
        Lines head, tail;
        for (size_t i = 0; i < lines.size(); ++i) {
            const TShown expected = i < split ? TShown::PortraitLine : TShown::Narration;
            EXPECT_EQ(lines[i].kind, expected) << "line " << i << ": " << qrv::ToUtf8(lines[i].text);
            (i < split ? head : tail).push_back(lines[i].text);
        }
        Lines expectedTail = briefing;
        expectedTail.push_back(AcknowledgementAfter(lines[lines.size() - 2]));
        EXPECT_EQ(tail, expectedTail);
        return head;
    }

    static Lines Join(std::initializer_list<Lines> parts) {
        Lines all;
        for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    }
    template <typename Range>
    static Lines Of(const Range& range) {
        return Lines(range.begin(), range.end());
    }
};

TEST_F(Scenes, FailureAtLevelZeroStartsOverWithoutAFade) {
    const std::u16string opening = OpeningCommentFor(5);
    const Lines head = PlayAndSplitBriefing(VERDICT_FAILURE, 0);
    EXPECT_EQ(head, Join({{opening}, Of(failureLines), {std::u16string(startOverLine)}}));
    EXPECT_EQ(player->fadeFrames, 0);
    EXPECT_EQ(Girl().level, 0);
    EXPECT_EQ(Girl().picture, Girl().pictures[0]);
    EXPECT_EQ(game.board.nextSpyCount, 3);
}

TEST_F(Scenes, SolvingTheLastMissionsRewardsOnceThenGivesThePassword) {
    game.settings.difficulty = 2;
    Girl().SetPicture(5);
    const qrv::Ref<qrv::TPixmap> fifth = EmbeddedPixmap("s5.png"), sixth = EmbeddedPixmap("s6.png");
    const uint32_t fifthCorner = fifth->GetPixelARGB(5, 5) & 0xFFFFFF;
    const uint32_t sixthCorner = sixth->GetPixelARGB(5, 5) & 0xFFFFFF;

    const std::u16string opening = OpeningCommentFor(11);
    Lines head = PlayAndSplitBriefing(VERDICT_SUCCESS, 6);
    EXPECT_EQ(head, Join({{opening}, Of(successLines), Of(RewardLines(6)),
                          {std::u16string(lastTaskLine)}}));
    EXPECT_EQ(player->fadeFrames, CROSS_FADE_STEPS + 1);
    EXPECT_EQ(Girl().level, 6);
    EXPECT_EQ(Girl().picture, Girl().pictures[6]);
    EXPECT_EQ(game.board.nextSpyCount, 8);
    // The praise and reward lines still show the old picture; the line after the fade the new.
    ASSERT_FALSE(zorvak_test::ColoursClose(fifthCorner, sixthCorner, 10));
    for (size_t i = 0; i + 1 < head.size(); ++i)
        EXPECT_TRUE(zorvak_test::ColoursClose(player->lines[i].cornerColour, fifthCorner, 3)) << i;
    EXPECT_TRUE(zorvak_test::ColoursClose(player->lines[head.size() - 1].cornerColour, sixthCorner, 3));

    const size_t shownBefore = player->lines.size();
    const std::u16string again = OpeningCommentFor(12);
    head = PlayAndSplitBriefing(VERDICT_SUCCESS, 6);
    EXPECT_EQ(head, Join({{again}, Of(successLines), FinalSceneLines()}));
    EXPECT_EQ(player->fadeFrames, CROSS_FADE_STEPS + 1) << "no second fade";
    EXPECT_EQ(Girl().level, 6);
    EXPECT_EQ(game.board.nextSpyCount, 8);
    EXPECT_TRUE(zorvak_test::ColoursClose(player->lines[shownBefore].cornerColour, sixthCorner, 3));
}

TEST_F(Scenes, FailureAtTheLastLevelFadesBackToTheFifthPicture) {
    game.settings.difficulty = 1;
    Girl().SetPicture(6);
    const Lines head = PlayAndSplitBriefing(VERDICT_FAILURE, 5);
    ASSERT_EQ(head.size(), 4u);
    EXPECT_EQ(Lines(head.begin() + 1, head.end()),
              Join({Of(failureLines), {std::u16string(backToPreviousTaskLine)}}));
    EXPECT_EQ(player->fadeFrames, CROSS_FADE_STEPS + 1);
    EXPECT_EQ(Girl().level, 5);
    EXPECT_EQ(Girl().picture, Girl().pictures[5]);
    EXPECT_EQ(game.board.nextSpyCount, 7);
    EXPECT_TRUE(Girl().pictures[6]->frames[0].empty()) << "the picture faded out lets go of its texture";
    EXPECT_FALSE(Girl().pictures[5]->frames[0].empty());
}

TEST_F(Scenes, OddDifficultyLeavesOutTheCountLinesAndUsesTheLastColumn) {
    game.settings.difficulty = 5;
    Girl().SetPicture(2);
    const Lines head = PlayAndSplitBriefing(VERDICT_SUCCESS, 3);
    ASSERT_EQ(head.size(), 1u + 2u + 3u + 1u);
    EXPECT_EQ(Lines(head.begin() + 3, head.end()),
              Join({Of(RewardLines(3)), {std::u16string(nextTaskLine)}}));
    EXPECT_EQ(game.board.nextSpyCount, 7);
    EXPECT_EQ(player->lines.size(), head.size() + 3) << "announcement, send-off, acknowledgement";
}

TEST_F(Scenes, OpeningCommentAndAcknowledgementFollowTheGenerator) {
    // Seeds whose first draw picks each of the five comments.
    std::vector<int32_t> seeds(OPENING_COMMENT_COUNT, 0);
    for (int32_t seed = 1, found = 0; found < OPENING_COMMENT_COUNT; ++seed) {
        qrv::SeedRandom(seed);
        int32_t& slot = seeds[qrv::RandomInt(OPENING_COMMENT_COUNT, 1) - 1];
        if (slot == 0) slot = seed, ++found;
    }
    std::set<std::u16string> acknowledged;
    for (int32_t seed : seeds) {
        const std::u16string opening = OpeningCommentFor(seed);
        const Lines head = PlayAndSplitBriefing(VERDICT_FAILURE, 0);
        ASSERT_FALSE(head.empty());
        EXPECT_EQ(head.front(), opening) << "seed " << seed;
        acknowledged.insert(player->lines.back().text);
    }
    EXPECT_EQ(acknowledged.size(), 2u) << "both acknowledgements over five scenes";
}

TEST_F(Scenes, EscapeEndsTheProgramOnAPortraitLineButNotInTheBriefing) {
    zorvak_test::TStoryPlayer& shown = Play();
    shown.escapeOnLine = 4;  // the briefing's first line after a failure at level 0
    PlayResultScene(game, VERDICT_FAILURE);
    EXPECT_EQ(shown.lines.size(), 4u + 3u + 1u);

    shown.lines.clear();
    shown.escapeOnLine = 1;
    EXPECT_THROW(PlayResultScene(game, VERDICT_FAILURE), qrv::TProgramEnded);
    EXPECT_EQ(shown.lines.size(), 2u);
}

TEST_F(Scenes, IntroductionIsNarratedAndNamesTheFirstBoardsCount) {
    for (int32_t chosen : {0, 7}) {
        game.settings.difficulty = chosen;
        zorvak_test::TStoryPlayer& shown = Play();
        PlayIntroductionScene(game);
        Lines expected = Of(introLines);
        expected.push_back(IntroFirstTaskLine(chosen == 0 ? 3 : 5));
        expected.emplace_back(introStartLine);
        EXPECT_EQ(shown.Texts(), expected);
        for (const TShownLine& line : shown.lines)
            EXPECT_EQ(line.kind, TShown::Narration) << qrv::ToUtf8(line.text);
        EXPECT_EQ(game.board.nextSpyCount, 5) << "the introduction changes nothing";
        shown.Stop();
        player.reset();
    }
}

}  // namespace
