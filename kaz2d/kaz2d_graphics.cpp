#include "kaz2d/kaz2d_graphics.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "core/bit_cast.h"
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

struct TSineCosine {
    float sine;
    float cosine;
};

// The sine and cosine of an angle in degrees, rounded to float, exactly as rounding the
// library's double sin and cos of (degrees * pi / 180) gives them, without their cost (they save
// and restore the rounding mode on every call). A short polynomial gives both to within 4e-16
// of the sine and cosine of the radians it is given; where a value lies so near the middle
// between two floats that the error allowed could round it either way (rare: about one angle in
// a million, and multiples of 90 degrees), the library decides.
TSineCosine SineCosineOfDegrees(double degrees) {
    const auto library = [degrees] {
        const double radians = degrees * std::numbers::pi / 180.0;
        return TSineCosine{static_cast<float>(std::sin(radians)), static_cast<float>(std::cos(radians))};
    };
    const auto near = [](double radians, double margin) -> std::optional<TSineCosine> {
        constexpr double kTwoOverPi = 6.36619772367581382433e-01;
        // Pi/2 in two parts; the first has 33 bits, so that k times it is exact for k below 2^20.
        constexpr double kHalfPiHigh = 1.57079632673412561417e+00;
        constexpr double kHalfPiLow = 6.07710050650619224932e-11;
        constexpr double kRounder = 0x1.8p52;  // adding and subtracting it rounds to an integer
        const double k = (radians * kTwoOverPi + kRounder) - kRounder;
        const double x = (radians - k * kHalfPiHigh) - k * kHalfPiLow;  // within pi/4 of 0
        // The polynomials in pairs of terms (z, z^2, z^4 side by side), so that the processor
        // evaluates them in parallel rather than one term after the other.
        const double z = x * x;
        const double z2 = z * z;
        const double z4 = z2 * z2;
        const double s = x + x * z * ((-1.66666666666666324348e-01 + 8.33333333332248946124e-03 * z) +
                                      z2 * (-1.98412698298579493134e-04 + 2.75573137070700676789e-06 * z) +
                                      z4 * (-2.50507602534068634195e-08 + 1.58969099521155010221e-10 * z));
        const double c = 1.0 - 0.5 * z + z2 * ((4.16666666666666019037e-02 + -1.38888888888741095749e-03 * z) +
                                               z2 * (2.48015872894767294178e-05 + -2.75573143513906633035e-07 * z) +
                                               z4 * (2.08757232129817482790e-09 + -1.13596475577881948265e-11 * z));
        double sine = s;
        double cosine = c;
        switch (static_cast<int64_t>(k) & 3) {
            case 1: sine = c, cosine = -s; break;
            case 2: sine = -s, cosine = -c; break;
            case 3: sine = -c, cosine = s; break;
            default: break;
        }
        const auto settled = [margin](double v) {
            return static_cast<float>(v - margin) == static_cast<float>(v + margin);
        };
        if (!settled(sine) || !settled(cosine)) return std::nullopt;
        return TSineCosine{static_cast<float>(sine), static_cast<float>(cosine)};
    };
    std::optional<TSineCosine> turned;
    if (std::abs(degrees) <= 720.0) {
        // Within two turns the radians come from one multiplication instead of the division's
        // two roundings: at most 6e-15 from them, so the margin is twice that.
        constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
        turned = near(degrees * kRadiansPerDegree, 1.2e-14);
    } else if (std::abs(degrees) < 3e7) {
        // Ten times the polynomial's error; the quarter turns stay exact below 2^19 radians.
        turned = near(degrees * std::numbers::pi / 180.0, 4e-15);
    }
    return turned ? *turned : library();
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
    const auto bits = BitCast<uint32_t>(rotation);
    if (bits != turnedBits) {
        const TSineCosine turned = SineCosineOfDegrees(rotation);
        turnedSine = turned.sine;
        turnedCosine = turned.cosine;
        turnedBits = bits;
    }
    const float sine = turnedSine;
    const float cosine = turnedCosine;
    ix = cosine * scaleX;
    iy = -sine * scaleY;
    jx = sine * scaleX;
    jy = cosine * scaleY;
    driver->ApplyTransform(ix, iy, jx, jy);
    collisionMatrix = {ix, iy, jx, jy};
}

TCollisionMatrix DrawingMatrixOf(float degrees, float scaleX, float scaleY) {
    const TSineCosine turned = SineCosineOfDegrees(degrees);
    return {turned.cosine * scaleX, -turned.sine * scaleY, turned.sine * scaleX, turned.cosine * scaleY};
}

void TKaz2DGraphics::BecomeCurrent() {
    Kaz2DState& s = State();
    s.current = shared_from_this();
    currentPointer = this;
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
    currentPointer = nullptr;
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

TKaz2DDriver* CurrentKaz2DDriverPointer() {
    const Kaz2DState& s = State();
    return s.current && s.current->graphics ? s.driver.get() : nullptr;
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
