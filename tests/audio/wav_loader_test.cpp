// WAV files made here with known samples, in every sample format the loader reads, and damaged
// ones that must give no sound and a reason.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "audio/audio_module.h"
#include "audio/sound_loader.h"
#include "core/bit_cast.h"
#include "core/failure.h"
#include "sound_test_data.h"

namespace {

using namespace qrv;
using namespace qrv::test;

void Put(Bytes& bytes, uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

Bytes Chunk(const char* id, const Bytes& body, uint32_t claimed = 0xFFFFFFFF) {
    Bytes chunk(id, id + 4);
    Put(chunk, claimed == 0xFFFFFFFF ? body.size() : claimed, 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    if (body.size() % 2) chunk.push_back(0);
    return chunk;
}

Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
    return Chunk("RIFF", body);
}

struct Format {
    uint32_t tag = 1;
    uint32_t channels = 1;
    uint32_t rate = 22050;
    uint32_t bits = 16;
    uint32_t blockAlign = 0;  // 0: channels x bits / 8
    bool extensible = false;
};

Bytes Fmt(const Format& f) {
    Bytes body;
    Put(body, f.extensible ? 0xFFFE : f.tag, 2);
    Put(body, f.channels, 2);
    Put(body, f.rate, 4);
    const uint32_t align = f.blockAlign ? f.blockAlign : f.channels * f.bits / 8;
    Put(body, f.rate * align, 4);
    Put(body, align, 2);
    Put(body, f.bits, 2);
    if (f.extensible) {
        Put(body, 22, 2);
        Put(body, f.bits, 2);
        Put(body, f.channels == 2 ? 3 : 4, 4);
        Put(body, f.tag, 2);  // the sub-format's first two bytes; the rest of its GUID follows
        const uint8_t rest[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        body.insert(body.end(), rest, rest + 14);
    }
    return Chunk("fmt ", body);
}

class AudioWav : public ::testing::Test {
protected:
    void SetUp() override {
        InitAudioModule();
        ClearLastFailure();
    }
};

TEST_F(AudioWav, EverySampleFormatDecodesToItsValues) {
    // Fractions of full scale every format holds exactly, and each format's extremes.
    const std::vector<double> fractions = {-1.0, -0.5, -0.25, 0.0, 0.125, 0.5, 0.75};
    for (const uint32_t bits : {8u, 16u, 24u, 32u}) {
        for (const bool isFloat : {false, true}) {
            if (isFloat && bits != 32) continue;
            for (const uint32_t channels : {1u, 2u}) {
                for (const bool extensible : {false, true}) {
                    Bytes data;
                    std::vector<float> expected;
                    const double scale = std::ldexp(1.0, static_cast<int>(bits) - 1);
                    for (double fraction : fractions) {
                        for (uint32_t c = 0; c < channels; ++c) {
                            const double value = c == 0 ? fraction : -fraction / 2;
                            expected.push_back(static_cast<float>(value));
                            if (isFloat) {
                                Put(data, BitCast<uint32_t>(static_cast<float>(value)), 4);
                            } else {
                                const auto integer = static_cast<int64_t>(value * scale);
                                Put(data, static_cast<uint64_t>(bits == 8 ? integer + 128 : integer), bits / 8);
                            }
                        }
                    }
                    if (!isFloat) {
                        // The largest value, one step under full scale.
                        for (uint32_t c = 0; c < channels; ++c) {
                            const auto top = static_cast<int64_t>(scale) - 1;
                            Put(data, static_cast<uint64_t>(bits == 8 ? top + 128 : top), bits / 8);
                            expected.push_back(static_cast<float>(top / scale));
                        }
                    }
                    Format format{isFloat ? 3u : 1u, channels, 11025 * bits, bits, 0, extensible};
                    // Chunks the loader does not know, odd-sized (so padded), around the format.
                    const Bytes wav = Riff({Chunk("LIST", {1, 2, 3}), Fmt(format), Chunk("fact", {9}),
                                            Chunk("data", data), Chunk("junk", {1, 2})});
                    const std::string what = std::to_string(bits) + (isFloat ? "-bit float " : "-bit ") +
                                             std::to_string(channels) + " channels" +
                                             (extensible ? " extensible" : "");
                    const Ref<TSound> sound = LoadSoundBytes(wav);
                    ASSERT_NE(sound, nullptr) << what << ": " << LastFailureUtf8();
                    EXPECT_EQ(sound->Rate(), static_cast<int32_t>(11025 * bits)) << what;
                    EXPECT_EQ(sound->Channels(), static_cast<int32_t>(channels)) << what;
                    ASSERT_EQ(sound->Samples().size(), expected.size()) << what;
                    for (size_t i = 0; i < expected.size(); ++i) {
                        EXPECT_FLOAT_EQ(sound->Samples()[i], expected[i]) << what << ", sample " << i;
                    }
                }
            }
        }
    }
}

TEST_F(AudioWav, DamagedFilesGiveNoSoundAndAReason) {
    const Bytes samples(400, 0x10);
    const Bytes good = Riff({Fmt({}), Chunk("data", samples)});
    ASSERT_NE(LoadSoundBytes(good), nullptr) << LastFailureUtf8();

    // Every cut short of the whole file, wherever it falls.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        ASSERT_EQ(LoadSoundBytes(Bytes(good.begin(), good.begin() + cut)), nullptr) << "cut at " << cut;
        const std::string expected = cut < 4 ? "not a sound of any known kind"
                                             : "truncated after " + std::to_string(cut) + " bytes";
        ASSERT_EQ(FailureCause(), expected) << "cut at " << cut;
    }

    const auto with = [](Format f) { return Riff({Fmt(f), Chunk("data", Bytes(64, 0))}); };
    const struct {
        Bytes wav;
        std::string cause;
    } cases[] = {
        {with({1, 0}), "0 channels (mono and stereo can be read)"},
        {with({1, 6}), "6 channels (mono and stereo can be read)"},
        {with({1, 1, 0}), "a rate of 0 Hz"},
        {with({1, 1, 4294967295u}), "a rate of 4294967295 Hz"},
        {with({1, 1, 8000, 12}), "12-bit PCM samples, which cannot be read"},
        {with({3, 1, 8000, 64}), "64-bit float samples, which cannot be read"},
        {with({2, 1, 8000, 4}), "samples in WAV format 0x0002, which cannot be read (PCM and float can)"},
        {with({1, 2, 8000, 16, 2}), "frames of 2 bytes for 2 channels of 16 bits"},
        {Riff({Chunk("data", samples), Fmt({})}), "samples before their format"},
        {Riff({Chunk("fmt ", {1, 0, 1, 0})}), "a format chunk of 4 bytes"},
        {Riff({Fmt({}), Chunk("data", {})}), "no samples"},
        // Sizes claimed far beyond the data: the file ends first, or the claim is over the limit.
        {Riff({Fmt({}), Chunk("data", samples, 100u << 20)}), "truncated after 444 bytes"},
        {Riff({Fmt({}), Chunk("LIST", samples, 0xFFFFFFF0u)}), "truncated after 444 bytes"},
        {Riff({Fmt({}), Chunk("data", samples, 0xFFFFFFF0u)}),
         "2147483640 frames, over the sound memory limit"},
        // Not a sound at all.
        {Bytes(300, 'x'), "not a sound of any known kind"},
        {Chunk("RIFF", {'A', 'V', 'I', ' ', 0, 0, 0, 0}), "not a sound of any known kind"},
    };
    for (const auto& c : cases) {
        ClearLastFailure();
        EXPECT_EQ(LoadSoundBytes(c.wav), nullptr) << c.cause;
        EXPECT_EQ(FailureCause(), c.cause);
    }

    // Every byte of a good file changed in turn: each gives a sound or a reason, and nothing more.
    for (size_t at = 0; at < good.size(); ++at) {
        for (const uint8_t value : {uint8_t{0}, uint8_t{0x7F}, uint8_t{0xFF}}) {
            Bytes damaged = good;
            damaged[at] = value;
            ClearLastFailure();
            if (!LoadSoundBytes(damaged)) {
                ASSERT_FALSE(LastFailure().empty()) << "byte " << at << " = " << int{value};
            }
        }
    }
}

TEST_F(AudioWav, TheMemoryLimitBoundsASound) {
    const Bytes wav = Riff({Fmt({1, 2, 8000, 16}), Chunk("data", Bytes(4000, 0))});
    SetSoundMemoryLimit(1000 * 2 * 4);
    EXPECT_NE(LoadSoundBytes(wav), nullptr);
    SetSoundMemoryLimit(1000 * 2 * 4 - 1);
    EXPECT_EQ(LoadSoundBytes(wav), nullptr);
    EXPECT_EQ(FailureCause(), "1000 frames, over the sound memory limit");
    EXPECT_EQ(MakeSound(8000, 2, std::vector<float>(2000)), nullptr);
    SetSoundMemoryLimit(DEFAULT_SOUND_MEMORY_LIMIT);
    // Samples made by the program are checked the same way as loaded ones.
    EXPECT_EQ(MakeSound(8000, 3, std::vector<float>(3)), nullptr);
    EXPECT_EQ(LastFailureUtf8(), "could not make a sound: 3 channels (1 or 2 can play)");
    EXPECT_EQ(MakeSound(8000, 2, std::vector<float>(3)), nullptr);
    EXPECT_EQ(MakeSound(50, 1, std::vector<float>(3)), nullptr);
    EXPECT_EQ(MakeSound(8000, 1, {}), nullptr);
}

}  // namespace
