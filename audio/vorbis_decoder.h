#pragma once

#include <string>

// Without the header's ready-made callbacks over FILE*, which every includer would compile.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "audio/sound_decoder.h"
#include "stream/stream.h"
#include "stream/stream_closer.h"

namespace qrv {

// Ogg Vorbis decoded by libvorbisfile, which reads the stream through callbacks. Over a stream
// that seeks, Frames() is known before decoding and Rewind works; over one that cannot (an
// "http::" download) the sound plays once, from the start, with Frames() -1.
// A chained file (Ogg streams one after another) plays on while each link has the first one's
// rate and channels, and ends where one changes them. Damage inside the audio is skipped where
// libvorbisfile can find the next good page; damage it cannot pass gives -1.
class TVorbisDecoder final : public TSoundDecoder {
public:
    // A decoder over the Ogg Vorbis data at the stream's position; it closes the stream when it
    // goes if `closesStream`. None, with nothing noted, when the data does not start with an Ogg
    // page; none after NoteSoundFailure (sound_loader.h) when it does but cannot be decoded, or
    // holds more than two channels.
    [[nodiscard]] static Ref<TVorbisDecoder> Open(const Ref<TStream>& stream, bool closesStream);
    ~TVorbisDecoder() override;
    TVorbisDecoder(const TVorbisDecoder&) = delete;
    TVorbisDecoder& operator=(const TVorbisDecoder&) = delete;

    [[nodiscard]] int32_t Rate() const override { return rate; }
    [[nodiscard]] int32_t Channels() const override { return channels; }
    [[nodiscard]] int64_t Frames() const override { return frames; }
    [[nodiscard]] int64_t Read(float* out, int64_t count) override;
    [[nodiscard]] bool Rewind() override;

private:
    TVorbisDecoder(Ref<TStream> stream, bool closesStream);
    // How libvorbisfile reads the stream: with seeking and telling, or (not `seekable`) without.
    static ov_callbacks Callbacks(bool seekable);
    // The callbacks' work on the stream: bytes read (0 at the end or on failure); 0 when the
    // stream went to the place, -1 when not; the position from where the data started.
    size_t ReadBytes(void* buffer, size_t count);
    int SeekTo(int64_t offset, int whence);
    long Tell();
    // Opens libvorbisfile over the stream from `start`, or (a stream that cannot seek) from the
    // position after `magic`, the four bytes already read; false after noting why.
    bool Begin(const unsigned char* magic);
    // Over a stream that seeks: Frames() from the links that play, and the first link ready to
    // decode; false after noting why not.
    bool FindLength();
    // Why libvorbisfile gave `code`.
    std::string Cause(int code) const;
    // True while the link just decoded has the first link's rate and channels.
    bool SameFormat();

    Ref<TStream> stream;
    TStreamCloser closer;
    int32_t start = 0;
    bool seekable = false;
    OggVorbis_File file{};
    bool opened = false;
    int32_t rate = 0;
    int32_t channels = 0;
    int64_t frames = -1;
    int link = 0;
    bool ended = false;
    // Why reading failed; kept so that Read keeps saying it.
    std::string failure;
    // What the stream raised in a callback, for the cause libvorbisfile's read error gets.
    std::string streamFailure;
};

}  // namespace qrv
