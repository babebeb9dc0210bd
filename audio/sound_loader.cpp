#include "audio/sound_loader.h"

#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

TSoundLoader* firstLoader = nullptr;
thread_local std::string notedSoundFailure;

Ref<TSound> AskLoader(TSoundLoader& loader, const Ref<TStream>& stream) {
    try {
        return loader.LoadFromStream(stream);
    } catch (const TStreamException& e) {
        NoteSoundFailure(std::string("the data could not be read (") + e.what() + ")");
        return nullptr;
    }
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

Ref<TSound> LoadSound(const Ref<TObject>& url) {
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
    Ref<TSound> sound;
    for (TSoundLoader* loader = firstLoader; loader && !sound; loader = loader->Next()) {
        stream->Seek(start);
        sound = AskLoader(*loader, stream);
    }
    if (!sound) {
        SetUrlFailure(url, notedSoundFailure.empty() ? "not a sound of any known kind" : notedSoundFailure);
    }
    return sound;
}

Ref<TSound> LoadSound(std::u16string_view url) { return LoadSound(MakeText(std::u16string(url))); }

}  // namespace qrv
