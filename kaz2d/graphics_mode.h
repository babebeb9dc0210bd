#pragma once

#include <cstdint>
#include <string>

#include "core/object.h"

namespace qrv {

// One display mode.
struct TGraphicsMode {
    // Size in pixels.
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;  // bits per pixel
    int32_t hertz = 0;  // refresh rate

    // "640,480,32 60Hz"
    std::u16string ToString() const;
    bool operator==(const TGraphicsMode&) const = default;
};

}  // namespace qrv
