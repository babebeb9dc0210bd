#include "kaz2d/glshader/glshader_module.h"

#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/glshader/glshader_kaz2d_driver.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"

namespace qrv {

namespace {

// Start-up preferences: above the fixed-function renderer's 0, the widest choice first.
constexpr int32_t kCorePreference = 30;
constexpr int32_t kESPreference = 20;
constexpr int32_t kES2Preference = 10;

Ref<TKaz2DDriver> DriverIfAvailable(TGLProfile profile) {
    if (!CanCreateGLContext(profile)) return nullptr;
    return TGLShaderKaz2DDriver::ForProfile(profile);
}

Ref<TKaz2DDriver> AvailableESDriver() {
    if (Ref<TKaz2DDriver> es = DriverIfAvailable(TGLProfile::ES)) return es;
    return DriverIfAvailable(TGLProfile::ES2);
}

}  // namespace

Ref<TKaz2DDriver> AvailableGLShaderDriver() {
    if (Ref<TKaz2DDriver> core = DriverIfAvailable(TGLProfile::Core)) return core;
    return AvailableESDriver();
}

void InitGLShaderKaz2DModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitKaz2DModule();
    InitGLGraphicsModule();
    (void)RegisterRenderer({"glcore", kCorePreference, AvailableGLShaderDriver});
    (void)RegisterRenderer({"gles", kESPreference, AvailableESDriver});
    (void)RegisterRenderer({"gles2", kES2Preference, [] { return DriverIfAvailable(TGLProfile::ES2); }});
}

}  // namespace qrv
