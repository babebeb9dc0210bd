#include "system/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace {

constexpr int64_t kModulus = 2147483647;

// The generator's step computed with 64-bit products, independently of Schrage's method.
int64_t ReferenceStep(int64_t state) {
    return state * 48271 % kModulus;
}

int64_t PowMod(int64_t base, int64_t exponent) {
    int64_t result = 1;
    for (base %= kModulus; exponent > 0; exponent >>= 1, base = base * base % kModulus)
        if (exponent & 1) result = result * base % kModulus;
    return result;
}

// The state that one step turns into `target`.
int32_t StateBefore(int64_t target) {
    return static_cast<int32_t>(target * PowMod(48271, kModulus - 2) % kModulus);
}

TEST(Random, UnseededStateIs4660) {
    // Runs first in this program, before any test seeds the generator.
    EXPECT_EQ(qrv::GetRandomSeed(), 4660);
}

TEST(Random, KnownAnswersAfterSeedingWithOne) {
    qrv::SeedRandom(1);
    qrv::RandomFloat();
    EXPECT_EQ(qrv::GetRandomSeed(), 48271);
    qrv::RandomFloat();
    EXPECT_EQ(qrv::GetRandomSeed(), 48271LL * 48271 % kModulus);
}

TEST(Random, SchrageStepMatchesSixtyFourBitArithmeticOverManySteps) {
    qrv::SeedRandom(123456789);
    int64_t expected = 123456789;
    for (int i = 0; i < 100000; ++i) {
        qrv::RandomFloat();
        expected = ReferenceStep(expected);
        ASSERT_EQ(qrv::GetRandomSeed(), expected) << "after step " << i + 1;
    }
}

TEST(Random, SeedingEdgeCases) {
    const std::pair<int32_t, int32_t> cases[] = {
        {0, 4660}, {2147483647, 4660}, {-1, 4660}, {-2, 2147483646}, {1, 1},
        {INT32_MIN, 4660}, {INT32_MIN + 5, 5}};
    for (auto [seed, state] : cases) {
        qrv::SeedRandom(seed);
        EXPECT_EQ(qrv::GetRandomSeed(), state) << "seed " << seed;
    }
}

TEST(Random, GetRandomSeedResumesTheSequence) {
    qrv::SeedRandom(77);
    qrv::RandomDouble();
    const int32_t saved = qrv::GetRandomSeed();
    const double next = qrv::RandomDouble();
    qrv::SeedRandom(saved);
    EXPECT_EQ(qrv::RandomDouble(), next);
}

TEST(Random, FloatUsesOneStepAndDoubleTwo) {
    qrv::SeedRandom(9);
    qrv::RandomFloat();
    EXPECT_EQ(qrv::GetRandomSeed(), ReferenceStep(9));
    qrv::SeedRandom(9);
    qrv::RandomDouble();
    EXPECT_EQ(qrv::GetRandomSeed(), ReferenceStep(ReferenceStep(9)));
}

TEST(Random, FloatAndDoubleFollowTheirMasksAndDivisors) {
    qrv::SeedRandom(1000);
    const int64_t s1 = ReferenceStep(1000);
    EXPECT_EQ(qrv::RandomFloat(), static_cast<float>((s1 & 0x0FFFFFF0) / 268435456.0));
    qrv::SeedRandom(1000);
    const int64_t s2 = ReferenceStep(s1);
    const double expected = ((s1 & 0x1FFFFFFC) + (s2 & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
    EXPECT_EQ(qrv::RandomDouble(), expected);
}

TEST(Random, LargestDrawsStayBelowOne) {
    // A state whose masked bits are all ones gives the largest float: 1 - 2^-24, not 1.
    qrv::SeedRandom(StateBefore(0x7FFFFFF0));
    EXPECT_EQ(qrv::RandomFloat(), 1.0f - 0x1p-24f);
    qrv::SeedRandom(StateBefore(0x7FFFFFFC));
    const double d = qrv::RandomDouble();
    EXPECT_LT(d, 1.0);
    EXPECT_GE(d, 0x1FFFFFFC / 536870912.0);
}

TEST(Random, RangesHoldTheirBoundsInEitherOrder) {
    qrv::SeedRandom(42);
    std::set<int32_t> seen;
    for (int i = 0; i < 20000; ++i) {
        const int32_t down = qrv::RandomInt(5, 1);
        const int32_t up = qrv::RandomInt(1, 5);
        ASSERT_GE(down, 1);
        ASSERT_LE(down, 5);
        ASSERT_GE(up, 1);
        ASSERT_LE(up, 5);
        seen.insert(down);
        const double real = qrv::RandomReal(1, 0);
        ASSERT_GE(real, 0.0);
        ASSERT_LT(real, 1.0);
        const double wide = qrv::RandomReal(-3, 150);
        ASSERT_GE(wide, -3.0);
        ASSERT_LT(wide, 150.0);
    }
    EXPECT_EQ(seen, (std::set<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(qrv::RandomInt(3, 3), 3);
    EXPECT_EQ(qrv::RandomReal(2.5, 2.5), 2.5);
}

TEST(Random, NegativeRangesStayInsideTheirBounds) {
    // A draw such as -0.5 in a negative range belongs to -1, not to 0: every integer of the
    // closed range comes up, and nothing outside it.
    qrv::SeedRandom(5);
    std::set<int32_t> below, across;
    for (int i = 0; i < 5000; ++i) {
        const int32_t v = qrv::RandomInt(-1, -5);
        ASSERT_GE(v, -5);
        ASSERT_LE(v, -1);
        below.insert(v);
        across.insert(qrv::RandomInt(-2, 2));
    }
    EXPECT_EQ(below, (std::set<int32_t>{-5, -4, -3, -2, -1}));
    EXPECT_EQ(across, (std::set<int32_t>{-2, -1, 0, 1, 2}));
    for (int i = 0; i < 1000; ++i) {
        const int32_t v = qrv::RandomInt(INT32_MIN, INT32_MAX);
        (void)v;  // the full range must not overflow (UBSan checks the conversion)
    }
}

}  // namespace
