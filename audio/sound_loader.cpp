#include "audio/sound_loader.h"

#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

TSoundLoader* firstLoader = nullptr;
thread_local std::string notedSoundFailure;

// Asks the loader through `ask`; a stream exception counts as a refusal, with its reason noted.
template <class Result, class Ask>
Ref<Result> AskLoader(TSoundLoader& loader, const Ref<TStream>& stream, Ask ask) {
    try {
        return (loader.*ask)(stream);
    } catch (const TStreamException& e) {
        NoteSoundFailure(std::string("the data could not be read (") + e.what() + ")");
        return nullptr;
    }
}

// Opens the URL and asks every loader through `ask`, newest first, from the same start, until
// one gives a result; the stream is closed unless `keepOpen` and a loader gave one.
template <class Result>
Ref<Result> AskLoaders(const Ref<TObject>& url, Ref<Result> (TSoundLoader::*ask)(const Ref<TStream>&),
                       bool keepOpen) {
    if (!firstLoader) {
        SetUrlFailure(url, "the audio module is not initialised (call InitAudioModule() first)");
        return nullptr;
    }
    Ref<TStream> stream = OpenReadStream(url);
    if (!stream) return nullptr;
    TStreamCloser closer(stream);
    const int32_t start = stream->Position();
    if (start == -1) {
        SetUrlFailure(url, "its stream cannot seek, which the sound loaders need");
        return nullptr;
    }
    notedSoundFailure.clear();
    Ref<Result> result;
    for (TSoundLoader* loader = firstLoader; loader && !result; loader = loader->Next()) {
        stream->Seek(start);
        result = AskLoader<Result>(*loader, stream, ask);
    }
    if (!result) {
        SetUrlFailure(url, notedSoundFailure.empty() ? "not a sound of any known kind" : notedSoundFailure);
    } else if (keepOpen) {
        closer.Release();
    }
    return result;
}

}  // namespace

TSoundLoader::TSoundLoader() : next(firstLoader) { firstLoader = this; }

TSoundLoader::~TSoundLoader() {
    for (TSoundLoader** link = &firstLoader; *link; link = &(*link)->next) {
        if (*link == this) {
            *link = next;
            break;
        }
    }
}

TSoundLoader* FirstSoundLoader() { return firstLoader; }

void NoteSoundFailure(std::string_view cause) {
    if (notedSoundFailure.empty()) notedSoundFailure = cause;
}

Ref<TSoundDecoder> TSoundLoader::OpenDecoder(const Ref<TStream>&) { return nullptr; }

Ref<TSound> LoadSound(const Ref<TObject>& url) { return AskLoaders<TSound>(url, &TSoundLoader::LoadFromStream, false); }

Ref<TSound> LoadSound(std::u16string_view url) { return LoadSound(MakeText(std::u16string(url))); }

Ref<TSoundDecoder> OpenSoundDecoder(const Ref<TObject>& url) {
    return AskLoaders<TSoundDecoder>(url, &TSoundLoader::OpenDecoder, true);
}

Ref<TSoundDecoder> OpenSoundDecoder(std::u16string_view url) {
    return OpenSoundDecoder(MakeText(std::u16string(url)));
}

}  // namespace qrv
