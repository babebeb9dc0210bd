#include "pixmap/png_unfilter.h"

#include <cstdlib>
#include <vector>

namespace qrv {

namespace {

enum : uint8_t { FilterNone, FilterSub, FilterUp, FilterAverage, FilterPaeth };

uint8_t Paeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

void UnfilterUp(uint8_t* row, const uint8_t* above, size_t length) {
    for (size_t i = 0; i < length; ++i) row[i] = uint8_t(row[i] + above[i]);
}

// The filters that look back along the row, a whole pixel of `Bpp` bytes per step so the
// pixel to the left stays in registers. `length` is a multiple of Bpp.
template <size_t Bpp>
void UnfilterSub(uint8_t* row, size_t length) {
    for (size_t i = Bpp; i < length; i += Bpp)
        for (size_t k = 0; k < Bpp; ++k) row[i + k] = uint8_t(row[i + k] + row[i + k - Bpp]);
}

template <size_t Bpp>
void UnfilterAverage(uint8_t* row, const uint8_t* above, size_t length) {
    for (size_t k = 0; k < Bpp && k < length; ++k) row[k] = uint8_t(row[k] + (above[k] >> 1));
    for (size_t i = Bpp; i < length; i += Bpp)
        for (size_t k = 0; k < Bpp; ++k)
            row[i + k] = uint8_t(row[i + k] + ((row[i + k - Bpp] + above[i + k]) >> 1));
}

template <size_t Bpp>
void UnfilterPaeth(uint8_t* row, const uint8_t* above, size_t length) {
    // The first pixel has zeros to its left: Paeth gives the byte above.
    for (size_t k = 0; k < Bpp && k < length; ++k) row[k] = uint8_t(row[k] + above[k]);
    for (size_t i = Bpp; i < length; i += Bpp)
        for (size_t k = 0; k < Bpp; ++k)
            row[i + k] = uint8_t(row[i + k] +
                                 Paeth(row[i + k - Bpp], above[i + k], above[i + k - Bpp]));
}

template <size_t Bpp>
bool Unfilter(uint8_t filter, uint8_t* row, const uint8_t* above, size_t length) {
    switch (filter) {
    case FilterNone: return true;
    case FilterSub: UnfilterSub<Bpp>(row, length); return true;
    case FilterUp: UnfilterUp(row, above, length); return true;
    case FilterAverage: UnfilterAverage<Bpp>(row, above, length); return true;
    case FilterPaeth: UnfilterPaeth<Bpp>(row, above, length); return true;
    default: return false;
    }
}

}  // namespace

bool UnfilterPngRow(uint8_t filter, uint8_t* row, const uint8_t* above, size_t length,
                    int32_t bytesPerPixel) {
    switch (bytesPerPixel) {
    case 2: return Unfilter<2>(filter, row, above, length);
    case 3: return Unfilter<3>(filter, row, above, length);
    case 4: return Unfilter<4>(filter, row, above, length);
    default: return Unfilter<1>(filter, row, above, length);
    }
}

bool UnfilterPngRows(uint8_t* rows, int32_t height, size_t rowBytes, int32_t bytesPerPixel) {
    const std::vector<uint8_t> zeros(rowBytes, 0);
    const uint8_t* above = zeros.data();
    for (int32_t y = 0; y < height; ++y, rows += rowBytes + 1) {
        if (!UnfilterPngRow(rows[0], rows + 1, above, rowBytes, bytesPerPixel)) return false;
        above = rows + 1;
    }
    return true;
}

}  // namespace qrv
