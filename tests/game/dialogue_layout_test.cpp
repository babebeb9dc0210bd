// Breaking story lines into the pieces drawn one under the other.
#include <gtest/gtest.h>

#include <string>

#include "core/text.h"
#include "game/dialogue_layout.h"

namespace {

using namespace zorvak;

std::u16string Blanks(size_t count) {
    return std::u16string(count, u' ');
}

std::vector<std::u16string> Wrap(std::u16string_view text) {
    return WrapDialogueText(text, DIALOGUE_MIN_PIECE_LENGTH);
}

// Pieces joined again by the blanks the breaks dropped.
std::u16string Rejoined(const std::vector<std::u16string>& pieces) {
    std::u16string text;
    for (size_t i = 0; i < pieces.size(); ++i) text += (i ? u" " : u"") + pieces[i];
    return text;
}

TEST(DialogueLayout, OneWordIsPaddedToTheMarkAndFollowedByBlanks) {
    const std::vector<std::u16string> pieces = Wrap(u"Ясно.");
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], u"Ясно." + Blanks(33));
    EXPECT_EQ(pieces[1], Blanks(57 - 33 - 1));
}

TEST(DialogueLayout, LongWordIsNeverSplit) {
    const std::u16string word(50, u'ж');
    const std::vector<std::u16string> pieces = Wrap(word);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], word);
    EXPECT_EQ(pieces[1], Blanks(38));
    EXPECT_EQ(pieces[2], Blanks(17));
}

TEST(DialogueLayout, BreaksAtTheBlankOnTheMarkOrAtTheEndOfTheWordAcrossIt) {
    const std::u16string first38(38, u'а');
    std::vector<std::u16string> pieces = Wrap(first38 + u" бб вв");
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], first38);
    EXPECT_TRUE(pieces[1].starts_with(u"бб вв"));

    const std::u16string before = std::u16string(30, u'а') + u" ";  // the next word starts at 31
    pieces = Wrap(before + u"слово-через-метку и дальше");
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], before + u"слово-через-метку");
    EXPECT_TRUE(pieces[1].starts_with(u"и дальше"));
}

TEST(DialogueLayout, EveryPieceButTheLastReachesTheMark) {
    const std::u16string text =
        u"Тавика: Видит он по вертикали, по горизонтали и по обеим диагоналям, до самого края "
        u"карты, а шпион в клетке самого пеленгатора считается только один раз.";
    const std::vector<std::u16string> pieces = Wrap(text);
    ASSERT_GE(pieces.size(), 4u);
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_GE(pieces[i].size(), 38u) << "piece " << i << ": " << qrv::ToUtf8(pieces[i]);
    }
    EXPECT_LE(pieces.back().size(), 38u);
    EXPECT_EQ(Rejoined(pieces), text + Blanks(57)) << "no character lost or added";
}

TEST(DialogueLayout, MarksBeyondThePaddingOrBelowZeroStillEnd) {
    const std::vector<std::u16string> whole = WrapDialogueText(u"коротко", 500);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0], u"коротко" + Blanks(57));

    const std::vector<std::u16string> words = WrapDialogueText(u"а б", -5);
    EXPECT_EQ(Rejoined(words), u"а б" + Blanks(57));
    EXPECT_EQ(words[0], u"а");
}

}  // namespace
