#pragma once

#include <cstdint>
#include <string_view>

#include "kaz2d/gl/power_of_two.h"  // NextPowerOfTwo, for sizing textures
#include "pixmap/pixmap.h"

namespace qrv {

// Immediate-mode helpers for plain OpenGL programs; they work on the current context. A browser's
// WebGL has no immediate mode: the web build leaves them out.

// Brackets 2D drawing: saves state and matrices, then sets a pixel projection of the viewport
// with the origin at the top left.
void BeginGL2D();
// Restores the state and matrices BeginGL2D saved.
void EndGL2D();

// Raises both sides to powers of two, then halves them until the driver accepts the texture.
// Raises "Unable to calculate tex size" when not even 1 x 1 is accepted.
void FitTextureSize(int32_t& width, int32_t& height);
// A new texture name holding the pixmap (converted to RGBA and resampled to a size the driver
// takes), with every mipmap level down to 1 x 1 when mipmapped. No texture parameters are set.
uint32_t TextureFromPixmap(Ref<TPixmap> pixmap, bool mipmapped);

// Fills the rectangle, in pixels from the viewport's top left, in the current OpenGL colour.
void GLFillRect(int32_t x, int32_t y, int32_t width, int32_t height);
// Draws the pixmap's pixels unscaled with their top left at (x, y) in the same pixels; nothing
// for none.
void GLBlitPixmap(const Ref<TPixmap>& pixmap, int32_t x, int32_t y);
// Draws the characters 32..127 of text in the embedded 8 x 16 font with the pen starting at
// (x, y); every character advances the pen by 8 pixels, drawn or not.
void GLPrintText(std::u16string_view text, int32_t x, int32_t y);

}  // namespace qrv
