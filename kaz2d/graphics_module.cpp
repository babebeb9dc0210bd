#include "kaz2d/graphics_module.h"

#include <algorithm>
#include <exception>
#include <string>

#include "core/failure.h"
#include "kaz2d/frame_pacer.h"
#include "stream/url_failure.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/hook.h"
#include "system/input.h"
#include "system/system_driver.h"

namespace qrv {

int32_t contextGeneration = 1;
int32_t presentHookId = -1;

namespace {

struct GraphicsState {
    Ref<TGraphicsDriver> driver;
    int32_t defaultFlags = 0;
    std::vector<TGraphicsMode> modes;
    Ref<TGraphics> current;
    TGraphicsSettings settings;
    Ref<TGraphics> defaultGraphics;
    bool softwareSync = false;
    TFramePacer pacer;
    // When the last two frames were shown, on the framework's clock; presents counts to two.
    uint32_t lastPresentAt = 0;
    uint32_t presentBefore = 0;
    int32_t presents = 0;
    bool exitHandlerAdded = false;
    // Why no driver is selected, once the start-up selection found none; empty before it ran.
    std::string noDriverReason;
};

GraphicsState& State() {
    static GraphicsState state;
    return state;
}

void ReleaseCurrentContext() {
    GraphicsState& s = State();
    if (s.driver && s.current) s.driver->MakeCurrent(nullptr);
}

void ChangeDriver(const Ref<TGraphicsDriver>& driver) {
    GraphicsState& s = State();
    ReleaseCurrentContext();
    s.modes.clear();
    s.driver = driver;
}

const std::vector<TGraphicsMode>& CachedModes() {
    GraphicsState& s = State();
    if (s.modes.empty() && s.driver) s.modes = s.driver->EnumerateModes();
    return s.modes;
}

// Whether the driver's synchronised present keeps the rate: three presents in a row within a
// millisecond of the period, inside one second.
bool SynchronisedPresentKeepsRate(int32_t hertz) {
    const uint32_t deadline = MillisecondClock() + 1000;
    int matches = 0;
    while (!ClockIsAfter(MillisecondClock(), deadline)) {
        const uint32_t start = MillisecondClock();
        State().driver->PresentBuffer(1);
        const int32_t drift = static_cast<int32_t>(MillisecondClock() - start) - 1000 / hertz;
        if (drift < -1 || drift > 1) {
            matches = 0;
        } else if (++matches == 3) {
            return true;
        }
    }
    return false;
}

// Gives what the driver makes; none without a driver or when the driver raises. Whenever it
// gives none, LastFailure says why: the driver's own reason, the message it raised, why no
// driver was selected, or that the framework is not initialised when none ever was.
template <class Make>
Ref<TGraphics> CatchingDriverErrors(Make make) {
    GraphicsState& s = State();
    if (!s.driver) {
        SetLastFailure("could not open graphics: " +
                       (s.noDriverReason.empty() ? std::string(NOT_INITIALISED_CAUSE) : s.noDriverReason));
        return nullptr;
    }
    std::u16string earlier = LastFailure();
    ClearLastFailure();
    Ref<TGraphics> graphics;
    try {
        graphics = make();
    } catch (const std::exception& e) {
        SetLastFailure(std::string("could not open graphics: ") + e.what());
        return nullptr;
    } catch (...) {
        SetLastFailure("could not open graphics: the graphics driver failed");
        return nullptr;
    }
    if (graphics) {
        SetLastFailure(std::move(earlier));
    } else if (LastFailure().empty()) {
        SetLastFailure("could not open graphics: the graphics driver gave none");
    }
    return graphics;
}

}  // namespace

void InitGraphicsModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitSystemModule();
    InitInputModule();
    presentHookId = NewHookId();
}

void AdvanceContextGeneration() {
    contextGeneration = static_cast<int32_t>(static_cast<uint32_t>(contextGeneration) + 1);
    if (contextGeneration == 0) contextGeneration = 1;
}

void NoGraphicsDriverBecause(std::string reason) {
    State().noDriverReason = std::move(reason);
}

void SelectGraphicsDriver(const Ref<TGraphicsDriver>& driver, int32_t defaultFlags) {
    GraphicsState& s = State();
    if (driver != s.driver) ChangeDriver(driver);
    s.defaultFlags = defaultFlags;
    s.current = nullptr;
    s.settings = {};
}

Ref<TGraphicsDriver> CurrentGraphicsDriver() {
    return State().driver;
}

int32_t DefaultContextFlags() {
    return State().defaultFlags;
}

std::vector<TGraphicsMode> ListGraphicsModes() {
    return CachedModes();
}

int32_t GraphicsModeCount() {
    return static_cast<int32_t>(CachedModes().size());
}

