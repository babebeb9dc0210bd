#pragma once

#include "core/object.h"
#include "kaz2d/graphics_mode.h"

namespace qrv {

// A graphics mode wrapped as an object, so that it can be kept in a list or written to a data
// stream.
class TGraphicsModeObject final : public TObject {
public:
    explicit TGraphicsModeObject(const TGraphicsMode& mode) : mode(mode) {}
    std::u16string ToString() const override { return mode.ToString(); }
    const TGraphicsMode mode;
};

Ref<TObject> MakeGraphicsModeObject(const TGraphicsMode& mode);

// Registers the data types of images (size, flags, mask colour, handle and one pixmap or none
// per frame) and graphics modes. Called by the Kaz2D module's initialisation, after the pixmap
// module's.
void RegisterKaz2DDataTypes();

}  // namespace qrv
