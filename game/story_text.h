#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorvak {

// The story's lines. A spoken line starts with the speaker's label, maybe a stage direction in
// parentheses, then a colon; narration has no label.
constexpr std::u16string_view INSTRUCTOR = u"Тавика";
constexpr std::u16string_view PLAYER = u"Курсант";
constexpr std::u16string_view COMMANDER = u"Командир";
constexpr std::u16string_view SENIOR = u"Сержант";
constexpr std::u16string_view JUNIOR = u"Рядовой";
constexpr std::u16string_view LIAISON = u"Связной";
constexpr std::u16string_view CAPTIVE = u"Голос пленного";

// The introduction: the fixed opening lines, then a line naming the first board's spies, then
// the start signal.
constexpr int INTRO_FIXED_LINE_COUNT = 46;
extern const std::array<std::u16string_view, INTRO_FIXED_LINE_COUNT> introLines;
std::u16string IntroFirstTaskLine(int spyCount);
extern const std::u16string_view introStartLine;

// "три шпиона", "пять шпионов": the number in words with the noun in the form it requires.
std::u16string SpyCountPhrase(int count);

// The result scene.
constexpr int OPENING_COMMENT_COUNT = 5;
extern const std::array<std::u16string_view, OPENING_COMMENT_COUNT> openingComments;
extern const std::array<std::u16string_view, 2> successLines;  // player reports, instructor praises
extern const std::array<std::u16string_view, 2> failureLines;  // player excuses, instructor scolds
// The reward lines of a solved board that reached newLevel (1..6); none for other levels.
std::span<const std::u16string_view> RewardLines(int newLevel);
extern const std::u16string_view backToPreviousTaskLine;
extern const std::u16string_view nextTaskLine;
extern const std::u16string_view lastTaskLine;
extern const std::u16string_view startOverLine;
// The final scene after the last mission is solved again; the second line ends with the
// archive password.
std::vector<std::u16string> FinalSceneLines();
constexpr int FINAL_SCENE_LINE_COUNT = 7;

// The briefing of the mission at a level (0..6; others are held to the nearest end).
std::u16string_view MissionAnnouncement(int level);
// The line stating the count for difficulty 0, 1 or 2; empty for any other difficulty.
std::u16string_view SpyCountLine(int level, int32_t difficulty);
std::u16string_view MissionSendOff(int level);
constexpr int ACKNOWLEDGEMENT_COUNT = 2;
extern const std::array<std::u16string_view, ACKNOWLEDGEMENT_COUNT> acknowledgements;

}  // namespace zorvak
