#pragma once

#include <cstdint>

#include "audio/music_stream.h"

namespace qrv {

// A gain moving linearly, sample by sample, to a target over a number of frames. Each value is
// worked out from the frames left rather than added up step by step, so that a fade of minutes
// stays a straight line.
struct TGainRamp {
    float value = 1.0f;
    float target = 1.0f;
    double step = 0.0;
    int64_t framesLeft = 0;

    // Heads for `to` from the present value, reaching it after `frames` frames (at once for 0).
    void MoveTo(float to, int64_t frames);
    // The gain for this frame, then moves on by one.
    float Next() {
        const float now = value;
        if (framesLeft > 0) {
            --framesLeft;
            value = static_cast<float>(target - step * static_cast<double>(framesLeft));
        }
        return now;
    }
    bool Moving() const { return framesLeft > 0; }
};

// The mixing thread's view of one music: where it is between two decoded frames, its volume and
// its fade (both ramps, multiplied), and whether it fades out to an end. It reads its frames from
// the music's ring and resamples them to the output's rate as sounds are.
class TMusicVoice {
public:
    // Starts the music at the volume, fading in from silence over `fadeFrames` output frames.
    void Start(TMusicStream& music, uint32_t generation, int32_t deviceRate, float volume, int64_t fadeFrames);
    // Fades out over `fadeFrames` (at least 1) output frames and ends. A fade out already under
    // way that ends sooner goes on as it is.
    void FadeOut(int64_t fadeFrames);
    void SetVolume(float volume, int64_t fadeFrames) { volumeRamp.MoveTo(volume, fadeFrames); }
    void SetPaused(bool pause) { paused = pause; }

    // Adds `frames` frames to out (stereo); false once the music has ended (its decoder's end, or
    // its fade out). Missing decoded frames are silence, each time counted in `underruns`.
    bool Mix(float* out, int32_t frames, int64_t& underruns);

    bool Active() const { return music != nullptr; }
    bool Paused() const { return paused; }
    uint32_t Generation() const { return generation; }
    TMusicStream* Music() const { return music; }
    // Forgets the music once it has been handed back.
    void Clear() { music = nullptr; }

private:
    enum class TNext : uint8_t { Ready, Missing, Ended };
    // Makes `from` and `to` the frames around the position, reading on from the ring as needed.
    TNext Advance();
    // The next frame of the ring, stereo, into frame.
    TNext Read(float* frame);

    TMusicStream* music = nullptr;
    uint32_t generation = 0;
    double step = 1.0;       // music frames per output frame
    double position = 0.0;   // between `from` (0) and `to` (1)
    float from[2] = {};
    float to[2] = {};
    int32_t framesHeld = 0;  // of from and to
    bool lastFrameHeld = false;  // `to` repeats the music's last frame
    bool stereo = false;
    // The ring's frames this buffer: where they start, how many were read, how many are there.
    uint64_t firstThisBuffer = 0;
    int64_t readThisBuffer = 0;
    int64_t readableThisBuffer = 0;
    TGainRamp volumeRamp;
    TGainRamp fadeRamp;
    bool fadingOut = false;
    bool paused = false;
};

}  // namespace qrv
