#include "audio/music_stream.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "audio/channel_id.h"
#include "core/failure.h"

namespace qrv {

namespace {

// Half a second at the music's rate, rounded up to a power of two: 0.5 to 1 second.
int64_t RingFramesFor(int32_t rate) { return std::max<int64_t>(rate / 2, 4 * MUSIC_BLOCK_FRAMES); }

}  // namespace

TMusicStream::TMusicStream(Ref<TSoundDecoder> from, int32_t times)
    : decoder(std::move(from)),
      rate(decoder->Rate()),
      channels(decoder->Channels()),
      timesLeft(std::max(times, PLAY_LOOPING)),
      block(static_cast<size_t>(MUSIC_BLOCK_FRAMES * channels)),
      ring(RingFramesFor(rate), channels) {}

bool TMusicStream::Prime() {
    ClearLastFailure();
    if (DecodeBlock()) return true;
    if (LastFailure().empty()) SetLastFailure(std::string_view("the music has no frames"));
    return false;
}

bool TMusicStream::TopUpBlock() { return !Finished() && ring.Free() >= MUSIC_BLOCK_FRAMES && DecodeBlock(); }

void TMusicStream::TopUp() {
    while (TopUpBlock()) {
    }
}

bool TMusicStream::Low() const { return !Finished() && ring.Free() > ring.Capacity() / 2; }

int64_t TMusicStream::ReadBlock() {
    // An exception cannot leave the decoding thread; a stream's read error ends the music there as
    // a damaged block does.
    try {
        return std::min(decoder->Read(block.data(), MUSIC_BLOCK_FRAMES), MUSIC_BLOCK_FRAMES);
    } catch (const std::exception& error) {
        SetLastFailure(std::string_view(error.what()));
    } catch (...) {
        SetLastFailure(std::string_view("the decoder failed"));
    }
    return -1;
}

bool TMusicStream::DecodeBlock() {
    for (;;) {
        const int64_t got = ReadBlock();
        if (got > 0) {
            // A sample that is not a number would spoil the whole mix, as for MakeSound.
            const auto end = block.begin() + got * channels;
            std::replace_if(block.begin(), end, [](float sample) { return !std::isfinite(sample); }, 0.0f);
            ring.Write(block.data(), got);
            rewoundWithoutFrames = false;
            return true;
        }
        if (got < 0 || !Repeat()) {
            Finish();
            return false;
        }
    }
}

bool TMusicStream::Repeat() {
    if (rewoundWithoutFrames) return false;
    if (timesLeft != PLAY_LOOPING && --timesLeft == 0) return false;
    rewoundWithoutFrames = true;
    try {
        return decoder->Rewind();
    } catch (...) {
        return false;
    }
}

}  // namespace qrv
