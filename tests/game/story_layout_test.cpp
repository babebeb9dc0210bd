// Every story line, broken as the dialogue routines break it and measured in the game's own
// 18-pixel font, fits the window: no piece runs off the right edge, and a portrait line's
// text stays inside the frame at the bottom. Breaks read well: a number keeps its noun, and
// no short word is left alone on a line's last row.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "core/text.h"
#include "game/dialogue_layout.h"
#include "game/missions.h"
#include "game/story_text.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/text_drawing.h"
#include "tests/game/game_window.h"

namespace {

using namespace zorvak;
using Lines = std::vector<std::u16string>;

constexpr int32_t WINDOW_SIZE = 512;
constexpr int32_t OUTLINE = 1;

Lines NarrationLines() {
    Lines lines(introLines.begin(), introLines.end());
    for (int count : {3, 4, 5}) lines.push_back(IntroFirstTaskLine(count));
    lines.emplace_back(introStartLine);
    for (int level = 0; level < MISSION_COUNT; ++level) {
        lines.emplace_back(MissionAnnouncement(level));
        for (int32_t difficulty = 0; difficulty <= 2; ++difficulty)
            lines.emplace_back(SpyCountLine(level, difficulty));
        lines.emplace_back(MissionSendOff(level));
    }
    lines.insert(lines.end(), acknowledgements.begin(), acknowledgements.end());
    return lines;
}

Lines PortraitLines() {
    Lines lines(openingComments.begin(), openingComments.end());
    lines.insert(lines.end(), successLines.begin(), successLines.end());
    lines.insert(lines.end(), failureLines.begin(), failureLines.end());
    for (int level = 1; level < MISSION_COUNT; ++level)
        for (std::u16string_view line : RewardLines(level)) lines.emplace_back(line);
    for (std::u16string_view line : {backToPreviousTaskLine, nextTaskLine, lastTaskLine, startOverLine})
        lines.emplace_back(line);
    for (const std::u16string& line : FinalSceneLines()) lines.push_back(line);
    return lines;
}

int VisiblePieces(const Lines& pieces) {
    int visible = 0;
    for (size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].find_first_not_of(u' ') != std::u16string::npos) visible = int(i) + 1;
    return visible;
}

constexpr char16_t NO_BREAK_SPACE = u'\u00A0';

bool IsWordGap(char16_t c) {
    return c == u' ' || c == NO_BREAK_SPACE;
}

// The last word of a piece without the punctuation around it.
std::u16string_view LastWord(std::u16string_view piece) {
    while (!piece.empty() && IsWordGap(piece.back())) piece.remove_suffix(1);
    size_t start = piece.size();
    while (start > 0 && !IsWordGap(piece[start - 1])) --start;
    std::u16string_view word = piece.substr(start);
    constexpr std::u16string_view PUNCTUATION = u"«»\"().,:;!?—-";
    while (!word.empty() && PUNCTUATION.find(word.front()) != std::u16string_view::npos) word.remove_prefix(1);
    while (!word.empty() && PUNCTUATION.find(word.back()) != std::u16string_view::npos) word.remove_suffix(1);
    return word;
}

bool IsNumber(std::u16string_view word) {
    static constexpr std::array<std::u16string_view, 26> NUMBER_WORDS = {
        u"один", u"одна", u"одно", u"одной", u"одного", u"два", u"две", u"двух", u"три",
        u"трёх", u"четыре", u"четырёх", u"пять", u"пяти", u"шесть", u"шести", u"семь", u"семи",
        u"восемь", u"восьми", u"девять", u"девяти", u"десять", u"десяти", u"ноль", u"сто"};
    if (!word.empty() && std::ranges::all_of(word, [](char16_t c) { return c >= u'0' && c <= u'9'; }))
        return true;
    return std::ranges::find(NUMBER_WORDS, word) != NUMBER_WORDS.end();
}

