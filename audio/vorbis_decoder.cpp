#include "audio/vorbis_decoder.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/decoder_reading.h"
#include "audio/sound.h"
#include "audio/sound_loader.h"
#include "core/failure.h"

namespace qrv {

namespace {

// Frames asked of libvorbisfile at a time; it gives at most what one packet decoded.
constexpr int MAX_FRAMES_A_CALL = 4096;

std::string FormatProblem(int32_t channels, long rate) {
    if (channels != 1 && channels != 2) return std::to_string(channels) + " channels (mono and stereo can be read)";
    if (rate < MIN_SOUND_RATE || rate > MAX_SOUND_RATE) return "a rate of " + std::to_string(rate) + " Hz";
    return {};
}

}  // namespace

ov_callbacks TVorbisDecoder::Callbacks(bool seekable) {
    ov_callbacks callbacks{};
    callbacks.read_func = [](void* buffer, size_t size, size_t count, void* decoder) {
        return static_cast<TVorbisDecoder*>(decoder)->ReadBytes(buffer, size * count) / std::max<size_t>(size, 1);
    };
    if (seekable) {
        callbacks.seek_func = [](void* decoder, ogg_int64_t offset, int whence) {
            return static_cast<TVorbisDecoder*>(decoder)->SeekTo(offset, whence);
        };
        callbacks.tell_func = [](void* decoder) { return static_cast<TVorbisDecoder*>(decoder)->Tell(); };
    }
    return callbacks;
}

size_t TVorbisDecoder::ReadBytes(void* buffer, size_t count) {
    // libvorbisfile tells the end from a failure by errno after a read of 0.
    try {
        const int32_t got = stream->Read(buffer, static_cast<int32_t>(std::min<size_t>(count, INT32_MAX)));
        errno = 0;
        return static_cast<size_t>(std::max(got, 0));
    } catch (const std::exception& e) {
        streamFailure = UnreadableCause(e);
        errno = EIO;
        return 0;
    }
}

int TVorbisDecoder::SeekTo(int64_t offset, int whence) {
    if (offset < -int64_t{INT32_MAX} * 2 || offset > INT32_MAX) return -1;
    try {
        int64_t base = 0;
        if (whence == SEEK_CUR) base = int64_t{stream->Position()} - start;
        if (whence == SEEK_END) base = int64_t{stream->Size()} - start;
        const int64_t target = base + offset + start;
        if (target < start || target > INT32_MAX) return -1;
        return stream->Seek(static_cast<int32_t>(target)) < 0 ? -1 : 0;
    } catch (const std::exception& e) {
        streamFailure = UnreadableCause(e);
        return -1;
    }
}

long TVorbisDecoder::Tell() {
    try {
        const int32_t position = stream->Position();
        return position < 0 ? -1 : position - start;
    } catch (const std::exception& e) {
        streamFailure = UnreadableCause(e);
        return -1;
    }
}

TVorbisDecoder::TVorbisDecoder(Ref<TStream> from, bool closesStream)
    : stream(std::move(from)), closer(closesStream ? stream : nullptr) {}

TVorbisDecoder::~TVorbisDecoder() {
    if (opened) ov_clear(&file);
}

Ref<TVorbisDecoder> TVorbisDecoder::Open(const Ref<TStream>& stream, bool closesStream) {
    unsigned char magic[4];
    const int32_t start = stream->Position();
    if (ReadUpTo(*stream, magic, 4) < 4 || std::memcmp(magic, "OggS", 4) != 0) return nullptr;
    Ref<TVorbisDecoder> decoder(new TVorbisDecoder(stream, closesStream));
    decoder->start = start;
    decoder->seekable = start >= 0 && stream->Seek(start) == start;
    if (!decoder->Begin(magic)) return nullptr;
    return decoder;
}

bool TVorbisDecoder::Begin(const unsigned char* magic) {
    // A stream that cannot seek back is given the bytes already read.
    const int code = seekable ? ov_open_callbacks(this, &file, nullptr, 0, Callbacks(true))
                              : ov_open_callbacks(this, &file, reinterpret_cast<const char*>(magic), 4,
                                                  Callbacks(false));
    // A failed open has released what it took.
    if (code != 0) {
        NoteSoundFailure(Cause(code));
        return false;
    }
    opened = true;
    const vorbis_info* info = ov_info(&file, 0);
    if (const std::string problem = FormatProblem(info->channels, info->rate); !problem.empty()) {
        NoteSoundFailure(problem);
        return false;
    }
    channels = info->channels;
    rate = static_cast<int32_t>(info->rate);
    return !seekable || FindLength();
}

bool TVorbisDecoder::FindLength() {
    // The links that play: the first, and those after it until the format changes.
    frames = 0;
    for (int i = 0; i < ov_streams(&file); ++i) {
        const vorbis_info* info = ov_info(&file, i);
        if (info->channels != channels || info->rate != rate) break;
        frames += std::max<ogg_int64_t>(ov_pcm_total(&file, i), 0);
    }
    if (frames == 0) {
        NoteSoundFailure("no samples");
        return false;
    }
    // After opening a chained file libvorbisfile (1.3.7) is at the last link; go to the first.
    if (ov_streams(&file) > 1 && ov_raw_seek(&file, 0) != 0) {
        NoteSoundFailure("damaged Vorbis data (its start cannot be found again)");
        return false;
    }
    return true;
}

std::string TVorbisDecoder::Cause(int code) const {
    switch (code) {
    case OV_EREAD:
        return streamFailure.empty() ? "the data could not be read" : streamFailure;
    case OV_ENOTVORBIS:
        return "an Ogg file without Vorbis audio";
    case OV_EVERSION:
        return "a Vorbis version that cannot be read";
    case OV_EBADHEADER:
        return "damaged or truncated Vorbis headers";
    case OV_EBADLINK:
        return "damaged Vorbis data (a link that cannot be found again)";
    default:
        return "damaged Vorbis data (libvorbisfile error " + std::to_string(code) + ")";
    }
}

bool TVorbisDecoder::SameFormat() {
    const vorbis_info* info = ov_info(&file, -1);
    return info && info->channels == channels && info->rate == rate;
}

int64_t TVorbisDecoder::Read(float* out, int64_t count) {
    int64_t done = 0;
    // A failed Rewind leaves libvorbisfile closed, and a failure that keeps it from being used.
    while (failure.empty() && !ended && done < count) {
        float** pcm = nullptr;
        int decodedLink = link;
        const auto ask = static_cast<int>(std::min<int64_t>(count - done, MAX_FRAMES_A_CALL));
        const long got = ov_read_float(&file, &pcm, ask, &decodedLink);
        // A hole is data lost between good pages; decoding goes on after it.
        if (got == OV_HOLE) continue;
        if (got < 0) {
            failure = Cause(static_cast<int>(got));
            break;
        }
        // libvorbisfile takes a failed read for the end of the data.
        if (got == 0 && !streamFailure.empty()) {
            failure = streamFailure;
            break;
        }
        if (got == 0 || (decodedLink != link && !SameFormat())) {
            ended = true;
            break;
        }
        link = decodedLink;
        for (long i = 0; i < got; ++i) {
            for (int32_t c = 0; c < channels; ++c) {
                const float sample = pcm[c][i];
                out[(done + i) * channels + c] = std::isfinite(sample) ? sample : 0.0f;
            }
        }
        done += got;
    }
    if (done > 0 || failure.empty()) return done;
    SetLastFailure(std::string_view(failure));
    return -1;
}

bool TVorbisDecoder::Rewind() {
    if (!seekable) return false;
    // Opening again rather than seeking: libvorbisfile, seeking back in a damaged file, may
    // decode what it passed over the first time, and a sound must repeat the same.
    ov_clear(&file);
    opened = false;
    link = 0;
    ended = false;
    streamFailure.clear();
    failure = "the sound could not be opened again";
    try {
        if (stream->Seek(start) != start || !Begin(nullptr)) return false;
    } catch (const std::exception& e) {
        failure = UnreadableCause(e);
        return false;
    }
    failure.clear();
    return true;
}

}  // namespace qrv
