#pragma once

#include <cstdint>
#include <vector>

#include "core/object.h"
#include "kaz2d/image_frame.h"
#include "pixmap/pixmap.h"
#include "pixmap/pixmap_loader.h"

namespace qrv {

class TKaz2DDriver;

// Image flags, combined with |. A PNG with alpha needs none of them for its alpha: it looks
// smooth when drawn with BLEND_ALPHA (the default blend mode, BLEND_MASK, draws each pixel fully
// or not at all), and IMG_FILTERED, with IMG_MIPMAPPED when it is drawn smaller, keeps it smooth
// when scaled or rotated. IMG_MASKED leaves a picture with alpha as it is.
inline constexpr int32_t IMG_MASKED = 1;     // pixmaps without alpha get the mask colour keyed out
inline constexpr int32_t IMG_FILTERED = 2;   // drawn with linear filtering
inline constexpr int32_t IMG_MIPMAPPED = 4;  // frames carry mipmaps
inline constexpr int32_t IMG_DYNAMIC = 8;    // set on blank images; carried only

// How a frame loaded from an embedded file gets its pixels again: the file never changes, so
// decoding it as it was loaded gives the same pixels.
struct TEmbeddedPixels {
    Ref<TObject> source;  // the URL of the embedded file
    int32_t flags = 0;    // the image flags it was loaded with
    // The mask colour it was loaded with.
    TKeyColour mask{};
};

// A renderer frame of an image frame: drawn only by the renderer that made it.
struct TRendererFrame {
    const TKaz2DDriver* renderer = nullptr;  // renderers live as long as the process
    int32_t sequence = 0;                    // the context generation it was made in
    // The renderer's frame.
    Ref<TImageFrame> frame;
    bool operator==(const TRendererFrame&) const = default;
};

// A drawable picture of one or more frames of equal size. Each frame keeps its pixels as a
// pixmap and becomes a renderer frame (a texture) the first time a renderer draws it in the
// current default graphics; each renderer in use has its own, and frames made for an earlier
// graphics are rebuilt from the kept pixmaps.
// A frame loaded from an embedded file keeps no pixmap (most pictures of a program are only
// drawn, and their decoded pixels would double the memory their textures take): its pixels
// are decoded again from the file whenever they are needed, and kept from the first Lock on.
class TImage : public TObject {
public:
    // The current renderer's frame for the frame index, made when needed; none without a
    // current renderer, when it cannot make one (it is retried on the next call) or when the
    // index is out of range.
    [[nodiscard]] virtual Ref<TImageFrame> Frame(int32_t index);
    // The same frame without taking a reference, for drawing: it stays valid until the image's
    // frames are dropped or made again, so the caller uses it at once.
    [[nodiscard]] TImageFrame* DrawableFrame(int32_t index);
    // The frame's pixmap for direct access, made blank (RGBA) when it has none yet. With write
    // set its renderer frames are dropped and rebuilt on the next draw. The pixmap is kept from
    // then on, since the caller may change it.
    [[nodiscard]] virtual Ref<TPixmap> Lock(int32_t index, bool read, bool write);
    // Stores the pixmap as the frame's pixels; a masked image keys the mask colour out of a
    // pixmap without alpha first.
    virtual void SetPixmap(int32_t index, Ref<TPixmap> pixmap);
    // The frame's pixels without keeping them: its pixmap, or decoded again from its embedded
    // file; none for a frame without pixels (or an embedded file that no longer decodes within
    // the picture memory limit) and for an index out of range.
    [[nodiscard]] Ref<TPixmap> Pixels(int32_t index) const;
    // Lets go of every renderer frame (for OpenGL, the textures), keeping the pixels: a picture
    // that will not be drawn for a while then holds only its pixmap, or nothing when it came
    // from an embedded file. Its frames are made again when it is next drawn.
    void ReleaseFrames();
    // The renderer's frame for the frame index made in the current default graphics, without
    // making one; none when it has none.
    [[nodiscard]] Ref<TImageFrame> FrameMadeBy(int32_t index, const TKaz2DDriver* renderer) const;
    // The renderer drew into its frame: that frame becomes the only one (the others show the
    // pixels from before and are made again), and the pixels drawn, when given, become the
    // frame's pixmap. With no frame every renderer frame goes.
    void TakeDrawnFrame(int32_t index, const TKaz2DDriver* renderer, Ref<TImageFrame> frame,
                        Ref<TPixmap> drawn);

    // A blank image; none for a negative frame count.
    [[nodiscard]] static Ref<TImage> Create(int32_t width, int32_t height, int32_t frameCount,
                                            int32_t flags, int32_t maskRed, int32_t maskGreen,
                                            int32_t maskBlue);
    // A one-frame image of the source: a pixmap, or a URL that the pixmap loaders read. None
    // when the source is none or does not load, with the reason in LastFailure (as
    // PixmapFromUrl gives it).
    [[nodiscard]] static Ref<TImage> Load(const Ref<TObject>& source, int32_t flags,
                                          int32_t maskRed, int32_t maskGreen, int32_t maskBlue);
    // count frames cut from a strip of cellWidth x cellHeight cells, numbered left to right,
    // then top to bottom, starting at cell first; none when the strip holds too few cells, the
    // sizes are not positive or the source does not load, with the reason in LastFailure.
    [[nodiscard]] static Ref<TImage> LoadAnim(const Ref<TObject>& source, int32_t cellWidth,
                                              int32_t cellHeight, int32_t first, int32_t count,
                                              int32_t flags, int32_t maskRed, int32_t maskGreen,
                                              int32_t maskBlue);

    // The number of frames.
    int32_t FrameCount() const { return static_cast<int32_t>(pixmaps.size()); }
    // True when the index is that of a frame, 0..FrameCount() - 1.
    bool HasFrame(int32_t index) const { return index >= 0 && index < FrameCount(); }

    // The frames' size in pixels, the IMG_ flags, and the colour (each 0..255) keyed out of
    // pictures without alpha when IMG_MASKED is set.
    int32_t width = 0;
    int32_t height = 0;
    int32_t flags = 0;
    int32_t maskRed = 0;
    int32_t maskGreen = 0;
    int32_t maskBlue = 0;
    // The handle: the image's point, in pixels from its top left, placed at the drawing position.
    float handleX = 0.0f;
    float handleY = 0.0f;
    // Per frame, its pixels; none for a frame of an embedded file (until it is locked) and for
    // a frame not given pixels yet.
    std::vector<Ref<TPixmap>> pixmaps;
    // Per frame, while its pixmap is released: where its pixels are decoded from.
    std::vector<TEmbeddedPixels> embedded;
    // Per frame, its renderer frames: one for each renderer that drew it.
    std::vector<std::vector<TRendererFrame>> frames;

private:
    void DropFrame(int32_t index);
    [[nodiscard]] Ref<TPixmap> Masked(Ref<TPixmap> pixmap) const;
};

}  // namespace qrv
