// The sound loaders (WAV) through the loader list over a memory stream. A sound that loads must
// hold what a sound may: one or two channels, a rate in range, whole frames of finite samples.
// The streaming decoder over the same bytes must agree with the whole load. The sound is then
// played on the memory driver, at its own rate and faster, and every mixed sample must be finite
// and within -1..1.
#include <cmath>
#include <string>
#include <vector>

#include "audio/audio_module.h"
#include "audio/memory_audio_driver.h"
#include "audio/sound_channels.h"
#include "audio/sound_loader.h"
#include "core/failure.h"
#include "stream/ram_stream.h"
#include "support/decoder_check.h"
#include "support/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qrv::InitAudioModule();
    if (size > 1 << 22) return 0;
    // Claimed sizes are bounded by the memory limit; keep the fuzzer's allocations small.
    qrv::SetSoundMemoryLimit(64 << 20);
    const std::vector<uint8_t> bytes(data, data + size);
    qrv::ClearLastFailure();
    const auto memory = [&] { return qrv::TRamStream::OverMemory(bytes.data(), static_cast<int32_t>(bytes.size())); };
    const qrv::Ref<qrv::TSound> sound = qrv::LoadSound(memory());
    const std::string cause = qrv::LastFailureUtf8();
    qrv::fuzz::CheckDecoderAgrees(sound, cause, qrv::OpenSoundDecoder(memory()));
    if (!sound) {
        FUZZ_CHECK(!qrv::LastFailure().empty(), std::string("no sound and no reason"));
        return 0;
    }
    FUZZ_CHECK(sound->Channels() == 1 || sound->Channels() == 2, std::to_string(sound->Channels()));
    FUZZ_CHECK(sound->Rate() >= qrv::MIN_SOUND_RATE && sound->Rate() <= qrv::MAX_SOUND_RATE,
               std::to_string(sound->Rate()));
    FUZZ_CHECK(sound->Frames() >= 1 && sound->Samples().size() % sound->Channels() == 0,
               std::to_string(sound->Samples().size()));
    for (float sample : sound->Samples()) FUZZ_CHECK(std::isfinite(sample), std::to_string(sample));

    if (!qrv::AudioIsOpen()) qrv::OpenAudio("memory", {48000, 512});
    auto* driver = dynamic_cast<qrv::TMemoryAudioDriver*>(qrv::CurrentAudioDriver().get());
    FUZZ_CHECK(driver != nullptr, std::string("the memory driver did not open"));
    qrv::PlaySound(sound, 2, 4.0f, -0.3f);
    qrv::PlaySound(sound, 1, 1.0f, 1.0f, 3.7f);
    for (float sample : driver->MixFrames(4096)) {
        FUZZ_CHECK(std::isfinite(sample) && sample >= -1.0f && sample <= 1.0f, std::to_string(sample));
    }
    qrv::StopAllChannels();
    driver->MixFrames(512);
    return 0;
}
