// The sound files of tests/audio/data (made by tools/make-sound-samples.sh) and ways to read them.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "audio/sound_decoder.h"
#include "audio/sound_loader.h"
#include "core/failure.h"
#include "stream/bank.h"
#include "stream/stream_utils.h"

namespace qrv::test {

using Bytes = std::vector<uint8_t>;

inline std::u16string SoundDataPath(const std::string& name) {
    const std::string path = std::string(AUDIO_TEST_DATA) + "/" + name;
    return {path.begin(), path.end()};
}

inline Bytes SoundDataBytes(const std::string& name) { return LoadBytes(SoundDataPath(name)); }

inline Ref<TBank> BankOf(const Bytes& bytes) {
    Ref<TBank> bank = TBank::NewBank(static_cast<int32_t>(bytes.size()));
    if (!bytes.empty()) std::memcpy(bank->Data(), bytes.data(), bytes.size());
    return bank;
}

inline Ref<TSound> LoadSoundBytes(const Bytes& bytes) { return LoadSound(BankOf(bytes)); }

// Reads the decoder to its end, asking for the block sizes in turn, over and over; the samples,
// or none with the failure in `failure` when a read gives -1.
inline std::vector<float> ReadInBlocks(TSoundDecoder& decoder, const std::vector<int64_t>& blocks,
                                       std::string* failure = nullptr) {
    std::vector<float> samples;
    for (size_t i = 0;; ++i) {
        const int64_t block = blocks[i % blocks.size()];
        std::vector<float> out(static_cast<size_t>(block * decoder.Channels()));
        const int64_t got = decoder.Read(out.data(), block);
        if (got < 0) {
            if (failure) *failure = LastFailureUtf8();
            return {};
        }
        if (got == 0) return samples;
        samples.insert(samples.end(), out.begin(), out.begin() + got * decoder.Channels());
    }
}

// The cause LastFailure gives after the URL's name.
inline std::string FailureCause() {
    const std::string reason = LastFailureUtf8();
    const size_t colon = reason.find(": ");
    return colon == std::string::npos ? reason : reason.substr(colon + 2);
}

}  // namespace qrv::test
