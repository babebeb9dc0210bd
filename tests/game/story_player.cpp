#include "tests/game/story_player.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "game/dialogue_layout.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/pixmap_loader.h"
#include "system/hook.h"
#include "system/keys.h"
#include "system/random.h"
#include "tests/game/game_window.h"

namespace zorvak_test {

using namespace qrv;

namespace {

// Left of where any text is drawn, inside the transparent top of the dialogue frame.
constexpr int32_t CLEAR_PROBE_X = 5, CLEAR_PROBE_Y = 5;
constexpr int32_t CLOSE = 8;

uint32_t ScreenPixel(int32_t x, int32_t y) {
    const Ref<TPixmap> pixel = GrabPixmapRect(x, y, 1, 1);
    return pixel ? pixel->GetPixelARGB(0, 0) & 0xFFFFFFu : 0xDEADBEEFu;
}

}  // namespace

void TDeadlineClock::Delay(int32_t ms) {
    if (ClockIsAfter(time->Milliseconds(), deadline)) throw TScriptStalled();
    time->Delay(ms);
}

TStoryPlayer::TStoryPlayer(TScriptedSystemDriver& script, const zorvak::TGame& game,
                           int32_t answerKey)
    : script(script), game(game), answerKey(answerKey) {
    PickProbe();
}

// An opaque pixel of the frame picture, left of the text, whose colour no portrait picture
// has there: where it shows, the frame was drawn.
void TStoryPlayer::PickProbe() {
    const Ref<TPixmap> frame = PixmapFromUrl(u"incbin::tgame.png");
    std::vector<Ref<TPixmap>> pictures;
    for (char digit = '0'; digit <= '6'; ++digit)
        pictures.push_back(PixmapFromUrl(u"incbin::s" + std::u16string(1, char16_t(digit)) + u".png"));
    ASSERT_TRUE(frame);
    for (int32_t y = 500; y >= 380; --y) {
        for (int32_t x = 2; x < 16; ++x) {
            const uint32_t argb = frame->GetPixelARGB(x, y);
            if (argb >> 24 != 0xFF) continue;
            bool distinct = !ColoursClose(argb & 0xFFFFFF, 0, 3 * CLOSE);
            for (const Ref<TPixmap>& picture : pictures)
                distinct = distinct && picture &&
                           !ColoursClose(picture->GetPixelARGB(x, y) & 0xFFFFFF, argb & 0xFFFFFF,
                                         3 * CLOSE);
            if (!distinct) continue;
            frameX = x, frameY = y, frameColour = argb & 0xFFFFFF;
            return;
        }
    }
    FAIL() << "no opaque pixel of the dialogue frame tells it from the portraits";
}

void TStoryPlayer::Start() {
    InstallHook(presentHookId, &TStoryPlayer::OnPresent, shared_from_this());
}

void TStoryPlayer::Stop() {
    UninstallHook(presentHookId, &TStoryPlayer::OnPresent, shared_from_this());
}

Ref<TObject> TStoryPlayer::OnPresent(int32_t, Ref<TObject> data, Ref<TObject> context) {
    static_cast<TStoryPlayer&>(*context).Record();
    return data;
}

TShown TStoryPlayer::Classify() const {
    if (ColoursClose(ScreenPixel(CLEAR_PROBE_X, CLEAR_PROBE_Y), 0, CLOSE)) return TShown::Narration;
    if (ColoursClose(ScreenPixel(frameX, frameY), frameColour, CLOSE)) return TShown::PortraitLine;
    return TShown::FadeFrame;
}

void TStoryPlayer::Record() {
    ++presents;
    if (keepFrames) frames.push_back(GrabPixmapRect(0, 0, 512, 512));
    std::u16string text;
    const std::vector<std::u16string>& pieces = game.dialogueLines;
    for (size_t i = 0; i < pieces.size(); ++i) text += (i ? u" " : u"") + pieces[i];
    // The pieces hold the line followed by the tail of blanks.
    text.resize(text.size() >= size_t(zorvak::DIALOGUE_TAIL_BLANKS)
                    ? text.size() - zorvak::DIALOGUE_TAIL_BLANKS
                    : 0);
    const TShown kind = Classify();
    if (kind == TShown::FadeFrame) {
        if (fadeFrames++ == escapeOnFadeFrame) script.TapKey(KEY_ESCAPE, script.Clock().Milliseconds() + 1);
        return;
    }
    // A portrait line redrawn for its eyes is the same line again.
    if (!lines.empty() && lines.back().text == text && lines.back().kind == kind) return;
    lines.push_back({text, kind, GetRandomSeed(), ScreenPixel(CLEAR_PROBE_X, CLEAR_PROBE_Y)});
    Answer(lines.size() - 1);
}

void TStoryPlayer::Answer(size_t lineIndex) {
    const uint32_t at = script.Clock().Milliseconds() + answerDelay;
    script.TapKey(lineIndex == escapeOnLine ? KEY_ESCAPE : answerKey, at);
    if (answerKey == KEY_SPACE && lineIndex != escapeOnLine) script.TypeText(u" ", at);
}

std::vector<std::u16string> TStoryPlayer::Texts() const {
    std::vector<std::u16string> texts;
    for (const TShownLine& line : lines) texts.push_back(line.text);
    return texts;
}

}  // namespace zorvak_test
