#pragma once

#include <cstdint>

#include "core/object.h"

namespace qrv {

// What audio output runs at. Output is always stereo float: frames of a left and a right sample
// within -1..1.
struct TAudioFormat {
    // Frames a second.
    int32_t rate = 48000;
    // Frames mixed at a time: what the program asks is heard within one such buffer.
    int32_t bufferFrames = 1024;
};

// What a driver pulls its samples from: the mixer.
class TAudioSource {
public:
    virtual ~TAudioSource() = default;
    // Writes `frames` stereo frames (2 x frames floats, left first) to out. Called on the
    // driver's own thread where it has one; it takes no locks and allocates nothing.
    virtual void Mix(float* out, int32_t frames) = 0;
};

// The layer between the mixer and the platform's sound output. A driver is opened, then started
// with the source it pulls from, and closed; the audio module (audio_module.h) does this.
class TAudioDriver : public TObject {
public:
    // Opens the output for the format wanted and gives the format it really has (the device's
    // rate may differ; the mixer resamples to it). False, with the reason in LastFailure
    // (core/failure.h), when there is no output to open.
    [[nodiscard]] virtual bool Open(const TAudioFormat& wanted, TAudioFormat& got) = 0;
    // Begins pulling from the source, which must outlive the driver's Close.
    virtual void Start(TAudioSource& source) = 0;
    // Stops the output; once it returns, the source is not called again. Nothing when not open.
    virtual void Close() = 0;
};

}  // namespace qrv
