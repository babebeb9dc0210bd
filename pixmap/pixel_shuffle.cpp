#include "pixmap/pixel_shuffle.h"

#include <cstddef>

#include "pixmap/pixel_byte_map.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixel_shuffle_avx2.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define QRV_HAS_SSSE3_KERNELS 1
#endif

namespace qrv {

#ifdef QRV_HAS_SSSE3_KERNELS

namespace {

using pixel_bytes::FULL;
using pixel_bytes::fromRGBA;
using pixel_bytes::toRGBA;

// Four pixels at a time go through one byte shuffle. For grey, intensity and luminance the
// shuffle makes RGBA first, then the channels are summed.
enum class TKind { Select, Average3, Average4 };

struct TPlan;
using TKernel = int32_t (*)(const TPlan&, const uint8_t*, uint8_t*, int32_t);

// Shuffle controls and constant bytes for the four groups of four pixels in a block of 16.
struct TPlan {
    alignas(16) uint8_t control[4][16];
    alignas(16) uint8_t fill[4][16];
    // Three-byte results: each of the three output vectors is shuffled straight from the two
    // groups it spans (or from the one load of one-byte pixels), so nothing is shifted.
    alignas(16) uint8_t packed[3][2][16];
    alignas(16) uint8_t packedFill[3][16];
    TKernel kernel = nullptr;
};

template <int SrcBpp>
__attribute__((target("ssse3"))) inline __m128i LoadGroup(const uint8_t* s, int k) {
    // One-byte pixels: one load holds all 16, and the controls pick each group's four.
    const uint8_t* at = SrcBpp == 1 ? s : s + k * 4 * SrcBpp;
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

inline void Store(uint8_t* d, __m128i value) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), value);
}

template <int SrcBpp, int DstBpp, TKind Kind>
__attribute__((target("ssse3"))) int32_t Shuffle(const TPlan& plan, const uint8_t* s, uint8_t* d,
                                                 int32_t count) {
    // Three-byte pixels: the last group's 16-byte load reaches 4 bytes past its 12.
    const int32_t blocks = (count - (SrcBpp == 3 ? 2 : 0)) / 16;
    if (blocks <= 0) return 0;
    __m128i control[4], fill[4];
    for (int k = 0; k < 4; ++k) {
        control[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(plan.control[k]));
        fill[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(plan.fill[k]));
    }
    const __m128i weights = Kind == TKind::Average4 ? _mm_set1_epi8(1) : _mm_set1_epi32(0x00010101);
    const __m128i third = _mm_set1_epi16(static_cast<short>(43691));  // 2^17 / 3, rounded up
    if constexpr (Kind == TKind::Select && DstBpp == 3) {
        __m128i packed[3][2], packedFill[3];
        for (int j = 0; j < 3; ++j) {
            for (int h = 0; h < 2; ++h)
                packed[j][h] = _mm_load_si128(reinterpret_cast<const __m128i*>(plan.packed[j][h]));
            packedFill[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(plan.packedFill[j]));
        }
        for (int32_t b = 0; b < blocks; ++b, s += 16 * SrcBpp, d += 48) {
            __m128i in[4];
            for (int k = 0; k < (SrcBpp == 1 ? 1 : 4); ++k) in[k] = LoadGroup<SrcBpp>(s, k);
            for (int j = 0; j < 3; ++j) {
                __m128i out = _mm_or_si128(_mm_shuffle_epi8(in[SrcBpp == 1 ? 0 : j], packed[j][0]),
                                           packedFill[j]);
                if constexpr (SrcBpp != 1)
                    out = _mm_or_si128(out, _mm_shuffle_epi8(in[j + 1], packed[j][1]));
                Store(d + 16 * j, out);
            }
        }
        return blocks * 16;
    }
    for (int32_t b = 0; b < blocks; ++b, s += 16 * SrcBpp, d += 16 * DstBpp) {
        __m128i t[4];
        for (int k = 0; k < 4; ++k)
            t[k] = _mm_or_si128(_mm_shuffle_epi8(LoadGroup<SrcBpp>(s, k), control[k]), fill[k]);
        if constexpr (Kind != TKind::Select) {
            // Per pixel r + g and b (+ a) in 16 bits, then the two halves added: 8 sums a vector.
            __m128i low = _mm_hadd_epi16(_mm_maddubs_epi16(t[0], weights),
                                         _mm_maddubs_epi16(t[1], weights));
            __m128i high = _mm_hadd_epi16(_mm_maddubs_epi16(t[2], weights),
                                          _mm_maddubs_epi16(t[3], weights));
            if constexpr (Kind == TKind::Average3) {
                // (sum * 43691) >> 17 is sum / 3 exactly for every sum up to 765.
                low = _mm_srli_epi16(_mm_mulhi_epu16(low, third), 1);
                high = _mm_srli_epi16(_mm_mulhi_epu16(high, third), 1);
            } else {
                low = _mm_srli_epi16(low, 2);
                high = _mm_srli_epi16(high, 2);
            }
            Store(d, _mm_packus_epi16(low, high));
        } else if constexpr (DstBpp == 4) {
            for (int k = 0; k < 4; ++k) Store(d + 16 * k, t[k]);
        } else {
            // Each group's four bytes already sit in their own quarter.
            Store(d, _mm_or_si128(_mm_or_si128(t[0], t[1]), _mm_or_si128(t[2], t[3])));
        }
    }
    return blocks * 16;
}

