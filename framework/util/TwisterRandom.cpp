#include "framework/util/TwisterRandom.h"

namespace Nubra {
namespace {
TwisterRandom globalRandom(4357);
}

void TwisterRandom::Seed(uint32_t seed)
{
    if (seed == 0)
        seed = 4357;
    state_[0] = seed;
    for (int i = 1; i < kWords; ++i)
        state_[i] = 1812433253u * (state_[i - 1] ^ (state_[i - 1] >> 30)) + uint32_t(i);
    index_ = kWords;
}

void TwisterRandom::Regenerate()
{
    constexpr int kShift = 397;
    for (int i = 0; i < kWords; ++i) {
        uint32_t y = (state_[i] & 0x80000000u) | (state_[(i + 1) % kWords] & 0x7FFFFFFFu);
        state_[i] = state_[(i + kShift) % kWords] ^ (y >> 1) ^ ((y & 1u) ? 0x9908B0DFu : 0u);
    }
    index_ = 0;
}

uint32_t TwisterRandom::Next()
{
    if (index_ >= kWords)
        Regenerate();
    uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y & 0x7FFFFFFFu;
}

float TwisterRandom::NextFloat(float range) { return float(double(Next()) / 2147483647.0 * range); }

float Rand(float range) { return globalRandom.NextFloat(range); }
void SRand(uint32_t seed) { globalRandom.Seed(seed); }

} // namespace Nubra
