#include "pixmap/pixmap_module.h"

#include "pixmap/jpeg_loader.h"
#include "pixmap/pixmap_data_types.h"
#include "pixmap/png_loader.h"
#include "stream/data/data_module.h"
#include "stream/stream_module.h"

namespace qrv {

void InitPixmapModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreamModule();
    InitDataModule();
    // Loaders live for the rest of the process, as the loader list expects.
    new TPixmapLoaderPNG;
    new TPixmapLoaderJPG;
    RegisterPixmapDataTypes();
}

}  // namespace qrv
