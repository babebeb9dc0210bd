#include "kaz2d/gl/gl_graphics_driver.h"

#include <SDL.h>

#include <array>

#include "kaz2d/graphics_module.h"
#include "kaz2d/gl/gl_text_font.h"
#include "pixmap/pixmap_module.h"
#include "system/sdl/sdl_video.h"

namespace qrv {

namespace {
constexpr size_t kMaxModes = 1024;
}  // namespace

Ref<TGraphicsDriver> TGLGraphics::GetDriver() {
    return TGLGraphicsDriver::ForProfile(profile);
}

TGraphicsSettings TGLGraphics::GetSettings() {
    if (!record) return {};
    RefreshGLContextSize(record);
    return {record->width, record->height, record->depth, record->hertz, record->flags};
}

void TGLGraphics::Close() {
    if (!record) return;
    CloseGLContext(record);
    record = nullptr;
}

Ref<TGLGraphicsDriver> TGLGraphicsDriver::Instance() {
    return ForProfile(TGLProfile::Compatibility);
}

Ref<TGLGraphicsDriver> TGLGraphicsDriver::ForProfile(TGLProfile profile) {
    static const std::array<Ref<TGLGraphicsDriver>, 4> instances{
        std::make_shared<TGLGraphicsDriver>(TGLProfile::Compatibility),
        std::make_shared<TGLGraphicsDriver>(TGLProfile::Core),
        std::make_shared<TGLGraphicsDriver>(TGLProfile::ES),
        std::make_shared<TGLGraphicsDriver>(TGLProfile::ES2)};
    return instances[static_cast<size_t>(profile)];
}

std::vector<TGraphicsMode> TGLGraphicsDriver::EnumerateModes() {
    std::vector<TGraphicsMode> modes;
    if (!StartSDLVideo()) return modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count && modes.size() < kMaxModes; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) break;
        const auto bits = static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
        if (bits >= 16) modes.push_back({mode.w, mode.h, bits, mode.refresh_rate});
    }
    return modes;
}

Ref<TGraphics> TGLGraphicsDriver::AttachContext(void* window, int32_t flags) {
    TGLContextRecord* record = AttachGLContext(static_cast<SDL_Window*>(window), flags, profile);
    return record ? std::make_shared<TGLGraphics>(record) : nullptr;
}

Ref<TGraphics> TGLGraphicsDriver::CreateContext(int32_t width, int32_t height, int32_t depth,
                                                int32_t hertz, int32_t flags) {
    TGLContextRecord* record = CreateGLContext(width, height, depth, hertz, flags, profile);
    return record ? std::make_shared<TGLGraphics>(record) : nullptr;
}

void TGLGraphicsDriver::MakeCurrent(const Ref<TGraphics>& graphics) {
    const auto gl = std::dynamic_pointer_cast<TGLGraphics>(graphics);
    MakeGLContextCurrent(gl ? gl->Record() : nullptr);
}

void TGLGraphicsDriver::PresentBuffer(int32_t sync) {
    PresentGLContext(sync);
}

void TGLGraphicsDriver::SwapSharedContext() {
    SwapSharedGLContext(profile);
}

void InitGLGraphicsModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    RegisterGLTextFont();
    InitGraphicsModule();
    InitPixmapModule();
    SelectGraphicsDriver(TGLGraphicsDriver::Instance(), GFX_BACK_BUFFER);
}

Ref<TGraphics> OpenGLGraphicsWindow(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                    int32_t flags) {
    InitGLGraphicsModule();
    SelectGraphicsDriver(TGLGraphicsDriver::Instance(), GFX_BACK_BUFFER);
    return OpenGraphicsWindow(width, height, depth, hertz, flags);
}

}  // namespace qrv
