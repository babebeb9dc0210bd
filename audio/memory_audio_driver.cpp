#include "audio/memory_audio_driver.h"

#include <algorithm>

namespace qrv {

bool TMemoryAudioDriver::Open(const TAudioFormat& wanted, TAudioFormat& got) {
    format = got = wanted;
    return true;
}

void TMemoryAudioDriver::Start(TAudioSource& started) { source = &started; }

void TMemoryAudioDriver::Close() { source = nullptr; }

const std::vector<float>& TMemoryAudioDriver::MixFrames(int32_t frames) {
    output.clear();
    if (!source || frames <= 0) return output;
    output.resize(2 * static_cast<size_t>(frames));
    for (int32_t done = 0; done < frames;) {
        const int32_t count = std::min(format.bufferFrames, frames - done);
        source->Mix(output.data() + 2 * static_cast<size_t>(done), count);
        done += count;
    }
    return output;
}

}  // namespace qrv
