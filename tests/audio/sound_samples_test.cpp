// Sound files made by sox and oggenc, decoded here and compared with the tools' own decoding of
// the same files; and the streaming decoders, read in uneven blocks, against the whole load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/audio_module.h"
#include "sound_test_data.h"

namespace {

using namespace qrv;
using namespace qrv::test;

struct Sample {
    const char* name;
    int32_t rate;
    int32_t channels;
};

// sox's decoding as 32-bit floats, or oggdec's as 16-bit integers, scaled to -1..1.
std::vector<float> Reference(const std::string& name, bool sixteenBits) {
    const Bytes raw = SoundDataBytes(name + ".ref.raw");
    std::vector<float> samples;
    if (sixteenBits) {
        for (size_t i = 0; i + 1 < raw.size(); i += 2) {
            samples.push_back(static_cast<int16_t>(raw[i] | raw[i + 1] << 8) / 32768.0f);
        }
    } else {
        samples.resize(raw.size() / 4);
        std::memcpy(samples.data(), raw.data(), samples.size() * 4);
    }
    return samples;
}

// Checks the sound against the reference, sample by sample within `tolerance`; ours is first
// clipped to -1..1 as the tools' integer output is.
void ExpectMatches(const Ref<TSound>& sound, const Sample& file, const std::vector<float>& reference,
                   float tolerance) {
    ASSERT_NE(sound, nullptr) << file.name << ": " << LastFailureUtf8();
    EXPECT_EQ(sound->Rate(), file.rate) << file.name;
    EXPECT_EQ(sound->Channels(), file.channels) << file.name;
    ASSERT_EQ(sound->Samples().size(), reference.size()) << file.name;
    float worst = 0;
    size_t worstAt = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
        const float error = std::fabs(std::clamp(sound->Samples()[i], -1.0f, 1.0f) - reference[i]);
        if (error > worst) worst = error, worstAt = i;
    }
    EXPECT_LE(worst, tolerance) << file.name << ": sample " << worstAt << " is " << sound->Samples()[worstAt]
                                << ", the tool gives " << reference[worstAt];
}

// The decoder over the file, read in uneven blocks, gives the whole load's samples; rewound, the
// same again.
void ExpectStreamingMatchesWholeLoad(const Sample& file) {
    const Ref<TSound> whole = LoadSound(SoundDataPath(file.name));
    ASSERT_NE(whole, nullptr) << file.name << ": " << LastFailureUtf8();
    const Ref<TSoundDecoder> decoder = OpenSoundDecoder(SoundDataPath(file.name));
    ASSERT_NE(decoder, nullptr) << file.name << ": " << LastFailureUtf8();
    EXPECT_EQ(decoder->Rate(), whole->Rate()) << file.name;
    EXPECT_EQ(decoder->Channels(), whole->Channels()) << file.name;
    EXPECT_EQ(decoder->Frames(), whole->Frames()) << file.name;
    EXPECT_EQ(ReadInBlocks(*decoder, {1, 7, 333, 4099, 2}), whole->Samples()) << file.name;
    EXPECT_EQ(decoder->Read(nullptr, 0), 0) << file.name;
    ASSERT_TRUE(decoder->Rewind()) << file.name;
    EXPECT_EQ(ReadInBlocks(*decoder, {100000}), whole->Samples()) << file.name << " rewound";
}

const Sample WAV_FILES[] = {
    {"u8-mono-11025.wav", 11025, 1},   {"s16-stereo-44100.wav", 44100, 2}, {"s24-mono-22050.wav", 22050, 1},
    {"s32-stereo-8000.wav", 8000, 2},  {"f32-mono-12345.wav", 12345, 1},
};
const Sample VORBIS_FILES[] = {{"mono-22050.ogg", 22050, 1}, {"stereo-44100.ogg", 44100, 2}};

class AudioSamples : public ::testing::Test {
protected:
    void SetUp() override { InitAudioModule(); }
};

TEST_F(AudioSamples, WavFilesDecodeAsSoxDecodesThem) {
    for (const Sample& file : WAV_FILES) {
        const std::string name = file.name;
        // Every integer format is held exactly by a float but 32-bit PCM, whose float is the
        // nearest: within a float's step at full scale.
        ExpectMatches(LoadSound(SoundDataPath(name)), file, Reference(name.substr(0, name.size() - 4), false),
                      std::ldexp(1.0f, -23));
    }
}

TEST_F(AudioSamples, VorbisFilesDecodeAsOggdecDecodesThem) {
    for (const Sample& file : VORBIS_FILES) {
        const std::string name = file.name;
        // oggdec rounds libvorbis's floats to 16 bits: within one step of 16 bits.
        ExpectMatches(LoadSound(SoundDataPath(name)), file, Reference(name.substr(0, name.size() - 4), true),
                      1.0f / 32768);
    }
}

TEST_F(AudioSamples, DecodersReadInAnyBlocksGiveTheWholeSoundAndRewind) {
    for (const Sample& file : WAV_FILES) ExpectStreamingMatchesWholeLoad(file);
    for (const Sample& file : VORBIS_FILES) ExpectStreamingMatchesWholeLoad(file);
}

}  // namespace
