#include "kaz2d/image_font_module.h"

#include "kaz2d/image_font.h"
#include "kaz2d/kaz2d_graphics.h"
#include "pixmap/freetype_font.h"

namespace qrv {

// Generated from the list in this folder's CMakeLists.txt.
void RegisterImageFontFiles();

void InitImageFontModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitFreeTypeModule();
    RegisterImageFontFiles();
    SetDefaultImageFontMaker(&TImageFont::BuiltIn);
}

}  // namespace qrv
