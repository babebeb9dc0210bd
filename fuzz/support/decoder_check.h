#pragma once

#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio/sound_decoder.h"
#include "core/failure.h"
#include "support/fuzz_check.h"

namespace qrv::fuzz {

// A decoder read to its end in uneven blocks, at most `limit` frames of it.
struct TDecoded {
    std::vector<float> samples;
    bool failed = false;  // a read gave -1
    std::string failure;  // then LastFailure
};

inline TDecoded ReadInOddBlocks(TSoundDecoder& decoder, int64_t limit) {
    static const int64_t blocks[] = {1, 3, 517, 4096, 77};
    TDecoded decoded;
    std::vector<float> out(4096 * 2);
    for (size_t i = 0; static_cast<int64_t>(decoded.samples.size()) < limit * decoder.Channels(); ++i) {
        const int64_t got = decoder.Read(out.data(), blocks[i % std::size(blocks)]);
        if (got < 0) {
            decoded.failed = true;
            decoded.failure = LastFailureUtf8();
            break;
        }
        if (got == 0) break;
        FUZZ_CHECK(got <= blocks[i % std::size(blocks)], std::to_string(got) + " frames for a smaller block");
        decoded.samples.insert(decoded.samples.end(), out.begin(), out.begin() + got * decoder.Channels());
    }
    return decoded;
}

// The decoder opened over the same bytes agrees with the whole load: the same samples when it
// gave a sound, and again after Rewind; when it gave none for a reason found while decoding, the decoder fails the same
// way (the memory limit and an empty result being the whole load's business alone).
inline void CheckDecoderAgrees(const Ref<TSound>& sound, const std::string& cause, const Ref<TSoundDecoder>& decoder) {
    if (!sound) {
        const bool wholeLoadOnly = cause.find("over the sound memory limit") != std::string::npos ||
                                   cause.ends_with("no samples");
        if (!decoder || wholeLoadOnly) return;
        const TDecoded decoded = ReadInOddBlocks(*decoder, int64_t{1} << 22);
        FUZZ_CHECK(decoded.failed && cause.ends_with(decoded.failure),
                   "the whole load failed with \"" + cause + "\", the decoder with \"" + decoded.failure + "\"");
        return;
    }
    FUZZ_CHECK(decoder != nullptr, "a sound, but no decoder: " + LastFailureUtf8());
    FUZZ_CHECK(decoder->Rate() == sound->Rate() && decoder->Channels() == sound->Channels(),
               std::string("the decoder's format differs from the sound's"));
    const TDecoded decoded = ReadInOddBlocks(*decoder, sound->Frames() + 1);
    FUZZ_CHECK(!decoded.failed, "the decoder failed: " + decoded.failure);
    FUZZ_CHECK(decoded.samples == sound->Samples(), "the decoder gave " + std::to_string(decoded.samples.size()) +
                                                        " samples, the whole load " +
                                                        std::to_string(sound->Samples().size()));
    // Rewound, it gives the same again.
    FUZZ_CHECK(decoder->Rewind(), "the decoder over memory did not rewind: " + LastFailureUtf8());
    FUZZ_CHECK(ReadInOddBlocks(*decoder, sound->Frames() + 1).samples == sound->Samples(),
               std::string("the rewound decoder gave other samples"));
}

}  // namespace qrv::fuzz
