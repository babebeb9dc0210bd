#include "kaz2d/graphics_mode.h"

#include "core/text.h"

namespace qrv {

std::u16string TGraphicsMode::ToString() const {
    const std::string text = std::to_string(width) + "," + std::to_string(height) + "," +
                             std::to_string(depth) + " " + std::to_string(hertz) + "Hz";
    return FromLatin1(text);
}

}  // namespace qrv
