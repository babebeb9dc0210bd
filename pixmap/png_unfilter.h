#pragma once

#include <cstddef>
#include <cstdint>

namespace qrv {

// Undoes the filter of one row of a PNG with 8-bit samples, in place: `above` is the row
// before, already unfiltered (zeros for the first row), and `bytesPerPixel` the distance the
// filters look back. False for an unknown filter type.
bool UnfilterPngRow(uint8_t filter, uint8_t* row, const uint8_t* above, size_t length,
                    int32_t bytesPerPixel);

// Undoes the filters of `height` rows stored one after the other, each a filter byte and
// `rowBytes` bytes of samples. False at the first unknown filter type.
bool UnfilterPngRows(uint8_t* rows, int32_t height, size_t rowBytes, int32_t bytesPerPixel);

}  // namespace qrv
