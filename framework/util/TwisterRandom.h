#pragma once
#include <cstdint>

namespace Nubra {

// Mersenne twister (MT19937) whose draws have the top bit cleared: 0..2^31-1.
class TwisterRandom {
public:
    explicit TwisterRandom(uint32_t seed = 4357) { Seed(seed); }

    void Seed(uint32_t seed); // 0 means 4357
    uint32_t Next();
    float NextFloat(float range); // 0..range

private:
    void Regenerate();

    static constexpr int kWords = 624;
    uint32_t state_[kWords];
    int index_ = kWords;
};

// The global generator.
float Rand(float range);
void SRand(uint32_t seed);

} // namespace Nubra
