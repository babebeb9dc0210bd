#pragma once

#include <cstddef>
#include <cstdint>

#include "stream/stream.h"

namespace qrv {

// How reading a PNG's image data ended: the rows read, the data ended early, or it is damaged.
enum class TPngImageData { Whole, Short, Damaged };

// The image data of a non-interlaced PNG, read straight from the stream once libpng has read
// the chunks before it (the header of the first IDAT chunk included): the IDAT chunks are
// gathered and inflated in one piece into exactly `size` bytes, the filtered rows, each a
// filter byte and its samples. The chunks after the image data are read up to IEND. The CRC
// of every chunk is checked, the critical ones' strictly, as libpng does; the zlib checksum
// is not, the CRCs already covering the same bytes. A zlib stream that inflates to more than
// `size` bytes is accepted, the rest dropped, as libpng does. Says whether the rows were read,
// the data ended before they or the chunks after them were complete, or it is damaged.
// Exceptions of the stream pass on.
TPngImageData ReadPngImageData(TStream& stream, uint32_t firstChunkLength, uint8_t* out, size_t size);

}  // namespace qrv