bool IsOneWord(std::u16string_view row) {
    row = row.substr(0, row.find_last_not_of(u' ') + 1);
    return std::ranges::none_of(row, IsWordGap);
}

int LetterCount(std::u16string_view word) {
    return static_cast<int>(std::ranges::count_if(word, [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'z') || (c >= 0x400 && c <= 0x4FF);
    }));
}

class StoryLayout : public zorvak_test::GameWindow {
protected:
    // Checks every piece's width and gives the lowest text row the line reaches from top.
    int32_t CheckLine(const std::u16string& line, int32_t top) {
        const Lines pieces = WrapDialogueText(line, DIALOGUE_MIN_PIECE_LENGTH);
        qrv::TImageFont& font = *game.resources.smallFont;
        for (const std::u16string& piece : pieces) {
            const int32_t right = DIALOGUE_LEFT + qrv::MeasureTextIn(font, piece) + OUTLINE;
            EXPECT_LE(right, WINDOW_SIZE) << "runs off the window: \"" << qrv::ToUtf8(piece) << '"';
        }
        return top + (VisiblePieces(pieces) - 1) * DIALOGUE_LINE_SPACING + lineHeight + OUTLINE;
    }

    void SetUp() override {
        GameWindow::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(game.resources.smallFont);
        qrv::SelectFont(game.resources.smallFont);
        lineHeight = qrv::FontLineHeight();
        ASSERT_GT(lineHeight, 0);
    }

    int32_t lineHeight = 0;
};

TEST_F(StoryLayout, NarrationLinesFitTheWindow) {
    for (const std::u16string& line : NarrationLines())
        EXPECT_LE(CheckLine(line, NARRATION_TOP), WINDOW_SIZE) << qrv::ToUtf8(line);
}

TEST_F(StoryLayout, PortraitLinesFitTheFrameAtTheBottom) {
    int32_t lowest = 0;
    for (const std::u16string& line : PortraitLines()) {
        const int32_t bottom = CheckLine(line, PORTRAIT_LINE_TOP);
        EXPECT_LE(bottom, WINDOW_SIZE) << "too many pieces: " << qrv::ToUtf8(line);
        lowest = std::max(lowest, bottom);
    }
    EXPECT_GT(lowest, PORTRAIT_LINE_TOP + DIALOGUE_LINE_SPACING) << "some line takes two pieces";
}

// The breaks fall only at ordinary blanks, so a no-break space keeps a number with its noun and
// a short last word with the word before; the font must draw it as a blank.
TEST_F(StoryLayout, NumbersKeepTheirNounsAndNoShortWordEndsALineAlone) {
    EXPECT_EQ(qrv::MeasureTextIn(*game.resources.smallFont, std::u16string(1, NO_BREAK_SPACE)),
              qrv::MeasureTextIn(*game.resources.smallFont, u" "))
        << "the font draws the no-break space as wide as a blank";
    Lines lines = NarrationLines();
    const Lines portraitLines = PortraitLines();
    lines.insert(lines.end(), portraitLines.begin(), portraitLines.end());
    for (const std::u16string& line : lines) {
        Lines pieces = WrapDialogueText(line, DIALOGUE_MIN_PIECE_LENGTH);
        pieces.resize(VisiblePieces(pieces));
        if (pieces.size() < 2) continue;
        for (size_t i = 0; i + 1 < pieces.size(); ++i) {
            EXPECT_FALSE(IsNumber(LastWord(pieces[i])))
                << "a number is parted from its noun: \"" << qrv::ToUtf8(pieces[i]) << "\" / \""
                << qrv::ToUtf8(pieces[i + 1]) << '"';
        }
        const std::u16string_view lastRow = pieces.back();
        if (IsOneWord(lastRow)) {
            EXPECT_GE(LetterCount(lastRow), 4)
                << "a short word alone on the last row: " << qrv::ToUtf8(line);
        }
    }
}

}  // namespace
