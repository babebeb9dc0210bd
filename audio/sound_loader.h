#pragma once

#include <string>
#include <string_view>

#include "audio/sound.h"
#include "audio/sound_decoder.h"
#include "core/object.h"
#include "stream/stream.h"

namespace qrv {

// A decoder in the process-wide sound loader list. Creating a loader links it in at the head of
// the list, so the newest loader is asked first; destroying it unlinks it.
class TSoundLoader : public TObject {
public:
    TSoundLoader();
    ~TSoundLoader() override;
    TSoundLoader(const TSoundLoader&) = delete;
    TSoundLoader& operator=(const TSoundLoader&) = delete;

    // Decodes the whole sound from the stream's current position; none when the data is not for
    // this loader, or (after NoteSoundFailure) when it is but cannot be decoded.
    [[nodiscard]] virtual Ref<TSound> LoadFromStream(const Ref<TStream>& stream) = 0;
    // A decoder that reads the sound from the stream's current position a block at a time and
    // holds the stream (closing it when it goes); none, as for LoadFromStream, when the data is not
    // for this loader or cannot be decoded. Loaders that cannot stream give none (the default).
    [[nodiscard]] virtual Ref<TSoundDecoder> OpenDecoder(const Ref<TStream>& stream);

    // The loader linked in before this one (asked after it); nullptr for the oldest.
    TSoundLoader* Next() const { return next; }

private:
    TSoundLoader* next;
};

// The newest loader, or nullptr while there is none.
TSoundLoader* FirstSoundLoader();

// Tells the load in progress on this thread why a loader that recognised its data gives no
// sound. The first cause noted during a load counts; a loader that does not recognise the data
// notes nothing.
void NoteSoundFailure(std::string_view cause);

// Opens the URL (OpenReadStream: files, "incbin::", banks, "http::"...) and asks every loader in
// turn, newest first, each from the same start position; the bytes of a stream that cannot seek
// (a download) are read into memory first, within the sound memory limit. A stream exception
// from a loader counts as a refusal. None for a URL that does not open or data that no loader
// takes; then LastFailure (core/failure.h) names the URL and says why: the stream's own
// reason, the cause the loader that recognised the data noted ("truncated after 812 bytes",
// "over the sound memory limit", "0 channels"...), "not a sound of any known kind" when none
// recognised it, or that the audio module is not initialised while there is no loader at all.
[[nodiscard]] Ref<TSound> LoadSound(const Ref<TObject>& url);
[[nodiscard]] Ref<TSound> LoadSound(std::u16string_view url);

// Opens the URL as LoadSound does and gives a decoder over the stream, which stays open while the
// decoder lives: for music and other long sounds. (A download is read into memory first, as
// for LoadSound, and decoded from there.) None, with the reason in LastFailure as for
// LoadSound, when no loader opens a decoder for the data.
[[nodiscard]] Ref<TSoundDecoder> OpenSoundDecoder(const Ref<TObject>& url);
[[nodiscard]] Ref<TSoundDecoder> OpenSoundDecoder(std::u16string_view url);

}  // namespace qrv
