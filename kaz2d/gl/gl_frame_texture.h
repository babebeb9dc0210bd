#pragma once

#include <cstdint>

#include "pixmap/pixmap.h"

namespace qrv {

// A texture holding one image frame in its top left corner up to (s1, t1).
struct TFrameTexture {
    uint32_t name = 0;  // 0: none was made
    float s1 = 0.0f;
    float t1 = 0.0f;
    // Every texel a draw of the frame samples has alpha 255; never set for mipmapped frames.
    bool opaque = false;
};

// Raises both sides of a texture to powers of two and shrinks them until the driver takes them.
using TTextureSizeFit = void (*)(int32_t& width, int32_t& height);

// How pixels reach a texture: with a row length and a sized internal format, or, where OpenGL
// ES 2.0 has neither, in tightly packed rows and the unsized format.
enum class TTextureRows { Strided, Tight };

// A new texture, bound, clamped to its edge and filtered as the image flags ask (nearest when
// unfiltered); no storage yet.
[[nodiscard]] uint32_t NewClampedTexture(int32_t flags);

// Whether the top left w x h pixels of an RGBA pixmap all have alpha 255.
[[nodiscard]] bool EveryPixelOpaque(const TPixmap& rgba, int32_t w, int32_t h);

// A texture of the pixmap made in the context that is current, bound when it returns: sides
// fitted by fit (the pixmap shrunk bilinearly when the driver takes no texture that large),
// the pixmap's last column and row repeated once into the padding, filtering and mipmaps as
// the image flags ask. Both OpenGL renderers make their frames with it.
[[nodiscard]] TFrameTexture MakeFrameTexture(Ref<TPixmap> pixmap, int32_t flags,
                                             TTextureSizeFit fit,
                                             TTextureRows rows = TTextureRows::Strided);

}  // namespace qrv
