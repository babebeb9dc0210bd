#pragma once

#include <cstdint>

namespace qrv {

// Keeps the current context's picture at the top left of its drawable. GL counts window rows
// from the bottom; when a window manager forces the window to another size than the context's,
// a picture placed from the bottom would leave the pointer's window positions (counted from the
// top left) pointing elsewhere. Both OpenGL renderers place their viewport, scissor rectangles
// and pixel reads through this, and clear what lies outside the picture.
class TGLPictureAnchor {
public:
    // Anchors to the current drawable's height and sets the viewport to the picture's place.
    void AnchorViewport(int32_t width, int32_t height);
    // The GL row (counted from the bottom) of the lowest of `height` picture rows that begin
    // `top` rows below the picture's top edge.
    int32_t RowFromBottom(int32_t top, int32_t height) const {
        return drawableHeight - top - height;
    }
    // After a present: anchors afresh when the drawable's height changed and clears what lies
    // right of and below the picture. True when the scissor rectangle must be set again, since
    // its rows moved or the clearing changed it.
    [[nodiscard]] bool FollowDrawable();

private:
    // Clears outside the picture when the drawable is larger; true when it did, leaving the
    // scissor test on with another rectangle.
    bool ClearOutsidePicture() const;

    int32_t drawableHeight = 0;
};

}  // namespace qrv
