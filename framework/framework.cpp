#include "framework/framework.h"

#include "core/runtime.h"
#include "kaz2d/glcore/renderer_choice.h"
#include "pixmap/freetype_font.h"
#include "pixmap/pixmap_module.h"
#include "stream/stream_module.h"

namespace qrv {

void InitFramework() {
    StartRuntime();
    InitStreamModule();
    InitPixmapModule();
    InitFreeTypeModule();
    // The fixed-function renderer first, then the shader renderer, which takes over where the
    // machine can make its context (or as ZORVAK_RENDERER says).
    InitGLCoreKaz2DModule();
}

}  // namespace qrv
