#include "pixmap/pixmap_loader.h"

#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"

namespace qrv {

namespace {

TPixmapLoader* firstLoader = nullptr;

// Gives none for a stream exception, which means this loader could not read its data.
Ref<TPixmap> AskLoader(TPixmapLoader& loader, const Ref<TStream>& stream) {
    try {
        return loader.LoadFromStream(stream);
    } catch (const TStreamException&) {
        return nullptr;
    }
}

}  // namespace

TPixmapLoader::TPixmapLoader() : next(firstLoader) { firstLoader = this; }

TPixmapLoader::~TPixmapLoader() {
    for (TPixmapLoader** link = &firstLoader; *link; link = &(*link)->next) {
        if (*link == this) {
            *link = next;
            break;
        }
    }
}

TPixmapLoader* FirstPixmapLoader() { return firstLoader; }

Ref<TPixmap> PixmapFromUrl(const Ref<TObject>& url) {
    Ref<TStream> stream = OpenReadStream(url);
    if (!stream) return nullptr;
    TStreamCloser closer(stream);
    const int32_t start = stream->Position();
    if (start == -1) return nullptr;
    for (TPixmapLoader* loader = firstLoader; loader; loader = loader->Next()) {
        stream->Seek(start);
        if (Ref<TPixmap> pixmap = AskLoader(*loader, stream)) return pixmap;
    }
    return nullptr;
}

Ref<TPixmap> PixmapFromUrl(std::u16string_view url) {
    return PixmapFromUrl(MakeText(std::u16string(url)));
}

}  // namespace qrv
