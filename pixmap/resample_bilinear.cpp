#include <cmath>
#include <vector>

#include "pixmap/pixel_convert.h"
#include "pixmap/pixmap_transform.h"

namespace qrv {

namespace {

// Where one result row or column samples the source: the first source pixel, the byte step
// to its neighbour (0 at the borders, where the sample clamps) and the neighbour's weight.
struct TSample {
    int32_t index;
    int32_t step;
    float weight;
};

TSample SampleAt(int32_t i, float scale, int32_t sourceSize, int32_t neighbourStep) {
    float position = (static_cast<float>(i) + 0.5f) * scale - 0.5f;
    float first = std::floor(position);
    if (first < 0.0f) return {0, 0, 0.0f};
    if (first >= static_cast<float>(sourceSize - 1)) return {sourceSize - 1, 0, 0.0f};
    return {static_cast<int32_t>(first), neighbourStep, position - first};
}

float Lerp(int32_t from, int32_t to, float weight) {
    return static_cast<float>(from) + static_cast<float>(to - from) * weight;
}

void ResampleRow(const TPixmap& source, const TSample& row, const std::vector<TSample>& columns,
                 uint8_t* out) {
    const uint8_t* sourceRow = source.PixelAddress(0, row.index);
    for (const TSample& column : columns) {
        const uint8_t* s = sourceRow + column.index * 4;
        const uint8_t* right = s + column.step;
        const uint8_t* below = s + row.step;
        const uint8_t* belowRight = below + column.step;
        for (int c = 0; c < 4; ++c) {
            float top = Lerp(s[c], right[c], column.weight);
            float bottom = Lerp(below[c], belowRight[c], column.weight);
            *out++ = static_cast<uint8_t>(top + (bottom - top) * row.weight);
        }
    }
}

}  // namespace

Ref<TPixmap> ResampleBilinear(const Ref<TPixmap>& pixmap, int32_t width, int32_t height) {
    if (!pixmap || pixmap->Width() < 1 || pixmap->Height() < 1 || width < 1 || height < 1)
        return nullptr;
    Ref<TPixmap> source =
        pixmap->Format() == FormatRGBA8888 ? pixmap : pixmap->ConvertedTo(FormatRGBA8888);
    Ref<TPixmap> result = source ? NewPixmap(width, height, pixmap->Format(), 4) : nullptr;
    if (!result) return nullptr;

    const float scaleX = static_cast<float>(source->Width()) / static_cast<float>(width);
    const float scaleY = static_cast<float>(source->Height()) / static_cast<float>(height);
    std::vector<TSample> columns(static_cast<size_t>(width));
    for (int32_t j = 0; j < width; ++j) columns[j] = SampleAt(j, scaleX, source->Width(), 4);

    const bool direct = result->Format() == FormatRGBA8888;
    std::vector<uint8_t> rgbaRow(direct ? 0 : static_cast<size_t>(width) * 4);
    for (int32_t i = 0; i < height; ++i) {
        TSample row = SampleAt(i, scaleY, source->Height(), source->Pitch());
        uint8_t* out = direct ? result->PixelAddress(0, i) : rgbaRow.data();
        ResampleRow(*source, row, columns, out);
        if (!direct)
            (void)ConvertPixelRun(out, FormatRGBA8888, result->PixelAddress(0, i), result->Format(),
                                  width);
    }
    return result;
}

}  // namespace qrv
