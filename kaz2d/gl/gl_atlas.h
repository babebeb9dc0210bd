#pragma once

#include <cstdint>
#include <vector>

#include "core/object.h"
#include "kaz2d/gl/gl_frame_texture.h"
#include "kaz2d/gl/atlas_packing.h"
#include "pixmap/pixmap.h"

namespace qrv {

// One shared texture holding many small frames.
struct TGLAtlasPage {
    uint32_t texture = 0;
    TAtlasPacking packing;
};

// Where a frame sits in the atlas: its page and cell, and the frame's corners in the page.
struct TGLAtlasPlace {
    Ref<TGLAtlasPage> page;
    TAtlasCell cell;
    float s0 = 0.0f;
    float t0 = 0.0f;
    float s1 = 0.0f;
    float t1 = 0.0f;
    bool opaque = false;
};

// Small frames drawn unfiltered (glyphs above all) share a few textures, so that a line of
// text goes to the renderer as one draw rather than one per glyph, and the software
// rasteriser keeps one set of drawing state for it rather than one per glyph. Each frame sits
// in a cell with its edge texels repeated once around it, so that sampling at its border
// finds what a texture of its own clamped to its edge gives. Each renderer keeps one atlas.
class TGLAtlas {
public:
    static constexpr int32_t PAGE_SIDE = 256;
    static constexpr int32_t LARGEST_FRAME_SIDE = 64;

    // Whether a frame of the pixmap, made with the image flags, goes into the atlas.
    [[nodiscard]] static bool Takes(const TPixmap& pixmap, int32_t flags);

    // Finds a cell for the pixmap in a page with room (making a page when none has), in the
    // current context; none when no texture could be made. Call Fill next.
    [[nodiscard]] TGLAtlasPlace Reserve(const TPixmap& pixmap, TTextureRows rows);
    // Uploads the pixmap with its repeated edges into the place's cell; the page's texture is
    // bound after. False when there was no memory for the upload.
    [[nodiscard]] static bool Fill(TGLAtlasPlace& place, const Ref<TPixmap>& pixmap);
    // Frees the place's cell; gives the page's texture to delete when that emptied the page,
    // 0 otherwise.
    [[nodiscard]] uint32_t Release(const TGLAtlasPlace& place);

    [[nodiscard]] size_t PageCount() const { return pages.size(); }

private:
    std::vector<Ref<TGLAtlasPage>> pages;
};

}  // namespace qrv
