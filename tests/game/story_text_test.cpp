// The story's lines against the scene plan they belong to: counts, speakers, order and the
// numbers they state; the spy counts per mission and the level's movement.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/text.h"
#include "game/archive_password.h"
#include "game/missions.h"
#include "game/resources.h"
#include "game/story_text.h"
#include "pixmap/pixmap.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "tests/game/story_speakers.h"

namespace {

using namespace zorvak;
using zorvak_test::SpeakerOf;
using zorvak_test::SpeakersOf;

constexpr std::u16string_view NARRATION = u"";

std::string Utf8(std::u16string_view text) {
    return qrv::ToUtf8(text);
}

bool Contains(std::u16string_view text, std::u16string_view part) {
    return text.find(part) != std::u16string_view::npos;
}

TEST(Missions, SpyCountsFollowTheMissionTable) {
    // Rows are levels 0..6; columns difficulty 0, 1, 2 and one outside that range.
    constexpr int TABLE[7][4] = {{3, 4, 5, 5}, {4, 5, 6, 6}, {4, 5, 6, 6}, {5, 6, 7, 7},
                                 {5, 6, 7, 7}, {6, 7, 8, 8}, {6, 7, 8, 8}};
    for (int level = 0; level < 7; ++level) {
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(SpyCountFor(level, column), TABLE[level][column])
                << "level " << level << ", difficulty " << column;
        for (int32_t odd : {-1, 3, 5, 7, 1000})
            EXPECT_EQ(SpyCountFor(level, odd), TABLE[level][3])
                << "level " << level << ", difficulty " << odd;
    }
}

TEST(Missions, FirstBoardCountComesFromTheDifficultyAlone) {
    EXPECT_EQ(FirstMissionSpyCount(0), 3);
    EXPECT_EQ(FirstMissionSpyCount(2), 5);
    EXPECT_EQ(FirstMissionSpyCount(7), 5);
}

TEST(Missions, LevelMovesOneStepAndIsHeldAtBothEnds) {
    for (int level = 0; level < 6; ++level) {
        const TLevelStep up = StepLevel(level, true);
        EXPECT_EQ(up.level, level + 1);
        EXPECT_TRUE(up.moved);
    }
    for (int level = 1; level < 7; ++level) {
        const TLevelStep down = StepLevel(level, false);
        EXPECT_EQ(down.level, level - 1);
        EXPECT_TRUE(down.moved);
    }
    const TLevelStep top = StepLevel(6, true);
    EXPECT_EQ(top.level, 6);
    EXPECT_FALSE(top.moved);
    const TLevelStep bottom = StepLevel(0, false);
    EXPECT_EQ(bottom.level, 0);
    EXPECT_FALSE(bottom.moved);
}

TEST(StoryText, CountPhraseUsesTheNounFormTheNumberRequires) {
    EXPECT_EQ(Utf8(SpyCountPhrase(1)), "один\u00A0шпион");
    EXPECT_EQ(Utf8(SpyCountPhrase(3)), "три\u00A0шпиона");
    EXPECT_EQ(Utf8(SpyCountPhrase(4)), "четыре\u00A0шпиона");
    EXPECT_EQ(Utf8(SpyCountPhrase(5)), "пять\u00A0шпионов");
    EXPECT_EQ(Utf8(SpyCountPhrase(8)), "восемь\u00A0шпионов");
    EXPECT_EQ(Utf8(SpyCountPhrase(12)), "12\u00A0шпионов");
    EXPECT_EQ(Utf8(SpyCountPhrase(21)), "21\u00A0шпион");
    EXPECT_EQ(Utf8(SpyCountPhrase(64)), "64\u00A0шпиона");
}

TEST(StoryText, IntroductionHasItsCastInOrder) {
    EXPECT_EQ(Utf8(introLines[0]), " ");
    EXPECT_EQ(Utf8(introLines[1]), "...");
    std::map<std::u16string_view, int> lineCounts;
    for (size_t i = 2; i < introLines.size(); ++i) ++lineCounts[SpeakerOf(introLines[i])];
    const std::map<std::u16string_view, int> expected = {
        {NARRATION, 10}, {COMMANDER, 9}, {SENIOR, 5}, {JUNIOR, 2},
        {LIAISON, 2},    {CAPTIVE, 2},   {INSTRUCTOR, 13}, {PLAYER, 1}};
    EXPECT_EQ(lineCounts, expected);
    // The player's one-word assent closes the fixed block.
    const std::u16string_view last = introLines.back();
    EXPECT_EQ(SpeakerOf(last), PLAYER);
    EXPECT_FALSE(Contains(last.substr(PLAYER.size() + 2), u" ")) << Utf8(last);
    EXPECT_EQ(SpeakerOf(introStartLine), NARRATION);
    EXPECT_FALSE(Contains(introStartLine, u" ")) << Utf8(introStartLine);
}

TEST(StoryText, IntroductionNamesTheFirstBoardsCount) {
    for (int32_t difficulty : {0, 1, 2, 5}) {
        const int count = FirstMissionSpyCount(difficulty);
        const std::u16string line = IntroFirstTaskLine(count);
        EXPECT_EQ(SpeakerOf(line), INSTRUCTOR);
        EXPECT_TRUE(Contains(line, SpyCountPhrase(count))) << Utf8(line);
    }
    EXPECT_TRUE(Contains(IntroFirstTaskLine(3), u"три\u00A0шпиона"));
}

TEST(StoryText, ResultSceneLinesHaveTheirSpeakers) {
    std::set<std::u16string_view> distinct(openingComments.begin(), openingComments.end());
    EXPECT_EQ(distinct.size(), openingComments.size());
    for (std::u16string_view comment : openingComments) EXPECT_EQ(SpeakerOf(comment), INSTRUCTOR);
    EXPECT_EQ(SpeakersOf(successLines), (std::vector{PLAYER, INSTRUCTOR}));
    EXPECT_EQ(SpeakersOf(failureLines), (std::vector{PLAYER, INSTRUCTOR}));
    for (std::u16string_view line :
         {backToPreviousTaskLine, nextTaskLine, lastTaskLine, startOverLine})
        EXPECT_EQ(SpeakerOf(line), INSTRUCTOR) << Utf8(line);
}

TEST(StoryText, RewardLinesPerNewLevel) {
    const std::vector FOUR = {PLAYER, INSTRUCTOR, INSTRUCTOR, INSTRUCTOR};
    const std::vector THREE = {PLAYER, INSTRUCTOR, INSTRUCTOR};
    EXPECT_TRUE(RewardLines(0).empty());
    EXPECT_EQ(SpeakersOf(RewardLines(1)), FOUR);
    for (int level = 2; level <= 5; ++level)
        EXPECT_EQ(SpeakersOf(RewardLines(level)), THREE) << "level " << level;
    EXPECT_EQ(SpeakersOf(RewardLines(6)), FOUR);
    EXPECT_TRUE(RewardLines(7).empty());
    EXPECT_TRUE(RewardLines(-1).empty());
}

double MeanGrey(const qrv::TPixmap& picture) {
    double sum = 0;
    for (int32_t y = 0; y < picture.Height(); ++y) {
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const uint32_t rgb = picture.GetPixelARGB(x, y);
            sum += 0.299 * (rgb >> 16 & 0xFF) + 0.587 * (rgb >> 8 & 0xFF) + 0.114 * (rgb & 0xFF);
        }
    }
    return sum / (double(picture.Width()) * picture.Height());
}

