#include "platform/CRand.h"

namespace plat {
namespace {
thread_local uint32_t state = 1;
}

int CRand()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void CSRand(uint32_t seed) { state = seed; }

} // namespace plat
