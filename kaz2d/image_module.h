#pragma once

#include <cstdint>
#include <string_view>

#include "kaz2d/image.h"

namespace qrv {

// A one-frame image of the source (a pixmap, or a URL the pixmap loaders read); none when it
// does not load. Images loaded or made with flags -1 take the default image flags (at first
// IMG_MASKED | IMG_FILTERED); masked images key out the process-wide image mask colour.
[[nodiscard]] Ref<TImage> LoadImageFromUrl(const Ref<TObject>& source, int32_t flags);
[[nodiscard]] Ref<TImage> LoadImageFromUrl(std::u16string_view url, int32_t flags);
// count frames cut from a strip of cells, as TImage::LoadAnim; none when it does not load.
[[nodiscard]] Ref<TImage> LoadAnimImageFromUrl(const Ref<TObject>& source, int32_t cellWidth,
                                               int32_t cellHeight, int32_t first, int32_t count,
                                               int32_t flags);
// A blank image; IMG_DYNAMIC is added to its flags.
[[nodiscard]] Ref<TImage> CreateBlankImage(int32_t width, int32_t height, int32_t frameCount,
                                           int32_t flags);

// The handle is the point of the image placed at the drawing position.
void PlaceImageHandle(const Ref<TImage>& image, float x, float y);
// Puts the handle at the image's centre; nothing for none.
void CentreImageHandle(const Ref<TImage>& image);
// SetAutoCentreHandle and AutoCentreHandle: when on, every image loaded or made from now on gets
// its handle centred. Off at first.
void SetAutoCentreHandle(bool on);
bool AutoCentreHandle();
// SetDefaultImageFlags and DefaultImageFlags: the flags images loaded or made with -1 take;
// setting -1 leaves them unchanged.
void SetDefaultImageFlags(int32_t flags);
int32_t DefaultImageFlags();

// WidthOfImage and HeightOfImage: the image's size in pixels; 0 for none.
int32_t WidthOfImage(const Ref<TImage>& image);
int32_t HeightOfImage(const Ref<TImage>& image);
// The frame's pixmap for direct access; with write set the frame is rebuilt on its next draw.
[[nodiscard]] Ref<TPixmap> OpenImagePixels(const Ref<TImage>& image, int32_t frame, bool read,
                                           bool write);
// Does nothing: a frame opened with write set is rebuilt from its pixmap on its next draw anyway.
void CloseImagePixels(const Ref<TImage>& image, int32_t frame);
// Takes the window pixels of the image's size at (x, y) as the frame's pixels.
void CopyScreenToImage(const Ref<TImage>& image, int32_t x, int32_t y, int32_t frame);

// Draws the frame with its handle at (x, y) plus the origin, under the drawing matrix, colour,
// alpha and blend mode; the drawing handle does not apply.
void DrawImageAt(const Ref<TImage>& image, float x, float y, int32_t frame);
// The same with the whole frame stretched to width x height.
void DrawImageRectAt(const Ref<TImage>& image, float x, float y, float width, float height,
                     int32_t frame);
// Covers the viewport with unrotated, unscaled copies of the frame, one of them at (x, y).
void TileImageAt(const Ref<TImage>& image, float x, float y, int32_t frame);

}  // namespace qrv
