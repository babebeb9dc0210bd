#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "kaz2d/gl/gl_atlas.h"
#include "kaz2d/gl/gl_frame_texture.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image.h"
#include "kaz2d/image_frame.h"
#include "pixmap/pixmap.h"

namespace qrv {

// What an image frame of either OpenGL renderer holds: a texture of its own of power-of-two
// size with the frame's pixels in its top left corner up to (s1, t1), or, for a small
// unfiltered frame, a cell of the renderer's atlas. Textures are shared by every context of the
// renderer's profile. The sequence is the context generation the frame was made in, 0 once its
// texture is given back.
class TGLFrameBase : public TImageFrame {
public:
    TGLFrameBase(uint32_t texture, float s1, float t1, int32_t sequence, bool opaque);
    explicit TGLFrameBase(TGLAtlasPlace place);
    TGLFrameBase(const TGLFrameBase&) = delete;
    TGLFrameBase& operator=(const TGLFrameBase&) = delete;

    uint32_t Texture() const { return texture; }
    float S0() const { return s0; }
    float T0() const { return t0; }
    float S1() const { return s1; }
    float T1() const { return t1; }
    int32_t Sequence() const { return sequence; }
    bool Opaque() const override { return opaque; }
    // Whether drawing may go into the frame's texture: one of its own of the frame's size,
    // without mipmaps (MakeGLTargetFrame). What is drawn may have any alpha, so such a frame is
    // never taken as opaque.
    bool AllowsDrawingInto() const { return drawable; }
    void AllowDrawingInto() {
        drawable = true;
        opaque = false;
    }

    // Makes the process's end stop the deleting of textures one by one, since the contexts go
    // with it. Call it once contexts exist (when the first frame is made), so that it runs
    // before they are torn down; later calls do nothing.
    static void StopTextureDeletionAtExit();

protected:
    // Whether the texture or atlas cell is still to be given back: not once it was, nor once
    // the process is ending.
    [[nodiscard]] bool HoldsTexture() const;
    // The frame's atlas cell; no page for a texture of its own.
    const TGLAtlasPlace& Place() const { return place; }
    void ForgetTexture() { sequence = 0; }

private:
    uint32_t texture;
    float s0 = 0.0f;
    float t0 = 0.0f;
    float s1;
    float t1;
    int32_t sequence;
    bool opaque;
    bool drawable = false;
    TGLAtlasPlace place;
};

// A frame of the pixmap made in the context that is current, built as Frame(context...,
// place) in a cell of the atlas when the atlas takes the pixmap, else as Frame(context...,
// texture, s1, t1, sequence, opaque) in a texture of its own with sides fitted by fit (the
// pixmap shrunk bilinearly when the driver takes no texture that large). None when no
// texture, page or memory could be had.
template <class Frame, class... Context>
Ref<Frame> MakeGLFrame(TGLAtlas& atlas, Ref<TPixmap> pixmap, int32_t flags, TTextureSizeFit fit,
                       TTextureRows rows, Context&... context) {
    if (pixmap && TGLAtlas::Takes(*pixmap, flags)) {
        TGLAtlasPlace place = atlas.Reserve(*pixmap, rows);
        if (!place.page) return nullptr;
        const bool filled = TGLAtlas::Fill(place, pixmap);
        // An unfilled frame still takes its cell, and gives it back as it goes.
        auto frame = std::make_shared<Frame>(context..., std::move(place));
        return filled ? frame : nullptr;
    }
    const TFrameTexture made = MakeFrameTexture(std::move(pixmap), flags, fit, rows);
    if (made.name == 0) return nullptr;
    return std::make_shared<Frame>(context..., made.name, made.s1, made.t1, contextGeneration,
                                   made.opaque);
}

// A frame of the pixmap that drawing can go into, made in the context that is current as
// Frame(context..., texture, s1, t1, sequence, opaque): a texture of its own, never an atlas
// cell, without mipmaps. None when no texture could be made or the driver takes none of the
// pixmap's size (a shrunk texture would not hold every pixel drawn).
template <class Frame, class... Context>
Ref<Frame> MakeGLTargetFrame(Ref<TPixmap> pixmap, int32_t flags, TTextureSizeFit fit,
                             TTextureRows rows, Context&... context) {
    if (!pixmap) return nullptr;
    int32_t tw = pixmap->Width();
    int32_t th = pixmap->Height();
    fit(tw, th);
    if (tw < pixmap->Width() || th < pixmap->Height()) return nullptr;
    const TFrameTexture made = MakeFrameTexture(std::move(pixmap), flags & ~IMG_MIPMAPPED, fit, rows);
    if (made.name == 0) return nullptr;
    auto frame = std::make_shared<Frame>(context..., made.name, made.s1, made.t1,
                                         contextGeneration, false);
    frame->AllowDrawingInto();
    return frame;
}

}  // namespace qrv
