#include "game/resources.h"

#include <string_view>

#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/text_drawing.h"

namespace zorvak {

namespace {

constexpr int LARGE_FONT_SIZE = 30;
constexpr int SMALL_FONT_SIZE = 18;
constexpr int FONT_STYLE = 1;  // leaves the glyphs as the font draws them
constexpr int DEFAULT_IMAGE_FLAGS = -1;
constexpr int MESSAGE_SPACING = 11;
constexpr int EYE_X = 184;
constexpr int EYE_Y = 104;
constexpr int PORTRAIT_PICTURES = 7;

constexpr std::u16string_view FONT_URL = u"incbin::b2.ttf";
constexpr std::u16string_view EYE_URLS[TEye::FRAME_COUNT] = {
    u"incbin::e0.png", u"incbin::e1.png", u"incbin::e2.png"};
constexpr std::u16string_view PICTURE_URLS[PORTRAIT_PICTURES] = {
    u"incbin::s0.png", u"incbin::s1.png", u"incbin::s2.png", u"incbin::s3.png",
    u"incbin::s4.png", u"incbin::s5.png", u"incbin::s6.png"};

// The loading screen: every message so far, one under the other, presented at once. All are
// drawn again each time because a presented back buffer need not keep its pixels.
class TLoadingScreen {
public:
    void Show(std::u16string_view message) {
        messages.emplace_back(message);
        qrv::ClearScreen();
        float y = 0;
        for (const std::u16string& text : messages) {
            qrv::DrawTextAt(text, 0, y);
            y += MESSAGE_SPACING;
        }
        qrv::PresentFrame();
    }

private:
    std::vector<std::u16string> messages;
};

// Loads from the URL with the loader given; a failure is noted in `missing`.
class TLoader {
public:
    qrv::Ref<qrv::TImage> Image(std::u16string_view url) {
        return Noted(qrv::LoadImageFromUrl(url, DEFAULT_IMAGE_FLAGS), url);
    }
    qrv::Ref<qrv::TImageFont> Font(std::u16string_view url, int size) {
        return Noted(qrv::OpenImageFont(url, size, FONT_STYLE), url);
    }

    std::vector<std::u16string> missing;

private:
    template <typename T>
    qrv::Ref<T> Noted(qrv::Ref<T> loaded, std::u16string_view url) {
        if (!loaded) missing.emplace_back(url);
        return loaded;
    }
};

qrv::Ref<TGirl> LoadPortrait(TLoader& load) {
    const qrv::Ref<TGirl> portrait = std::make_shared<TGirl>();
    for (int i = 0; i < TEye::FRAME_COUNT; ++i) portrait->eye->frames[i] = load.Image(EYE_URLS[i]);
    portrait->eye->x = EYE_X;
    portrait->eye->y = EYE_Y;
    portrait->x = 0;
    portrait->y = 0;
    portrait->pictureCount = PORTRAIT_PICTURES;
    portrait->level = 0;
    for (int i = 0; i < PORTRAIT_PICTURES; ++i) portrait->pictures[i] = load.Image(PICTURE_URLS[i]);
    return portrait;
}

}  // namespace

std::vector<std::u16string> LoadGameResources(TGameResources& resources) {
    TLoadingScreen screen;
    TLoader load;
    screen.Show(u"Ok. Start.");
    screen.Show(u"Fonts loading...");
    resources.largeFont = load.Font(FONT_URL, LARGE_FONT_SIZE);
    resources.smallFont = load.Font(FONT_URL, SMALL_FONT_SIZE);
    screen.Show(u"Pixmaps loading...");
    resources.backgroundImage = load.Image(u"incbin::back.jpg");
    resources.buttonImage = load.Image(u"incbin::but1.png");
    resources.helpImage = load.Image(u"incbin::help.jpg");
    resources.winImage = load.Image(u"incbin::win.jpg");
    resources.failImage = load.Image(u"incbin::fail.jpg");
    resources.dialogueFrameImage = load.Image(u"incbin::tgame.png");
    resources.spyMarkImage = load.Image(u"incbin::point.png");
    screen.Show(u"Tavika loading...");
    resources.portrait = LoadPortrait(load);
    screen.Show(u"All clear...Nice!");
    screen.Show(u"Use enter to move forward...");
    return load.missing;
}

}  // namespace zorvak
