#include "framework/framework.h"

#include <cstdlib>

#include "core/runtime.h"
#include "framework/host_page.h"
#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/glshader/glshader_module.h"
#include "kaz2d/renderer_table.h"
#include "pixmap/freetype_font.h"
#include "pixmap/pixmap_module.h"
#include "stream/stream_module.h"

namespace qrv {

void InitFramework() {
    StartRuntime();
    InitStreamModule();
    InitPixmapModule();
    InitFreeTypeModule();
    InitRendererModules();
    ConnectHostPage();
}

void InitRendererModules() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitGLKaz2DModule();
    InitGLShaderKaz2DModule();
    SelectStartupRenderer(std::getenv(RENDERER_VARIABLE));
}

}  // namespace qrv
