#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/frame_ring.h"
#include "audio/sound_decoder.h"

namespace qrv {

// Frames decoded at a time.
inline constexpr int64_t MUSIC_BLOCK_FRAMES = 1024;

// One music on its way from its decoder to the mixer: the decoder, the repeats still to go, and
// the ring the decoded frames wait in (about half a second to one second of the music's own
// rate). One thread at a time produces (decodes into the ring: the caller of Prime, then the
// decoding thread under its lock); the mixer consumes. Made and let go of on the main thread.
class TMusicStream final : public TObject {
public:
    // Over the decoder, which plays `times` times (PLAY_LOOPING for ever).
    TMusicStream(Ref<TSoundDecoder> decoder, int32_t times);

    const TSoundDecoder* Decoder() const { return decoder.get(); }
    int32_t Rate() const { return rate; }
    int32_t Channels() const { return channels; }

    // Producer: decodes the first block, so that the music starts without a gap and a decoder
    // that cannot give a single frame is found out at once; false, with the reason in
    // LastFailure, when it gives none.
    bool Prime();
    // Producer: decodes one block when the ring has room for it; true when it did.
    bool TopUpBlock();
    // Producer: decodes blocks while the ring has room for one.
    void TopUp();
    // Producer: true when the ring is less than half full and the decoder has more to give.
    bool Low() const;

    // Consumer: the ring, and whether every frame the music will have is in it already (checked
    // after seeing the ring empty, then the ring checked again).
    TFrameRing& Ring() { return ring; }
    bool Finished() const { return finished.load(std::memory_order_acquire); }

private:
    // Reads up to a block from the decoder: the frames read, 0 at its end, -1 on failure.
    int64_t ReadBlock();
    // Decodes one block into the ring; false at the music's end.
    bool DecodeBlock();
    // At the decoder's end: rewinds for the next repeat; false when the music ends there.
    bool Repeat();
    void Finish() { finished.store(true, std::memory_order_release); }

    const Ref<TSoundDecoder> decoder;
    const int32_t rate;
    const int32_t channels;
    int32_t timesLeft;
    // Rewound and no frame read since: a rewound decoder that gives none is empty, and would
    // repeat for ever.
    bool rewoundWithoutFrames = false;
    std::vector<float> block;
    TFrameRing ring;
    std::atomic<bool> finished{false};
};

}  // namespace qrv
