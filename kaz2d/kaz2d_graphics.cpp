#include "kaz2d/kaz2d_graphics.h"

#include <cmath>
#include <numbers>

#include "kaz2d/graphics_module.h"

namespace qrv {

TCollisionMatrix collisionMatrix;

namespace {

struct Kaz2DState {
    Ref<TKaz2DGraphics> current;
    Ref<TKaz2DDriver> driver;
    Ref<TImageFont> defaultFont;
    TDefaultImageFontMaker fontMaker = nullptr;
};

Kaz2DState& State() {
    static Kaz2DState state;
    return state;
}

}  // namespace

Ref<TGraphicsDriver> TKaz2DGraphics::GetDriver() {
    return driver;
}

TGraphicsSettings TKaz2DGraphics::GetSettings() {
    return graphics ? graphics->GetSettings() : TGraphicsSettings{};
}

void TKaz2DGraphics::Close() {
    if (graphics) graphics->Close();
    graphics = nullptr;
    driver = nullptr;
}

void TKaz2DGraphics::ApplyState() {
    if (!driver) return;
    driver->ApplyBlend(blendMode);
    driver->ApplyColor(red, green, blue);
    driver->ApplyAlpha(alpha);
    driver->ApplyClearColor(clearRed, clearGreen, clearBlue);
    driver->ApplyLineWidth(lineWidth);
    ApplyMatrix();
    driver->ApplyViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    if (!imageFont) imageFont = DefaultImageFont();
}

void TKaz2DGraphics::ApplyMatrix() {
    if (!driver) return;
    const double radians = static_cast<double>(rotation) * std::numbers::pi / 180.0;
    const auto sine = static_cast<float>(std::sin(radians));
    const auto cosine = static_cast<float>(std::cos(radians));
    ix = cosine * scaleX;
    iy = -sine * scaleY;
    jx = sine * scaleX;
    jy = cosine * scaleY;
    driver->ApplyTransform(ix, iy, jx, jy);
    collisionMatrix = {ix, iy, jx, jy};
}

void TKaz2DGraphics::BecomeCurrent() {
    Kaz2DState& s = State();
    s.current = shared_from_this();
    s.driver = driver;
    if (cleared || !driver) return;
    driver->ClearBuffer();
    PresentFrame(0);
    driver->ClearBuffer();
    PresentFrame(0);
    cleared = true;
}

void TKaz2DGraphics::ClearCurrent() {
    State().current = nullptr;
    State().driver = nullptr;
}

const Ref<TKaz2DGraphics>& TKaz2DGraphics::CurrentContext() {
    return State().current;
}

Ref<TKaz2DGraphics> TKaz2DGraphics::CreateFor(const Ref<TGraphics>& graphics,
                                              const Ref<TKaz2DDriver>& driver) {
    auto record = std::make_shared<TKaz2DGraphics>();
    const TGraphicsSettings settings = graphics ? graphics->GetSettings() : TGraphicsSettings{};
    record->viewportWidth = settings.width;
    record->viewportHeight = settings.height;
    record->imageFont = DefaultImageFont();
    record->graphics = graphics;
    record->driver = driver;
    return record;
}

Ref<TKaz2DDriver> CurrentKaz2DDriver() {
    // A current context closed directly (not through the graphics module) has no pixels left.
    const Kaz2DState& s = State();
    return s.current && s.current->graphics ? s.driver : nullptr;
}

void SetDefaultImageFontMaker(TDefaultImageFontMaker maker) {
    State().fontMaker = maker;
}

Ref<TImageFont> DefaultImageFont() {
    Kaz2DState& s = State();
    if (!s.defaultFont && s.fontMaker) s.defaultFont = s.fontMaker();
    return s.defaultFont;
}

}  // namespace qrv
