#include "pixmap/pixmap_loader.h"

#include <algorithm>

#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"

namespace qrv {

namespace {

TPixmapLoader* firstLoader = nullptr;
int64_t pictureMemoryLimit = DEFAULT_PICTURE_MEMORY_LIMIT;

// Gives none for a stream exception, which means this loader could not read its data.
template <class Load>
Ref<TPixmap> AskLoader(Load load) {
    try {
        return load();
    } catch (const TStreamException&) {
        return nullptr;
    }
}

// Opens the URL and asks every loader in turn, newest first, each from the start position.
template <class Ask>
Ref<TPixmap> RunLoaders(const Ref<TObject>& url, Ask ask) {
    Ref<TStream> stream = OpenReadStream(url);
    if (!stream) return nullptr;
    TStreamCloser closer(stream);
    const int32_t start = stream->Position();
    if (start == -1) return nullptr;
    for (TPixmapLoader* loader = firstLoader; loader; loader = loader->Next()) {
        stream->Seek(start);
        if (Ref<TPixmap> pixmap = AskLoader([&] { return ask(*loader, stream); })) return pixmap;
    }
    return nullptr;
}

}  // namespace

void SetPictureMemoryLimit(int64_t bytes) { pictureMemoryLimit = std::max<int64_t>(bytes, 0); }

int64_t PictureMemoryLimit() { return pictureMemoryLimit; }

bool PictureFitsMemoryLimit(int64_t width, int64_t height) {
    return PixmapSizeFits(width, height) && width * height * 4 <= pictureMemoryLimit;
}

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

Ref<TPixmap> TPixmapLoader::LoadFromStreamKeyed(const Ref<TStream>& stream, const TKeyColour&,
                                                bool& keyed) {
    keyed = false;
    return LoadFromStream(stream);
}

Ref<TPixmap> PixmapFromUrl(const Ref<TObject>& url) {
    return RunLoaders(url, [](TPixmapLoader& loader, const Ref<TStream>& stream) {
        return loader.LoadFromStream(stream);
    });
}

Ref<TPixmap> PixmapFromUrlKeyed(const Ref<TObject>& url, const TKeyColour& key, bool& keyed) {
    keyed = false;
    return RunLoaders(url, [&](TPixmapLoader& loader, const Ref<TStream>& stream) {
        return loader.LoadFromStreamKeyed(stream, key, keyed);
    });
}

Ref<TPixmap> PixmapFromUrl(std::u16string_view url) {
    return PixmapFromUrl(MakeText(std::u16string(url)));
}

}  // namespace qrv
