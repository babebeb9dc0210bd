#pragma once

#include "core/object.h"

namespace qrv {

// One frame of an image as the renderer holds it (for OpenGL, a texture).
class TImageFrame : public TObject {
public:
    // Draws the whole frame stretched over the local box (x0, y0)-(x1, y1), mapped by the
    // current drawing matrix and translated by (tx, ty).
    virtual void Draw(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
    // Whether every pixel the frame draws has alpha 255; false when the renderer does not know.
    [[nodiscard]] virtual bool Opaque() const { return false; }
};

}  // namespace qrv
