#pragma once

#include <string_view>

#include "pixmap/pixmap_loader.h"

namespace qrv {

// Decodes JPEG pictures with libjpeg, reading only through streams.
class TPixmapLoaderJPG final : public TPixmapLoader {
public:
    [[nodiscard]] Ref<TPixmap> LoadFromStream(const Ref<TStream>& stream) override;
    // Colour pictures come as keyed RGBA, decoded so by libjpeg.
    [[nodiscard]] Ref<TPixmap> LoadFromStreamKeyed(const Ref<TStream>& stream,
                                                   const TKeyColour& key, bool& keyed) override;
};

// Opens the URL (a text, or a stream which is then left open) and decodes a JPEG from it:
// grey pictures become FormatGrey8, colour ones FormatRGB888. Data that ends early decodes as
// far as it goes. None when the data is not a JPEG, is damaged beyond what libjpeg tolerates,
// has other than 1 or 3 output components, or is larger than the picture memory limit
// (libjpeg's working memory is bounded by it too, see pixmap_loader.h); LastFailure then names
// the URL and says which (as PixmapFromUrl does). Exceptions
// raised by the stream pass on once the decoder is cleaned up and the stream closed.
[[nodiscard]] Ref<TPixmap> DecodeJPEG(const Ref<TObject>& url);
[[nodiscard]] Ref<TPixmap> DecodeJPEG(std::u16string_view url);

}  // namespace qrv
