#pragma once

#include <string>
#include <string_view>

#include "core/object.h"
#include "pixmap/pixmap.h"
#include "stream/stream.h"

namespace qrv {

// A colour to key out of a picture without alpha (see KeyOutColor).
struct TKeyColour {
    // The key's red, green and blue, each 0..255.
    int32_t red;
    int32_t green;
    int32_t blue;
};

// A decoder in the process-wide loader list. Creating a loader links it in at the head of the
// list, so the newest loader is asked first; destroying it unlinks it.
class TPixmapLoader : public TObject {
public:
    TPixmapLoader();
    ~TPixmapLoader() override;
    TPixmapLoader(const TPixmapLoader&) = delete;
    TPixmapLoader& operator=(const TPixmapLoader&) = delete;

    // Decodes the stream from its current position; none when the data is not for this loader.
    [[nodiscard]] virtual Ref<TPixmap> LoadFromStream(const Ref<TStream>& stream) = 0;
    // The same, but a picture without alpha may be given as RGBA whose key-coloured pixels
    // have alpha 0 and all others 255 (marked by MarkKeyedRun while decoding), which `keyed`
    // then says; this base form gives what LoadFromStream gives.
    [[nodiscard]] virtual Ref<TPixmap> LoadFromStreamKeyed(const Ref<TStream>& stream,
                                                           const TKeyColour& key, bool& keyed);

    // The loader linked in before this one (asked after it); nullptr for the oldest.
    TPixmapLoader* Next() const { return next; }

private:
    TPixmapLoader* next;
};

// Pictures come from wherever a URL reaches, network included, so the loaders bound what one
// picture may cost: a picture whose width x height x 4 bytes exceed the limit is refused before
// anything of its size is allocated, whatever format it decodes to. The JPEG loader also holds
// libjpeg's working memory (progressive coefficient buffers) to twice the limit and 16 MiB.
// The default, 256 MiB, admits every picture up to 8192 x 8192; the program may move it. Data
// streams hold the pixmaps they read to this default, counting their own bytes per pixel.
inline constexpr int64_t DEFAULT_PICTURE_MEMORY_LIMIT = int64_t{256} << 20;
// SetPictureMemoryLimit sets the limit in bytes (a negative one counts as 0); PictureMemoryLimit
// gives it.
void SetPictureMemoryLimit(int64_t bytes);
int64_t PictureMemoryLimit();
// True when a picture of this size is within the limit (and a pixmap can hold it).
bool PictureFitsMemoryLimit(int64_t width, int64_t height);

// The newest loader, or nullptr while there is none.
TPixmapLoader* FirstPixmapLoader();

// Tells the load in progress on this thread why a loader that recognised its data gives no
// pixmap. The first cause noted during a load counts; a loader that does not recognise the
// data notes nothing.
void NotePictureFailure(std::string_view cause);
// Forgets the cause noted so far: the start of a load.
void ForgetPictureFailure();
// Gives the pixmap; when there is none, first sets LastFailure to the URL and the cause noted
// since the load started, or `otherwise` when none was.
[[nodiscard]] Ref<TPixmap> ReportPictureLoad(const Ref<TObject>& url, Ref<TPixmap> pixmap,
                                             std::string_view otherwise);
// The cause a loader notes for a picture over the picture memory limit: "4000 x 3000 pixels,
// over the picture memory limit".
[[nodiscard]] std::string OverMemoryLimitCause(int64_t width, int64_t height);

// Opens the URL and asks every loader in turn, newest first, each from the same start
// position. A stream exception from a loader counts as a refusal; any other passes on. None
// for a URL that does not open, a stream that cannot seek, or data that no loader takes; then
// LastFailure (core/failure.h) names the URL and says why: the stream's own reason when it
// does not open, the cause a loader that recognised the data noted ("truncated after 812
// bytes", the decoder's message, over the picture memory limit), "not a picture of any known
// kind" when none recognised it, or that the framework is not initialised while there is no
// loader at all.
[[nodiscard]] Ref<TPixmap> PixmapFromUrl(const Ref<TObject>& url);
[[nodiscard]] Ref<TPixmap> PixmapFromUrl(std::u16string_view url);

// PixmapFromUrl for a caller that keys a colour out at once: a picture without alpha may come
// decoded straight to RGBA with its key-coloured pixels at alpha 0, with `keyed` set; then
// SpreadKeyedColours finishes the key-out in place.
[[nodiscard]] Ref<TPixmap> PixmapFromUrlKeyed(const Ref<TObject>& url, const TKeyColour& key,
                                              bool& keyed);

}  // namespace qrv
