#include "audio/sound_loader.h"

#include <cstring>
#include <vector>

#include "stream/bank_stream.h"
#include "stream/stream_closer.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_utils.h"
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

// The loaders each read the data from its start, so the bytes of a stream that cannot seek (a
// download) are read into memory first, within the sound memory limit, and the loaders read
// them there. None, with the reason given for the URL, when they cannot be read.
Ref<TStream> SeekableCopy(const Ref<TObject>& url, TStream& stream) {
    std::vector<uint8_t> bytes;
    try {
        bytes = LoadBytes(stream);
    } catch (const TStreamException& e) {
        SetUrlFailure(url, std::string("the data could not be read (") + e.what() + ")");
        return nullptr;
    }
    if (static_cast<int64_t>(bytes.size()) > SoundMemoryLimit()) {
        SetUrlFailure(url, std::to_string(bytes.size()) + " bytes, over the sound memory limit");
        return nullptr;
    }
    Ref<TBank> bank = TBank::NewBank(static_cast<int32_t>(bytes.size()));
    if (!bytes.empty()) std::memcpy(bank->Data(), bytes.data(), bytes.size());
    return BankStreamOver(std::move(bank));
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
    int32_t start = stream->Position();
    // The loaders read a copy of a stream that cannot seek; the stream itself is closed at the end.
    const bool copied = start == -1;
    if (copied) {
        stream = SeekableCopy(url, *stream);
        if (!stream) return nullptr;
        start = 0;
    }
    notedSoundFailure.clear();
    Ref<Result> result;
    for (TSoundLoader* loader = firstLoader; loader && !result; loader = loader->Next()) {
        stream->Seek(start);
        result = AskLoader<Result>(*loader, stream, ask);
    }
    if (!result) {
        SetUrlFailure(url, notedSoundFailure.empty() ? "not a sound of any known kind" : notedSoundFailure);
    } else if (keepOpen && !copied) {
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
