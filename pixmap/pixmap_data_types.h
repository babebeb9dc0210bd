#pragma once

#include <cstdint>

namespace qrv {

// The largest pixmap a data stream reads: width x height x bytes per pixel at most this many
// bytes (256 MiB), whatever the data claims.
inline constexpr int64_t kMaxDataPixmapBytes = int64_t{1} << 28;

// Registers the pixmap's data type: format, size, and the rows without their padding,
// compressed with zlib. A window is written as the pixels it shows and reads back as an owning
// pixmap. Called by the pixmap module's initialisation.
void RegisterPixmapDataTypes();

}  // namespace qrv
