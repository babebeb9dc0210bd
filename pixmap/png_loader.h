#pragma once

#include <string_view>

#include "pixmap/pixmap_loader.h"

namespace qrv {

// Decodes PNG pictures with libpng, reading only through streams.
class TPixmapLoaderPNG final : public TPixmapLoader {
public:
    [[nodiscard]] Ref<TPixmap> LoadFromStream(const Ref<TStream>& stream) override;
    // Opaque pictures (grey, RGB, palettes without transparency) come as keyed RGBA.
    [[nodiscard]] Ref<TPixmap> LoadFromStreamKeyed(const Ref<TStream>& stream,
                                                   const TKeyColour& key, bool& keyed) override;
};

// Opens the URL (a text, or a stream which is then left open) and decodes a PNG from it:
// grey, RGB and RGBA pictures keep their layout, grey with alpha becomes RGBA, palettes are
// expanded (to RGBA when they carry transparency) and 16-bit samples are cut to 8 bits.
// None when the data is not a PNG, is damaged, or is larger than the picture memory limit;
// LastFailure then names the URL and says which (as PixmapFromUrl does).
// Exceptions raised by the stream pass on once the decoder is cleaned up and the stream closed.
[[nodiscard]] Ref<TPixmap> DecodePNG(const Ref<TObject>& url);
[[nodiscard]] Ref<TPixmap> DecodePNG(std::u16string_view url);

}  // namespace qrv
