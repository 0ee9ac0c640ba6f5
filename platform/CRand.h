#pragma once
#include <cstdint>

namespace plat {

// The classic 15-bit runtime generator (0..32767), for code that divides by 32767. Each thread
// has its own state, seeded with 1.
int CRand();
void CSRand(uint32_t seed);

constexpr int kCRandMax = 0x7FFF;

} // namespace plat