template <int SrcBpp>
TKernel KernelFor(int32_t dstBpp, TKind kind) {
    if (kind == TKind::Average3) return Shuffle<SrcBpp, 1, TKind::Average3>;
    if (kind == TKind::Average4) return Shuffle<SrcBpp, 1, TKind::Average4>;
    if (dstBpp == 4) return Shuffle<SrcBpp, 4, TKind::Select>;
    if (dstBpp == 3) return Shuffle<SrcBpp, 3, TKind::Select>;
    return Shuffle<SrcBpp, 1, TKind::Select>;
}

TKind KindOf(int32_t dstFormat) {
    if (dstFormat == FormatGrey8 || dstFormat == FormatLuminance8) return TKind::Average3;
    if (dstFormat == FormatIntensity8) return TKind::Average4;
    return TKind::Select;
}

// Output byte q of a block of 16 three-byte pixels lies in vector q / 16 and comes from
// pixel q / 3, which sits in group (pixel / 4): the vector's own group or the next one.
void MakePackedPlan(TPlan& plan, int32_t srcFormat, int32_t dstFormat) {
    const int32_t srcBpp = BytesPerPixel(srcFormat);
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 16; ++i) {
            plan.packed[j][0][i] = plan.packed[j][1][i] = 0x80;
            plan.packedFill[j][i] = 0;
        }
    }
    for (int q = 0; q < 48; ++q) {
        const int j = q / 16, at = q % 16, pixel = q / 3;
        const int8_t from = toRGBA[srcFormat][fromRGBA[dstFormat][q % 3]];
        if (from < 0) {
            plan.packedFill[j][at] = from == FULL ? 255 : 0;
        } else if (srcBpp == 1) {
            plan.packed[j][0][at] = static_cast<uint8_t>(pixel + from);
        } else {
            const int half = pixel / 4 - j;  // 0: this vector's group, 1: the next
            plan.packed[j][half][at] = static_cast<uint8_t>((pixel % 4) * srcBpp + from);
        }
    }
}

TPlan MakePlan(int32_t srcFormat, int32_t dstFormat) {
    TPlan plan;
    const int32_t srcBpp = BytesPerPixel(srcFormat), dstBpp = BytesPerPixel(dstFormat);
    const TKind kind = KindOf(dstFormat);
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 16; ++i) {
            plan.control[k][i] = 0x80;  // a set top bit makes the shuffle write 0
            plan.fill[k][i] = 0;
        }
        const int srcBase = srcBpp == 1 ? 4 * k : 0;
        // Averages take RGBA pixels; one-byte results go to the group's own quarter.
        const int outBpp = kind == TKind::Select ? dstBpp : 4;
        const int outBase = kind == TKind::Select && dstBpp == 1 ? 4 * k : 0;
        for (int p = 0; p < 4; ++p) {
            for (int j = 0; j < outBpp; ++j) {
                const int channel = kind == TKind::Select ? fromRGBA[dstFormat][j] : j;
                const int8_t from = toRGBA[srcFormat][channel];
                const int at = outBase + p * outBpp + j;
                if (from >= 0) {
                    plan.control[k][at] = static_cast<uint8_t>(srcBase + p * srcBpp + from);
                } else {
                    plan.fill[k][at] = from == FULL ? 255 : 0;
                }
            }
        }
    }
    if (kind == TKind::Select && dstBpp == 3) MakePackedPlan(plan, srcFormat, dstFormat);
    plan.kernel = srcBpp == 1 ? KernelFor<1>(dstBpp, kind)
                : srcBpp == 3 ? KernelFor<3>(dstBpp, kind)
                              : KernelFor<4>(dstBpp, kind);
    return plan;
}

struct TPlanTable {
    TPlan plans[FormatCount][FormatCount];
    TPlanTable() {
        for (int32_t s = 1; s < FormatCount; ++s)
            for (int32_t d = 1; d < FormatCount; ++d)
                if (s != d) plans[s][d] = MakePlan(s, d);
    }
};

}  // namespace

int32_t ShufflePixelRunSsse3(const uint8_t* src, int32_t srcFormat, uint8_t* dst,
                             int32_t dstFormat, int32_t count) {
    static const bool supported = __builtin_cpu_supports("ssse3");
    if (!supported || count < 16 || !IsValidPixelFormat(srcFormat) ||
        !IsValidPixelFormat(dstFormat) || srcFormat == dstFormat)
        return 0;
    static const TPlanTable table;
    const TPlan& plan = table.plans[srcFormat][dstFormat];
    return plan.kernel(plan, src, dst, count);
}

#else

int32_t ShufflePixelRunSsse3(const uint8_t*, int32_t, uint8_t*, int32_t, int32_t) { return 0; }

#endif

int32_t ShufflePixelRun(const uint8_t* src, int32_t srcFormat, uint8_t* dst, int32_t dstFormat,
                        int32_t count) {
    // The wide kernels leave a tail shorter than their block, which the narrow ones may take.
    const int32_t wide = ShufflePixelRunAvx2(src, srcFormat, dst, dstFormat, count);
    const uint8_t* restSrc = src + static_cast<size_t>(wide) * BytesPerPixel(srcFormat);
    uint8_t* restDst = dst + static_cast<size_t>(wide) * BytesPerPixel(dstFormat);
    return wide + ShufflePixelRunSsse3(restSrc, srcFormat, restDst, dstFormat, count - wide);
}

}  // namespace qrv
