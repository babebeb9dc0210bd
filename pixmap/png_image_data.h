#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "stream/stream.h"

namespace qrv {

// The image data of a non-interlaced PNG with 8-bit samples, read straight from the stream
// once libpng has read the chunks before it: the IDAT chunks are inflated in large blocks
// (libpng inflates one row at a time, which keeps zlib off its fast path) and unfiltered
// here. The chunks after the image data are read up to IEND. The CRC of every chunk is
// checked, the critical ones' strictly, as libpng does; the zlib checksum is not, the CRCs
// already covering the same bytes.
struct TPngImageData {
    uint32_t firstChunkLength;  // of the IDAT chunk whose header libpng has just read
    int32_t height;
    size_t rowBytes;            // bytes of samples in a row, without the filter byte
    int32_t bytesPerPixel;      // the distance the filters look back
};

// Hands every row, unfiltered, to `row` (its index and rowBytes bytes, valid during the
// call). False for damaged, short or missing data. Exceptions of the stream pass on.
bool ReadPngImageData(TStream& stream, const TPngImageData& layout,
                      const std::function<void(int32_t, const uint8_t*)>& row);

}  // namespace qrv
