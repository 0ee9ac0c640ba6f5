#include "framework/raster/SWTriVectorised.h"

#include "framework/raster/SWTriSpanAvx2.h"

#include <atomic>

namespace Nubra {
namespace {

bool ProcessorHasAvx2()
{
#if SWTRI_AVX2_SPANS
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

std::atomic<bool> gEnabled{true};

} // namespace

bool SWTri_VectorisedSpans() { return gEnabled.load(std::memory_order_relaxed) && ProcessorHasAvx2(); }

void SWTri_SetVectorisedSpans(bool enabled) { gEnabled.store(enabled, std::memory_order_relaxed); }

} // namespace Nubra
