#include "audio/music_voice.h"

#include "audio/interpolation.h"

namespace qrv {

void TGainRamp::MoveTo(float to, int64_t frames) {
    target = to;
    framesLeft = frames > 0 ? frames : 0;
    if (framesLeft == 0) value = to;
    step = framesLeft > 0 ? (double{to} - value) / static_cast<double>(framesLeft) : 0.0;
}

void TMusicVoice::Start(TMusicStream& started, uint32_t playGeneration, int32_t deviceRate, float volume,
                        int64_t fadeFrames) {
    music = &started;
    generation = playGeneration;
    stereo = started.Channels() == 2;
    step = static_cast<double>(started.Rate()) / deviceRate;
    position = 0.0;
    framesHeld = 0;
    lastFrameHeld = false;
    volumeRamp = {};
    volumeRamp.MoveTo(volume, 0);
    fadeRamp = {};
    fadeRamp.MoveTo(0.0f, 0);
    fadeRamp.MoveTo(1.0f, fadeFrames);
    fadingOut = false;
    paused = false;
}

void TMusicVoice::FadeOut(int64_t fadeFrames) {
    if (fadingOut && fadeRamp.framesLeft <= fadeFrames) return;
    fadingOut = true;
    fadeRamp.MoveTo(0.0f, fadeFrames);
}

TMusicVoice::TNext TMusicVoice::Read(float* frame) {
    if (readThisBuffer == readableThisBuffer) {
        // The ring is empty as far as this buffer has looked: look again, and only believe the
        // music has ended when the ring is still empty after its end was seen.
        const bool finished = music->Finished();
        readableThisBuffer = music->Ring().Readable();
        if (readThisBuffer == readableThisBuffer) return finished ? TNext::Ended : TNext::Missing;
    }
    const float* next = music->Ring().Frame(firstThisBuffer + static_cast<uint64_t>(readThisBuffer++));
    frame[0] = next[0];
    frame[1] = next[stereo ? 1 : 0];
    return TNext::Ready;
}

TMusicVoice::TNext TMusicVoice::Advance() {
    while (framesHeld < 2 || position >= 1.0) {
        if (framesHeld == 2) {
            if (lastFrameHeld) return TNext::Ended;
            from[0] = to[0];
            from[1] = to[1];
            framesHeld = 1;
            position -= 1.0;
        }
        const TNext next = Read(framesHeld == 0 ? from : to);
        if (next == TNext::Missing) return next;
        if (next == TNext::Ended) {
            if (framesHeld == 0) return next;
            // Past the last frame there is nothing to move towards: it is held, as for a sound.
            to[0] = from[0];
            to[1] = from[1];
            lastFrameHeld = true;
            framesHeld = 2;
        } else {
            ++framesHeld;
        }
    }
    return TNext::Ready;
}

bool TMusicVoice::Mix(float* out, int32_t frames, int64_t& underruns) {
    firstThisBuffer = music->Ring().ReadCount();
    readThisBuffer = 0;
    readableThisBuffer = music->Ring().Readable();
    bool going = true;
    for (int32_t f = 0; f < frames; ++f) {
        if (fadingOut && !fadeRamp.Moving()) {
            going = false;
            break;
        }
        const TNext next = Advance();
        if (next != TNext::Ready) {
            if (next == TNext::Missing) ++underruns;
            going = next == TNext::Missing;
            break;
        }
        float left = 0.0f;
        float right = 0.0f;
        InterpolatedFrame(from, to, 2, static_cast<float>(position), left, right);
        const float gain = volumeRamp.Next() * fadeRamp.Next();
        out[2 * f] += left * gain;
        out[2 * f + 1] += right * gain;
        position += step;
    }
    music->Ring().Consume(readThisBuffer);
    return going;
}

}  // namespace qrv
