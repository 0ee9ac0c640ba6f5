#include "framework/raster/SWTriPixel.h"

namespace Nubra {

#define SWTRI_INSTANTIATE(name, F, T, A, V, C, B)                                                          \
    template void SWTri_Fill<swtri::F, T, A, V, C, B>(const SWTri_FixedVertex*, uint8_t*, int32_t,         \
                                                      const SWTri_TextureInfo*, const SWTri_ConstColor*);
SWTRI_FILLERS(SWTRI_INSTANTIATE)
#undef SWTRI_INSTANTIATE

} // namespace Nubra
