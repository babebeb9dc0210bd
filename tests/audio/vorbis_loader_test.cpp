// Ogg Vorbis files cut short and damaged (with their pages' checksums made right again, so that
// the damage reaches the decoder), chained, of too many channels, over the memory limit, and read
// from streams that cannot seek or that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "audio/audio_module.h"
#include "audio/vorbis_loader.h"
#include "audio/wav_loader.h"
#include "sound_test_data.h"
#include "stream/stream_exceptions.h"

namespace {

using namespace qrv;
using namespace qrv::test;

// Ogg's page checksum: CRC-32 of polynomial 0x04C11DB7, unreflected, over the page with its
// checksum field zeroed.
uint32_t OggChecksum(const uint8_t* page, size_t size) {
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint32_t>(i >= 22 && i < 26 ? 0 : page[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// Calls `change` on every page (its offset and size) and then sets the page's checksum.
template <class Change>
void ForEachPage(Bytes& ogg, Change change) {
    for (size_t at = 0; at + 27 <= ogg.size();) {
        const size_t segments = ogg[at + 26];
        size_t size = 27 + segments;
        for (size_t s = 0; s < segments && at + 27 + s < ogg.size(); ++s) size += ogg[at + 27 + s];
        size = std::min(size, ogg.size() - at);
        change(at, size);
        const uint32_t crc = OggChecksum(&ogg[at], size);
        for (int i = 0; i < 4; ++i) ogg[at + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
        at += size;
    }
}

// The file with byte `at` changed and the checksums made right again.
Bytes Damaged(Bytes ogg, size_t at, uint8_t value) {
    ogg[at] = value;
    ForEachPage(ogg, [](size_t, size_t) {});
    return ogg;
}

// The file as a link of another serial number, so that it may follow itself in a chain.
Bytes WithSerial(Bytes ogg, uint8_t serial) {
    ForEachPage(ogg, [&](size_t at, size_t) { ogg[at + 14] = serial; });
    return ogg;
}

Bytes Joined(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

bool StartsWith(const std::vector<float>& whole, const std::vector<float>& part) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

// A stream that cannot seek, as a download, and fails once it has given `failAt` bytes.
class TDownload final : public TStream {
public:
    explicit TDownload(Bytes data, size_t failAfter = SIZE_MAX) : bytes(std::move(data)), failAt(failAfter) {}
    bool AtEnd() override { return position == bytes.size(); }
    int32_t Read(void* out, int32_t count) override {
        if (position >= failAt) throw TStreamReadException();
        const size_t n = std::min({static_cast<size_t>(count), bytes.size() - position, failAt - position});
        std::memcpy(out, bytes.data() + position, n);
        position += n;
        return static_cast<int32_t>(n);
    }

private:
    Bytes bytes;
    size_t failAt;
    size_t position = 0;
};

class AudioVorbis : public ::testing::Test {
protected:
    void SetUp() override {
        InitAudioModule();
        ClearLastFailure();
    }
    void TearDown() override { SetSoundMemoryLimit(DEFAULT_SOUND_MEMORY_LIMIT); }

    const Bytes mono = SoundDataBytes("mono-22050.ogg");
    const Bytes noise = SoundDataBytes("noise-mono-11025.ogg");
    const Bytes stereo = SoundDataBytes("stereo-44100.ogg");
};

TEST_F(AudioVorbis, CutFilesGiveTheStartOfTheSoundOrAReason) {
    const Ref<TSound> whole = LoadSoundBytes(noise);
    ASSERT_NE(whole, nullptr) << LastFailureUtf8();
    int refused = 0;
    int shortened = 0;
    for (size_t cut = 0; cut < noise.size(); cut += cut < 64 ? 1 : 97) {
        ClearLastFailure();
        const Ref<TSound> sound = LoadSoundBytes(Bytes(noise.begin(), noise.begin() + cut));
        if (!sound) {
            ++refused;
            // Four bytes are enough to know an Ogg file, and then to say what is wrong with it.
            const bool known = FailureCause() != "not a sound of any known kind";
            EXPECT_EQ(known, cut >= 4) << "cut at " << cut << ": " << FailureCause();
        } else {
            ++shortened;
            // Only whole pages decode: what comes is the start of the sound, exactly.
            EXPECT_TRUE(StartsWith(whole->Samples(), sound->Samples()))
                << "cut at " << cut << ": " << sound->Frames() << " frames";
        }
    }
    // Cuts in the headers give no sound, cuts in the audio a shorter one.
    EXPECT_GT(refused, 0);
    EXPECT_GT(shortened, 0);
}

TEST_F(AudioVorbis, DamagedHeadersAndAudioGiveASoundOrAReason) {
    const Ref<TSound> whole = LoadSoundBytes(stereo);
    ASSERT_NE(whole, nullptr);
    int refused = 0;
    int played = 0;
    for (size_t at = 0; at < stereo.size(); at += at < 120 ? 1 : 29) {
        for (const uint8_t value : {uint8_t{0}, uint8_t{0xFF}, static_cast<uint8_t>(stereo[at] ^ 0x10)}) {
            const Bytes damaged = Damaged(stereo, at, value);
            ClearLastFailure();
            const Ref<TSound> sound = LoadSoundBytes(damaged);
            if (!sound) {
                ASSERT_FALSE(LastFailure().empty()) << "byte " << at << " = " << int{value};
                ++refused;
                continue;
            }
            ++played;
            ASSERT_LE(sound->Channels(), 2) << "byte " << at;
            // Whatever a damaged file gives, its decoder gives too.
            const Ref<TSoundDecoder> decoder = OpenSoundDecoder(BankOf(damaged));
            ASSERT_NE(decoder, nullptr) << "byte " << at;
            ASSERT_EQ(ReadInBlocks(*decoder, {999, 5}), sound->Samples()) << "byte " << at;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(played, 0);
    // A first packet that does not say "vorbis" is an Ogg stream of some other codec.
    Bytes notVorbis = stereo;
    const auto name = std::search(notVorbis.begin(), notVorbis.end(), std::begin("vorbis"), std::end("vorbis") - 1);
    EXPECT_EQ(LoadSoundBytes(Damaged(notVorbis, static_cast<size_t>(name - notVorbis.begin()), 'X')), nullptr);
    EXPECT_EQ(FailureCause(), "an Ogg file without Vorbis audio");
}

TEST_F(AudioVorbis, ChainsPlayOnUntilTheFormatChanges) {
    const Ref<TSound> first = LoadSoundBytes(mono);
    ASSERT_NE(first, nullptr);
    // The same format: one sound of both links.
    const Bytes twice = Joined(mono, WithSerial(mono, 99));
    const Ref<TSound> both = LoadSoundBytes(twice);
    ASSERT_NE(both, nullptr) << LastFailureUtf8();
    std::vector<float> expected = first->Samples();
    expected.insert(expected.end(), first->Samples().begin(), first->Samples().end());
    EXPECT_EQ(both->Samples(), expected);
    // Stereo after mono: the sound ends where the format changes, and the decoder counts only
    // the frames it will give.
    const Bytes changing = Joined(mono, stereo);
    const Ref<TSound> changed = LoadSoundBytes(changing);
    ASSERT_NE(changed, nullptr) << LastFailureUtf8();
    EXPECT_EQ(changed->Samples(), first->Samples());
    const Ref<TSoundDecoder> decoder = OpenSoundDecoder(BankOf(changing));
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->Frames(), first->Frames());
    // Over a stream that cannot seek the links are found as they come.
    TSoundLoaderVorbis loader;
    const Ref<TSound> streamed = loader.LoadFromStream(std::make_shared<TDownload>(twice));
    ASSERT_NE(streamed, nullptr);
    EXPECT_EQ(streamed->Samples(), both->Samples());
    const Ref<TSoundDecoder> changedStream = loader.OpenDecoder(std::make_shared<TDownload>(changing));
    ASSERT_NE(changedStream, nullptr);
    EXPECT_EQ(ReadInBlocks(*changedStream, {300}), first->Samples());
}

TEST_F(AudioVorbis, RefusedFormatsAndSizesSayWhy) {
    EXPECT_EQ(LoadSound(SoundDataPath("quad-8000.ogg")), nullptr);
    EXPECT_EQ(FailureCause(), "4 channels (mono and stereo can be read)");
    EXPECT_EQ(OpenSoundDecoder(SoundDataPath("quad-8000.ogg")), nullptr);
    EXPECT_EQ(FailureCause(), "4 channels (mono and stereo can be read)");

    const Ref<TSound> sound = LoadSoundBytes(stereo);
    ASSERT_NE(sound, nullptr);
    SetSoundMemoryLimit(sound->Frames() * 2 * 4 - 1);
    EXPECT_EQ(LoadSoundBytes(stereo), nullptr);
    EXPECT_EQ(FailureCause(), std::to_string(sound->Frames()) + " frames, over the sound memory limit");
    // A decoder plays from the stream, so the limit is not its business.
    EXPECT_NE(OpenSoundDecoder(BankOf(stereo)), nullptr);
}

TEST_F(AudioVorbis, StreamsThatCannotSeekPlayOnceAndFailuresEndTheSound) {
    const Ref<TSound> whole = LoadSoundBytes(mono);
    ASSERT_NE(whole, nullptr);
    TSoundLoaderVorbis loader;
    const Ref<TSoundDecoder> decoder = loader.OpenDecoder(std::make_shared<TDownload>(mono));
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->Frames(), -1);
    EXPECT_EQ(ReadInBlocks(*decoder, {64, 1000}), whole->Samples());
    EXPECT_FALSE(decoder->Rewind());
    // Data that is not Ogg is left to the other loaders.
    EXPECT_EQ(loader.OpenDecoder(std::make_shared<TDownload>(Bytes(100, 'O'))), nullptr);

    // A stream that fails in the middle of the audio: the frames before, then -1 with the cause.
    TSoundLoaderWAV wavLoader;
    const struct {
        TSoundLoader* loader;
        Bytes bytes;
    } cases[] = {{&loader, noise}, {&wavLoader, SoundDataBytes("u8-mono-11025.wav")}};
    for (const auto& c : cases) {
        const auto download = std::make_shared<TDownload>(c.bytes, c.bytes.size() * 3 / 4);
        const Ref<TSoundDecoder> failing = c.loader->OpenDecoder(download);
        ASSERT_NE(failing, nullptr);
        std::vector<float> block(100000);
        EXPECT_GT(failing->Read(block.data(), 100000), 0);
        EXPECT_EQ(failing->Read(block.data(), 100000), -1);
        EXPECT_EQ(LastFailureUtf8(), "the data could not be read (Error reading from stream)");
        EXPECT_EQ(failing->Read(block.data(), 1), -1);
    }
}

}  // namespace
