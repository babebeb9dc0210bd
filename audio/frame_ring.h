#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace qrv {

// A ring of float frames between exactly one producing thread (the one that decodes music) and
// one consuming thread (the mixer), without locks: each side moves only its own counter, and the
// samples it publishes are seen by the other side before the counter that covers them. Its
// memory is taken once, when it is made.
class TFrameRing {
public:
    // A ring of at least `frames` frames (rounded up to a power of two) of `channels` samples.
    TFrameRing(int64_t frames, int32_t channels);

    int64_t Capacity() const { return capacity; }

    // Producer: room for this many frames.
    int64_t Free() const { return capacity - Readable(); }
    // Producer: appends `frames` frames (at most Free()) from `samples`, interleaved.
    void Write(const float* samples, int64_t frames);

    // Consumer: frames ready to read.
    int64_t Readable() const {
        return static_cast<int64_t>(written.load(std::memory_order_acquire) - read.load(std::memory_order_acquire));
    }
    // Consumer: how many frames were read in all, which numbers the oldest unread frame.
    uint64_t ReadCount() const { return read.load(std::memory_order_relaxed); }
    // Consumer: the frame numbered `count` as ReadCount numbers them, one of the Readable() frames
    // from ReadCount() on.
    const float* Frame(uint64_t count) const { return samples.get() + (count & mask) * static_cast<uint64_t>(channels); }
    // Consumer: lets go of the oldest `frames` frames (at most Readable()), making room for more.
    void Consume(int64_t frames) { read.fetch_add(static_cast<uint64_t>(frames), std::memory_order_release); }

private:
    const int64_t capacity;
    const uint64_t mask;
    const int32_t channels;
    const std::unique_ptr<float[]> samples;
    alignas(64) std::atomic<uint64_t> read{0};
    alignas(64) std::atomic<uint64_t> written{0};
};

inline int64_t RingCapacityFor(int64_t frames) {
    int64_t capacity = 1;
    while (capacity < frames) capacity *= 2;
    return capacity;
}

inline TFrameRing::TFrameRing(int64_t frames, int32_t channelCount)
    : capacity(RingCapacityFor(frames)),
      mask(static_cast<uint64_t>(capacity) - 1),
      channels(channelCount),
      samples(std::make_unique<float[]>(static_cast<size_t>(capacity * channelCount))) {}

inline void TFrameRing::Write(const float* from, int64_t frames) {
    const uint64_t start = written.load(std::memory_order_relaxed);
    const int64_t first = std::min(frames, capacity - static_cast<int64_t>(start & mask));
    float* ring = samples.get();
    std::copy(from, from + first * channels, ring + (start & mask) * static_cast<uint64_t>(channels));
    std::copy(from + first * channels, from + frames * channels, ring);
    written.store(start + static_cast<uint64_t>(frames), std::memory_order_release);
}

}  // namespace qrv
