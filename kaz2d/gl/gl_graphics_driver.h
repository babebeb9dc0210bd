#pragma once

#include <cstdint>
#include <vector>

#include "kaz2d/graphics.h"
#include "kaz2d/gl/gl_context.h"

namespace qrv {

class TGLGraphicsDriver;

// An OpenGL context of the driver below. Dropping the last reference does not close it.
class TGLGraphics final : public TGraphics {
public:
    explicit TGLGraphics(TGLContextRecord* contextRecord)
        : record(contextRecord),
          profile(contextRecord ? contextRecord->profile : TGLProfile::Compatibility) {}
    Ref<TGraphicsDriver> GetDriver() override;
    TGraphicsSettings GetSettings() override;
    void Close() override;
    // The native context record; nullptr once closed.
    TGLContextRecord* Record() const { return record; }

private:
    TGLContextRecord* record;
    TGLProfile profile;
};

// The graphics driver that makes OpenGL contexts in SDL windows. One instance per profile and
// process; the fixed-function renderer uses the compatibility one.
class TGLGraphicsDriver : public TGraphicsDriver {
public:
    explicit TGLGraphicsDriver(TGLProfile contextProfile = TGLProfile::Compatibility)
        : profile(contextProfile) {}
    // Instance: the compatibility profile's driver. ForProfile: the driver of the profile, one per
    // profile for the process. Profile: the profile of the driver's contexts.
    static Ref<TGLGraphicsDriver> Instance();
    static Ref<TGLGraphicsDriver> ForProfile(TGLProfile profile);
    TGLProfile Profile() const { return profile; }

    std::vector<TGraphicsMode> EnumerateModes() override;
    // window is an SDL_Window* made with SDL_WINDOW_OPENGL.
    Ref<TGraphics> AttachContext(void* window, int32_t flags) override;
    Ref<TGraphics> CreateContext(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                 int32_t flags) override;
    void MakeCurrent(const Ref<TGraphics>& graphics) override;
    void PresentBuffer(int32_t sync) override;
    // Switches to the shared context and back; bracket texture creation and deletion with it.
    virtual void SwapSharedContext();

private:
    TGLProfile profile;
};

// Switches to the profile's shared context and back, also when the work in between raises.
class TSharedContextScope {
public:
    explicit TSharedContextScope(TGLProfile profile)
        : driver(TGLGraphicsDriver::ForProfile(profile)) {
        driver->SwapSharedContext();
    }
    ~TSharedContextScope() { driver->SwapSharedContext(); }
    TSharedContextScope(const TSharedContextScope&) = delete;
    TSharedContextScope& operator=(const TSharedContextScope&) = delete;

private:
    Ref<TGLGraphicsDriver> driver;
};

// Registers the embedded font GLPrintText draws in, initialises the graphics and pixmap modules, and
// selects the OpenGL driver; once.
void InitGLGraphicsModule();

// Selects the OpenGL driver with back buffering and opens the default graphics window.
Ref<TGraphics> OpenGLGraphicsWindow(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                    int32_t flags);

}  // namespace qrv
