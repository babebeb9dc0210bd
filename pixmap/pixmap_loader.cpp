#include "pixmap/pixmap_loader.h"

#include <algorithm>

#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

TPixmapLoader* firstLoader = nullptr;
int64_t pictureMemoryLimit = DEFAULT_PICTURE_MEMORY_LIMIT;
thread_local std::string notedPictureFailure;

// Gives none for a stream exception, which means this loader could not read its data.
template <class Load>
Ref<TPixmap> AskLoader(Load load) {
    try {
        return load();
    } catch (const TStreamException& e) {
        NotePictureFailure(std::string("the data could not be read (") + e.what() + ")");
        return nullptr;
    }
}

// Opens the URL and asks every loader in turn, newest first, each from the start position.
template <class Ask>
Ref<TPixmap> RunLoaders(const Ref<TObject>& url, Ask ask) {
    if (!firstLoader) {
        SetUrlFailure(url, NOT_INITIALISED_CAUSE);
        return nullptr;
    }
    Ref<TStream> stream = OpenReadStream(url);
    if (!stream) return nullptr;
    TStreamCloser closer(stream);
    const int32_t start = stream->Position();
    if (start == -1) {
        SetUrlFailure(url, "its stream cannot seek, which the picture loaders need");
        return nullptr;
    }
    ForgetPictureFailure();
    Ref<TPixmap> pixmap;
    for (TPixmapLoader* loader = firstLoader; loader && !pixmap; loader = loader->Next()) {
        stream->Seek(start);
        pixmap = AskLoader([&] { return ask(*loader, stream); });
    }
    return ReportPictureLoad(url, std::move(pixmap), "not a picture of any known kind");
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

void NotePictureFailure(std::string_view cause) {
    if (notedPictureFailure.empty()) notedPictureFailure = cause;
}

void ForgetPictureFailure() { notedPictureFailure.clear(); }

Ref<TPixmap> ReportPictureLoad(const Ref<TObject>& url, Ref<TPixmap> pixmap,
                               std::string_view otherwise) {
    if (!pixmap) SetUrlFailure(url, notedPictureFailure.empty() ? otherwise : notedPictureFailure);
    return pixmap;
}

std::string OverMemoryLimitCause(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) +
           " pixels, over the picture memory limit";
}

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
