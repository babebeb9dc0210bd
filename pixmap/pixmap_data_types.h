#pragma once

namespace qrv {

// Registers the pixmap's data type: format, size, and the rows without their padding,
// compressed with zlib. A window is written as the pixels it shows and reads back as an owning
// pixmap. A pixmap read takes at most DEFAULT_PICTURE_MEMORY_LIMIT bytes, its rows padded to 4
// bytes, whatever the data claims. Called by the pixmap module's initialisation.
void RegisterPixmapDataTypes();

}  // namespace qrv
