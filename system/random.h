#pragma once

#include <cstdint>

namespace qrv {

// One process-wide minimal-standard generator (multiplier 48271, modulus 2^31 - 1) stepped with
// Schrage's method so that no intermediate value leaves 32 bits. Before any seeding the state
// is 4660, so an unseeded program draws the same sequence on every run.

// Sets the state to `seed` without its sign bit; 0 and 2^31 - 1 (not valid states) become 4660.
void SeedRandom(int32_t seed);
// The current state; passing it back to SeedRandom resumes the same sequence.
int32_t GetRandomSeed();

// [0, 1) from one step, with 24 significant bits.
float RandomFloat();
// [0, 1) from two steps, with 53 significant bits; never 1.0.
double RandomDouble();
// From the smaller bound (inclusive) toward the larger (exclusive); bounds in either order.
double RandomReal(double a, double b);
// Every integer of the closed range between a and b with equal weight; bounds in either order.
int32_t RandomInt(int32_t a, int32_t b);

}  // namespace qrv
