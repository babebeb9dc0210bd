#include "pixmap/pixel_shuffle.h"

#include <gtest/gtest.h>

#include <vector>

#include "pixmap/pixel_format.h"
#include "pixmap/pixel_shuffle_avx2.h"
#include "tests/pixmap/reference_conversion.h"

namespace {

using namespace qrv;
using Bytes = std::vector<uint8_t>;
using pixmap_test::ReferenceConversion;
using TKernel = int32_t (*)(const uint8_t*, int32_t, uint8_t*, int32_t, int32_t);

Bytes NoiseBytes(size_t size) {
    uint32_t state = 2463534242u;
    Bytes bytes(size);
    for (uint8_t& byte : bytes) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        byte = static_cast<uint8_t>(state);
    }
    return bytes;
}

// Whether the processor has the instructions of the kernels; they are built for x86 alone.
#if defined(__x86_64__) || defined(__i386__)
bool HasAvx2() { return __builtin_cpu_supports("avx2"); }
bool HasSsse3() { return __builtin_cpu_supports("ssse3"); }
#else
bool HasAvx2() { return false; }
bool HasSsse3() { return false; }
#endif

bool IsThreeFourPair(int32_t from, int32_t to) {
    return BytesPerPixel(from) + BytesPerPixel(to) == 7;
}

// Runs a kernel over count pixels that start `shift` bytes into their buffers, the source
// ending where its buffer ends so that a read past the run trips the address sanitizer.
// Checks the pixels it says it converted against the plain conversion and that nothing past
// them was written; gives how many it converted.
int32_t RunChecked(TKernel kernel, int32_t from, int32_t to, int32_t count, int shift) {
    const Bytes source = NoiseBytes(shift + static_cast<size_t>(count) * BytesPerPixel(from));
    Bytes out(shift + static_cast<size_t>(count) * BytesPerPixel(to) + 16, 0xEE);
    const uint8_t* s = source.data() + shift;
    uint8_t* d = out.data() + shift;
    const int32_t done = kernel(s, from, d, to, count);
    EXPECT_GE(done, 0);
    EXPECT_LE(done, count);
    const Bytes expected = ReferenceConversion(s, from, to, done);
    const uint8_t* past = d + expected.size();
    const uint8_t* end = out.data() + out.size();
    EXPECT_EQ(Bytes(static_cast<const uint8_t*>(d), past), expected)
        << "format " << from << " to " << to << ", " << done << " of " << count << " pixels";
    EXPECT_EQ(Bytes(past, end), Bytes(static_cast<size_t>(end - past), 0xEE))
        << "format " << from << " to " << to << " wrote past " << done << " pixels";
    return done;
}

// The wide kernels take the pairs between a three- and a four-byte format, 32 pixels a block;
// lengths around one and two blocks meet their tails, shifted starts their unaligned loads.
TEST(PixelShuffle, WideKernelsConvertThreeAndFourBytePairsAndLeaveTheRest) {
    const bool avx2 = HasAvx2();
    for (int32_t from = 1; from < FormatCount; ++from) {
        for (int32_t to = 1; to < FormatCount; ++to) {
            if (from == to) continue;
            for (int32_t count : {0, 31, 32, 34, 35, 36, 63, 64, 67, 96, 131}) {
                for (int shift : {0, 1, 3}) {
                    const int32_t done = RunChecked(ShufflePixelRunAvx2, from, to, count, shift);
                    ASSERT_FALSE(HasFailure()) << count << " pixels, shift " << shift;
                    if (!IsThreeFourPair(from, to) || !avx2) {
                        ASSERT_EQ(done, 0) << "format " << from << " to " << to;
                    } else {
                        // Whole blocks only, less than a block plus three pixels left over.
                        EXPECT_EQ(done % 32, 0);
                        EXPECT_GT(done, count - 36) << "format " << from << " to " << to;
                    }
                }
            }
        }
    }
}

// The narrower kernels alone, for every pair: they take the tails of the wide ones and every
// run on a processor without AVX2.
TEST(PixelShuffle, NarrowKernelsConvertEveryPair) {
    for (int32_t from = 1; from < FormatCount; ++from) {
        for (int32_t to = 1; to < FormatCount; ++to) {
            if (from == to) continue;
            for (int32_t count : {15, 16, 17, 18, 19, 33, 50}) {
                for (int shift : {0, 1, 3}) {
                    const int32_t done = RunChecked(ShufflePixelRunSsse3, from, to, count, shift);
                    ASSERT_FALSE(HasFailure()) << count << " pixels, shift " << shift;
                    if (HasSsse3() && count >= 19) {
                        EXPECT_GE(done, 16);
                    }
                }
            }
        }
    }
}

}  // namespace