bool GraphicsModeAt(int32_t index, int32_t& width, int32_t& height, int32_t& depth, int32_t& hertz) {
    const auto& modes = CachedModes();
    const bool valid = index >= 0 && index < static_cast<int32_t>(modes.size());
    const TGraphicsMode mode = valid ? modes[index] : TGraphicsMode{};
    width = mode.width;
    height = mode.height;
    depth = mode.depth;
    hertz = mode.hertz;
    return valid;
}

bool HasGraphicsMode(int32_t width, int32_t height, int32_t depth, int32_t hertz) {
    const auto matches = [](int32_t wanted, int32_t actual) { return wanted == 0 || wanted == actual; };
    const auto& modes = CachedModes();
    return std::any_of(modes.begin(), modes.end(), [&](const TGraphicsMode& m) {
        return matches(width, m.width) && matches(height, m.height) && matches(depth, m.depth) &&
               matches(hertz, m.hertz);
    });
}

Ref<TGraphics> NewGraphics(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                           int32_t flags) {
    return CatchingDriverErrors([&] {
        return State().driver->CreateContext(width, height, depth, hertz, flags | State().defaultFlags);
    });
}

Ref<TGraphics> AttachGraphicsToWindow(void* window, int32_t flags) {
    return CatchingDriverErrors(
        [&] { return State().driver->AttachContext(window, flags | State().defaultFlags); });
}

void SelectGraphics(Ref<TGraphics> graphics) {
    GraphicsState& s = State();
    if (!graphics) {
        ReleaseCurrentContext();
        s.current = nullptr;
        s.settings = {};
        return;
    }
    const Ref<TGraphicsDriver> driver = graphics->GetDriver();
    if (!driver) {
        // A closed context has let go of its driver: nothing is left to make current.
        SelectGraphics(nullptr);
        return;
    }
    if (driver != s.driver) ChangeDriver(driver);
    s.settings = graphics->GetSettings();
    driver->MakeCurrent(graphics);
    s.current = graphics;
}

Ref<TGraphics> CurrentGraphics() {
    return State().current;
}

void CloseGraphicsContext(Ref<TGraphics> graphics) {
    if (!graphics) return;
    GraphicsState& s = State();
    if (graphics == s.defaultGraphics) s.defaultGraphics = nullptr;
    if (graphics == s.current) SelectGraphics(nullptr);
    graphics->Close();
}

int32_t CurrentWidth() { return State().settings.width; }
int32_t CurrentHeight() { return State().settings.height; }
int32_t CurrentDepth() { return State().settings.depth; }
int32_t CurrentHertz() { return State().settings.hertz; }
int32_t CurrentFlags() { return State().settings.flags; }

Ref<TGraphics> OpenGraphicsWindow(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                  int32_t flags) {
    CloseGraphicsWindow();
    GraphicsState& s = State();
    Ref<TGraphics> graphics = NewGraphics(width, height, depth, hertz, flags | s.defaultFlags);
    if (!graphics) return nullptr;
    AdvanceContextGeneration();
    SelectGraphics(graphics);

    s.softwareSync = hertz > 0;
    if (s.softwareSync && depth != 0) s.softwareSync = !SynchronisedPresentKeepsRate(hertz);
    s.pacer.Start(hertz);
    s.defaultGraphics = graphics;

    if (depth != 0) SetPointerPosition(width / 2, height / 2);
    StartInputPolling(nullptr);
    if (!s.exitHandlerAdded) {
        AddExitHandler(CloseGraphicsWindow);
        s.exitHandlerAdded = true;
    }
    return graphics;
}

Ref<TGraphics> DefaultGraphics() {
    return State().defaultGraphics;
}

void CloseGraphicsWindow() {
    GraphicsState& s = State();
    if (!s.defaultGraphics) return;
    AdvanceContextGeneration();
    StopInputPolling();
    CloseGraphicsContext(s.defaultGraphics);
}

namespace {

void ShowFrame(GraphicsState& s, int32_t sync) {
    if (sync != -1) {
        s.driver->PresentBuffer(sync);
        return;
    }
    if (s.current != s.defaultGraphics || !s.softwareSync) {
        s.driver->PresentBuffer(s.settings.depth != 0 ? 1 : 0);
        return;
    }
    s.pacer.WaitForNextFrame();
    s.driver->PresentBuffer(0);
}

}  // namespace

void PresentFrame(int32_t sync) {
    GraphicsState& s = State();
    CallHooks(presentHookId, nullptr);
    if (!s.driver) return;
    ShowFrame(s, sync);
    s.presentBefore = s.lastPresentAt;
    s.lastPresentAt = MillisecondClock();
    if (s.presents < 2) ++s.presents;
}

double FrameDeltaSeconds() {
    const GraphicsState& s = State();
    if (s.presents < 2) return 0.0;
    return static_cast<int32_t>(s.lastPresentAt - s.presentBefore) / 1000.0;
}

}  // namespace qrv
