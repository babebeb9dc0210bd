// Text: a TrueType font read from a file beside the program and the framework's built-in
// 8 x 16 font, with widths measured to align lines left, centred and right, and to underline.
// Escape or the window's close button ends it.

#include <cstdio>
#include <string>
#include <string_view>

#include "example_run.h"
#include "framework/framework.h"

namespace {

constexpr int WIDTH = 480;
constexpr int HEIGHT = 320;
constexpr int MARGIN = 20;

enum class Align { Left, Centre, Right };

// Draws the line in the current font, placed by its measured width; gives that width.
int DrawAligned(std::u16string_view text, Align align, float y) {
    const int width = qrv::MeasureText(text);
    float x = MARGIN;
    if (align == Align::Centre) x = static_cast<float>(WIDTH - width) / 2.0f;
    if (align == Align::Right) x = static_cast<float>(WIDTH - MARGIN - width);
    qrv::DrawTextAt(text, x, y);
    return width;
}

void DrawTitle(const qrv::Ref<qrv::TImageFont>& title) {
    qrv::SelectFont(title);
    qrv::SetDrawColor(255, 210, 90);
    const std::u16string text = u"Тавика: text in a TrueType font";
    const int width = DrawAligned(text, Align::Centre, 16);
    // An underline exactly as wide as the title, just below its line.
    const float under = 16.0f + static_cast<float>(qrv::FontLineHeight()) + 2.0f;
    qrv::FillRect(static_cast<float>(WIDTH - width) / 2.0f, under, static_cast<float>(width), 3);
}

void DrawBody(const qrv::Ref<qrv::TImageFont>& body) {
    qrv::SelectFont(body);
    qrv::SetDrawColor(230, 230, 230);
    DrawAligned(u"Left, measured and placed", Align::Left, 80);
    DrawAligned(u"Centred on the window", Align::Centre, 110);
    DrawAligned(u"Right against the margin", Align::Right, 140);
}

void DrawBuiltIn() {
    qrv::SelectFont(nullptr);  // the built-in 8 x 16 font
    qrv::SetDrawColor(120, 200, 255);
    const std::u16string line = u"The built-in font: 8 x 16 pixels";
    const int width = DrawAligned(line, Align::Left, 200);
    DrawAligned(u"That line is " + qrv::IntegerText(width) + u" pixels wide",
                Align::Right, 224);
    // A box around the first line, from its measured width and the font's line height.
    qrv::SetDrawColor(120, 200, 255);
    qrv::SetDrawAlpha(0.25f);
    qrv::FillRect(MARGIN - 2, 198, static_cast<float>(width + 4),
                  static_cast<float>(qrv::FontLineHeight() + 4));
    qrv::SetDrawAlpha(1.0f);
}

}  // namespace

int main(int argc, char** argv) {
    qrv::InitFramework();
    ExampleRun run(argc, argv);
    if (!qrv::OpenGraphicsWindow(WIDTH, HEIGHT, 0, 60, 0)) {
        std::fprintf(stderr, "text: no window\n");
        return 1;
    }
    // InitFramework made the program's folder the working directory, so "b2.ttf" is the
    // font file beside the program. The padded style gives smooth (filtered) glyphs.
    const auto title = qrv::OpenImageFont(u"b2.ttf", 26, qrv::FONT_STYLE_PADDED);
    const auto body = qrv::OpenImageFont(u"b2.ttf", 18, qrv::FONT_STYLE_PADDED);
    if (!title || !body) {
        std::fprintf(stderr, "text: cannot open b2.ttf\n");
        return 1;
    }
    qrv::SetBlendMode(qrv::BLEND_ALPHA);
    qrv::SetClearColor(32, 28, 36);

    do {
        qrv::ClearScreen();
        DrawTitle(title);
        DrawBody(body);
        DrawBuiltIn();
    } while (run.PresentAndContinue());
    return run.ExitCode();
}
