#include "framework/framework.h"

#include <cstdlib>

#include "audio/audio_module.h"
#include "core/runtime.h"
#include "framework/host_platform.h"
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
    InitAudioModule();
    InitRendererModules();
    ConnectHostPage();
}

void InitRendererModules() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitPlatformRenderers();
    SelectStartupRenderer(std::getenv(RENDERER_VARIABLE));
}

}  // namespace qrv