// A reward that promises a lighter room brings a lighter picture than the one before it.
TEST(StoryText, RewardsThatPromiseLightBringALighterPicture) {
    RegisterGameFiles();
    qrv::InitPixmapModule();
    int promises = 0;
    for (int level = 1; level < MISSION_COUNT; ++level) {
        bool lighter = false;
        for (std::u16string_view line : RewardLines(level)) lighter = lighter || Contains(line, u"светлее");
        if (!lighter) continue;
        ++promises;
        const std::u16string before = u"incbin::s" + std::u16string(1, char16_t(u'0' + level - 1)) + u".png";
        const std::u16string after = u"incbin::s" + std::u16string(1, char16_t(u'0' + level)) + u".png";
        const qrv::Ref<qrv::TPixmap> old = qrv::PixmapFromUrl(before);
        const qrv::Ref<qrv::TPixmap> brought = qrv::PixmapFromUrl(after);
        ASSERT_TRUE(old && brought) << "level " << level;
        EXPECT_GT(MeanGrey(*brought), MeanGrey(*old) + 2) << Utf8(after) << " against " << Utf8(before);
    }
    EXPECT_GE(promises, 2) << "the first reward and the window both promise light";
}

TEST(StoryText, FinalSceneGivesThePasswordRightAfterTheArchiveLine) {
    const std::vector<std::u16string> lines = FinalSceneLines();
    EXPECT_EQ(SpeakersOf(lines), (std::vector{INSTRUCTOR, INSTRUCTOR, PLAYER, INSTRUCTOR, PLAYER,
                                              INSTRUCTOR, INSTRUCTOR}));
    const std::u16string password = BuildArchivePassword(1);
    ASSERT_FALSE(password.empty());
    EXPECT_TRUE(lines[1].ends_with(password)) << Utf8(lines[1]);
    EXPECT_NE(lines[1].size(), password.size()) << "the line names the archive first";
}

TEST(StoryText, OnlyTheFirstPasswordVariantIsTheWholePassword) {
    const std::u16string real = BuildArchivePassword(1);
    EXPECT_EQ(BuildArchivePassword(1), real) << "the same text every time";
    for (int32_t variant : {0, 2, -1}) {
        const std::u16string other = BuildArchivePassword(variant);
        EXPECT_FALSE(other.empty());
        EXPECT_NE(other, real) << "variant " << variant;
        EXPECT_LT(other.size(), real.size()) << "variant " << variant;
    }
}

TEST(StoryText, BriefingLinesStateTheirMissionsCount) {
    std::set<std::u16string_view> announcements, sendOffs;
    for (int level = 0; level < MISSION_COUNT; ++level) {
        announcements.insert(MissionAnnouncement(level));
        sendOffs.insert(MissionSendOff(level));
        EXPECT_EQ(SpeakerOf(MissionAnnouncement(level)), INSTRUCTOR);
        EXPECT_EQ(SpeakerOf(MissionSendOff(level)), INSTRUCTOR);
        for (int32_t difficulty = 0; difficulty <= 2; ++difficulty) {
            const std::u16string_view line = SpyCountLine(level, difficulty);
            EXPECT_EQ(SpeakerOf(line), INSTRUCTOR) << Utf8(line);
            EXPECT_TRUE(Contains(line, SpyCountPhrase(SpyCountFor(level, difficulty))))
                << "level " << level << ", difficulty " << difficulty << ": " << Utf8(line);
        }
        EXPECT_TRUE(SpyCountLine(level, 3).empty());
        EXPECT_TRUE(SpyCountLine(level, -1).empty());
    }
    EXPECT_EQ(announcements.size(), size_t(MISSION_COUNT)) << "every mission is announced apart";
    EXPECT_EQ(sendOffs.size(), size_t(MISSION_COUNT)) << "every mission has its own send-off";
    EXPECT_NE(acknowledgements[0], acknowledgements[1]);
    for (std::u16string_view answer : acknowledgements) EXPECT_EQ(SpeakerOf(answer), PLAYER);
}

}  // namespace
