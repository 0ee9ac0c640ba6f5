#pragma once
#include <cstdint>

namespace Nubra::swtri {

// The composited coverage of the 0x8888 blend, 1-256, divides numerators below 2^17. A
// single-precision quotient, truncated, is exact there: its rounding error stays below
// n / coverage * 2^-24, under the 1/coverage that a quotient's fraction keeps from the next
// whole number whenever n is below 2^24.
inline constexpr uint32_t kMaxDividend = 1u << 17;

// n / coverage, truncated, for n below kMaxDividend and coverage 1-256.
constexpr uint32_t DivideByCoverage(uint32_t n, uint32_t coverage) { return uint32_t(float(n) / float(coverage)); }

} // namespace Nubra::swtri
