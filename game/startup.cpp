#include "game/startup.h"

#include "kaz2d/gl/gl_kaz2d_driver.h"
#include "pixmap/freetype_font.h"
#include "pixmap/pixmap_module.h"

namespace zorvak {

void InitGameModules() {
    qrv::InitPixmapModule();
    qrv::InitFreeTypeModule();
    qrv::InitGLKaz2DModule();
}

}  // namespace zorvak
