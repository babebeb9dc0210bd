#include "pixmap/pixel_shuffle_avx2.h"

#include "pixmap/pixel_byte_map.h"
#include "pixmap/pixel_format.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QRV_HAS_AVX2_KERNELS 1
#endif

namespace qrv {

#ifdef QRV_HAS_AVX2_KERNELS

namespace {

// One in-lane shuffle serves both 128-bit lanes: each lane holds four source pixels at its
// start and gives four output pixels, constant bytes (the alpha of RGB) or-ed in after.
struct TPlan {
    alignas(32) uint8_t control[32];
    alignas(32) uint8_t fill[32];
};

__attribute__((target("avx2"))) inline __m256i Load(const uint8_t* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

__attribute__((target("avx2"))) inline void Store(uint8_t* at, __m256i value) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), value);
}

// Eight three-byte pixels to eight four-byte ones. The 32-byte load reaches 8 bytes past the
// 24 it converts; the dword permute gives the upper lane bytes 12..27, so each lane starts at
// its first pixel.
__attribute__((target("avx2"))) inline void ThreeToFourEight(const uint8_t* s, uint8_t* d,
                                                             __m256i spread, __m256i control,
                                                             __m256i fill) {
    const __m256i in = _mm256_permutevar8x32_epi32(Load(s), spread);
    Store(d, _mm256_or_si256(_mm256_shuffle_epi8(in, control), fill));
}

__attribute__((target("avx2"))) int32_t ThreeToFour(const TPlan& plan, const uint8_t* s,
                                                    uint8_t* d, int32_t count) {
    // The last load of a block reads 8 bytes past it: keep three pixels of the run behind.
    const int32_t blocks = (count - 3) / 32;
    if (blocks <= 0) return 0;
    const __m256i control = _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.control));
    const __m256i fill = _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.fill));
    const __m256i spread = _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6);
    for (int32_t b = 0; b < blocks; ++b, s += 96, d += 128) {
        ThreeToFourEight(s, d, spread, control, fill);
        ThreeToFourEight(s + 24, d + 32, spread, control, fill);
        ThreeToFourEight(s + 48, d + 64, spread, control, fill);
        ThreeToFourEight(s + 72, d + 96, spread, control, fill);
    }
    return blocks * 32;
}

// Eight four-byte pixels to 24 bytes of three-byte ones, laid out by dwords as `lay` says.
__attribute__((target("avx2"))) inline __m256i PackEight(const uint8_t* s, __m256i control,
                                                         __m256i lay) {
    return _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(Load(s), control), lay);
}

// Thirty-two four-byte pixels to three full vectors of three-byte ones. The shuffle packs each
// lane's 12 output bytes into its dwords 0..2; dword permutes then lay the four inputs' 24-byte
// results out so that each output vector is a blend of two of them:
//   out0 = a0..a5 b0 b1,  out1 = b2..b5 c0..c3,  out2 = c4 c5 e0..e5.
__attribute__((target("avx2"))) int32_t FourToThree(const TPlan& plan, const uint8_t* s,
                                                    uint8_t* d, int32_t count) {
    const int32_t blocks = count / 32;
    if (blocks <= 0) return 0;
    const __m256i control = _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.control));
    // Dword k of a packed result lies in dword k (k < 3) or k + 1 of the shuffled vector.
    const __m256i layA = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 0, 0);
    const __m256i layB = _mm256_setr_epi32(2, 4, 5, 6, 0, 0, 0, 1);
    const __m256i layC = _mm256_setr_epi32(5, 6, 0, 0, 0, 1, 2, 4);
    const __m256i layE = _mm256_setr_epi32(0, 0, 0, 1, 2, 4, 5, 6);
    for (int32_t block = 0; block < blocks; ++block, s += 128, d += 96) {
        const __m256i a = PackEight(s, control, layA), b = PackEight(s + 32, control, layB);
        const __m256i c = PackEight(s + 64, control, layC), e = PackEight(s + 96, control, layE);
        Store(d, _mm256_blend_epi32(a, b, 0xC0));
        Store(d + 32, _mm256_blend_epi32(b, c, 0xF0));
        Store(d + 64, _mm256_blend_epi32(c, e, 0xFC));
    }
    return blocks * 32;
}

// The shuffle of one lane: four pixels of srcBpp bytes in, four of dstBpp bytes out.
TPlan MakePlan(int32_t srcFormat, int32_t dstFormat) {
    TPlan plan{};
    const int32_t srcBpp = BytesPerPixel(srcFormat), dstBpp = BytesPerPixel(dstFormat);
    for (int i = 0; i < 32; ++i) plan.control[i] = 0x80;  // a set top bit makes the shuffle write 0
    for (int lane = 0; lane < 2; ++lane) {
        for (int p = 0; p < 4; ++p) {
            for (int j = 0; j < dstBpp; ++j) {
                const int8_t from = pixel_bytes::SourceByte(srcFormat, dstFormat, j);
                const int at = 16 * lane + p * dstBpp + j;
                if (from >= 0)
                    plan.control[at] = static_cast<uint8_t>(p * srcBpp + from);
                else
                    plan.fill[at] = from == pixel_bytes::FULL ? 255 : 0;
            }
        }
    }
    return plan;
}

bool IsThreeFourPair(int32_t srcFormat, int32_t dstFormat) {
    const int32_t srcBpp = BytesPerPixel(srcFormat), dstBpp = BytesPerPixel(dstFormat);
    return (srcBpp == 3 && dstBpp == 4) || (srcBpp == 4 && dstBpp == 3);
}

struct TPlanTable {
    TPlan plans[FormatCount][FormatCount];
    TPlanTable() {
        for (int32_t s = 1; s < FormatCount; ++s)
            for (int32_t d = 1; d < FormatCount; ++d)
                if (IsThreeFourPair(s, d)) plans[s][d] = MakePlan(s, d);
    }
};

}  // namespace

int32_t ShufflePixelRunAvx2(const uint8_t* src, int32_t srcFormat, uint8_t* dst,
                            int32_t dstFormat, int32_t count) {
    static const bool supported = __builtin_cpu_supports("avx2");
    if (!supported || !IsValidPixelFormat(srcFormat) || !IsValidPixelFormat(dstFormat) ||
        !IsThreeFourPair(srcFormat, dstFormat))
        return 0;
    static const TPlanTable table;
    const TPlan& plan = table.plans[srcFormat][dstFormat];
    return BytesPerPixel(srcFormat) == 3 ? ThreeToFour(plan, src, dst, count)
                                         : FourToThree(plan, src, dst, count);
}

#else

int32_t ShufflePixelRunAvx2(const uint8_t*, int32_t, uint8_t*, int32_t, int32_t) { return 0; }

#endif

}  // namespace qrv
