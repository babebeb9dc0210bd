#include "kaz2d/glcore/renderer_choice.h"

#include <cstdlib>

#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/gl_kaz2d_driver.h"
#include "kaz2d/glcore/glcore_kaz2d_driver.h"
#include "kaz2d/graphics_module.h"

namespace qrv {

namespace {

Ref<TKaz2DDriver> DriverIfAvailable(TGLProfile profile) {
    if (!CanCreateGLContext(profile)) return nullptr;
    return TGLCoreKaz2DDriver::ForProfile(profile);
}

Ref<TKaz2DDriver> DriverNamed(std::string_view name) {
    if (name == "opengl") return TGLKaz2DDriver::Instance();
    if (name == "glcore") return AvailableGLCoreDriver();
    if (name == "gles") {
        if (Ref<TKaz2DDriver> es = DriverIfAvailable(TGLProfile::ES)) return es;
        return DriverIfAvailable(TGLProfile::ES2);
    }
    if (name == "gles2") return DriverIfAvailable(TGLProfile::ES2);
    return nullptr;
}

}  // namespace

Ref<TKaz2DDriver> AvailableGLCoreDriver() {
    if (Ref<TKaz2DDriver> core = DriverIfAvailable(TGLProfile::Core)) return core;
    if (Ref<TKaz2DDriver> es = DriverIfAvailable(TGLProfile::ES)) return es;
    return DriverIfAvailable(TGLProfile::ES2);
}

bool SelectRenderer(std::string_view name) {
    InitGLKaz2DModule();
    const Ref<TKaz2DDriver> driver = DriverNamed(name);
    if (!driver) return false;
    SelectGraphicsDriver(driver, GFX_BACK_BUFFER);
    return true;
}

void InitGLCoreKaz2DModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitGLKaz2DModule();
    SelectStartupRenderer(std::getenv(RENDERER_VARIABLE));
}

void SelectStartupRenderer(const char* chosen) {
    (void)SelectRenderer(chosen && *chosen ? chosen : "glcore");
}

}  // namespace qrv
