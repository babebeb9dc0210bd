#include "framework/framework.h"

#include "core/runtime.h"
#include "kaz2d/gl/gl_kaz2d_driver.h"
#include "pixmap/freetype_font.h"
#include "pixmap/pixmap_module.h"
#include "stream/stream_module.h"

namespace qrv {

void InitFramework() {
    StartRuntime();
    InitStreamModule();
    InitPixmapModule();
    InitFreeTypeModule();
    // The graphics driver in use is the one whose module initialises last.
    InitGLKaz2DModule();
}

}  // namespace qrv
