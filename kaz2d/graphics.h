#pragma once

#include <cstdint>
#include <vector>

#include "core/object.h"
#include "kaz2d/graphics_mode.h"

namespace qrv {

// Graphics flags: a bit set passed to context creation, applied by the driver.
inline constexpr int32_t GFX_BACK_BUFFER = 2;
inline constexpr int32_t GFX_ALPHA_BUFFER = 4;
inline constexpr int32_t GFX_DEPTH_BUFFER = 8;
inline constexpr int32_t GFX_STENCIL_BUFFER = 16;
inline constexpr int32_t GFX_ACCUM_BUFFER = 32;

class TGraphicsDriver;

// The settings a context was made with.
struct TGraphicsSettings {
    // Size in pixels, depth in bits per pixel (0: windowed), refresh rate in hertz and GFX_ flags.
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    int32_t hertz = 0;
    int32_t flags = 0;
};

// One open graphics context.
class TGraphics : public TObject {
public:
    // The driver that made the context (a closed Kaz2D context gives none).
    virtual Ref<TGraphicsDriver> GetDriver() = 0;
    // What the context was made with.
    virtual TGraphicsSettings GetSettings() = 0;
    // Releases the context; closing twice is harmless.
    virtual void Close() = 0;
};

// One kind of graphics driver; a process-wide singleton per kind.
class TGraphicsDriver : public TObject {
public:
    // The display modes the driver offers, for full-screen contexts.
    virtual std::vector<TGraphicsMode> EnumerateModes() = 0;
    // A context rendering into an existing native window, or none.
    virtual Ref<TGraphics> AttachContext(void* window, int32_t flags) = 0;
    // A context with a window of its own, or none. Depth 0 is windowed, any other full screen.
    virtual Ref<TGraphics> CreateContext(int32_t width, int32_t height, int32_t depth,
                                         int32_t hertz, int32_t flags) = 0;
    // Routes rendering to graphics; none means no context.
    virtual void MakeCurrent(const Ref<TGraphics>& graphics) = 0;
    // Shows the back buffer; sync 0 does not wait for the vertical retrace, 1 waits.
    virtual void PresentBuffer(int32_t sync) = 0;
};

}  // namespace qrv
