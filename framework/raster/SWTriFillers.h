#pragma once
#include "framework/raster/SWTriTypes.h"

// The span fillers: one routine per destination format and combination of the index bits
// T (texture), A (texture alpha), V (vertex colours), C (constant colour), B (bilinear).
// They are instantiated in SWTriFillers.cpp; the names listed below are the ones the filler
// table, the tests and the logs use.
namespace Nubra {

template <SWTri_Format F, bool T, bool A, bool V, bool C, bool B>
void SWTri_Fill(const SWTri_FixedVertex* vertices, uint8_t* dest, int32_t pitch, const SWTri_TextureInfo* texture,
                const SWTri_ConstColor* color);

// Draws nothing: the untextured entries without vertex colours.
void SWTri_NoFill(const SWTri_FixedVertex* vertices, uint8_t* dest, int32_t pitch, const SWTri_TextureInfo* texture,
                  const SWTri_ConstColor* color);

namespace swtri {
constexpr SWTri_Format k8888 = SWTri_Format::ARGB8888;
constexpr SWTri_Format k888 = SWTri_Format::RGB888;
constexpr SWTri_Format k565 = SWTri_Format::RGB565;
constexpr SWTri_Format k555 = SWTri_Format::RGB555;
} // namespace swtri

// X(name, format, T, A, V, C, B) for every filler. The untextured ones (no T) serve four slots
// each, as A and B make no difference to them; SWTri_Fill32_T serves both 32-bit formats, since
// it never reads the destination.
#define SWTRI_FILLERS(X) \
    X(SWTri_Fill8888_V, k8888, 0, 0, 1, 0, 0) \
    X(SWTri_Fill8888_VC, k8888, 0, 0, 1, 1, 0) \
    X(SWTri_Fill888_V, k888, 0, 0, 1, 0, 0) \
    X(SWTri_Fill888_VC, k888, 0, 0, 1, 1, 0) \
    X(SWTri_Fill32_T, k8888, 1, 0, 0, 0, 0) \
    X(SWTri_Fill8888_TC, k8888, 1, 0, 0, 1, 0) \
    X(SWTri_Fill8888_TA, k8888, 1, 1, 0, 0, 0) \
    X(SWTri_Fill8888_TAB, k8888, 1, 1, 0, 0, 1) \
    X(SWTri_Fill8888_TAC, k8888, 1, 1, 0, 1, 0) \
    X(SWTri_Fill8888_TACB, k8888, 1, 1, 0, 1, 1) \
    X(SWTri_Fill888_TC, k888, 1, 0, 0, 1, 0) \
    X(SWTri_Fill888_TA, k888, 1, 1, 0, 0, 0) \
    X(SWTri_Fill888_TAB, k888, 1, 1, 0, 0, 1) \
    X(SWTri_Fill888_TAC, k888, 1, 1, 0, 1, 0) \
    X(SWTri_Fill888_TACB, k888, 1, 1, 0, 1, 1) \
    X(SWTri_Fill8888_TV, k8888, 1, 0, 1, 0, 0) \
    X(SWTri_Fill8888_TVC, k8888, 1, 0, 1, 1, 0) \
    X(SWTri_Fill888_TV, k888, 1, 0, 1, 0, 0) \
    X(SWTri_Fill888_TVC, k888, 1, 0, 1, 1, 0) \
    X(SWTri_Fill8888_TAV, k8888, 1, 1, 1, 0, 0) \
    X(SWTri_Fill8888_TAVB, k8888, 1, 1, 1, 0, 1) \
    X(SWTri_Fill8888_TAVC, k8888, 1, 1, 1, 1, 0) \
    X(SWTri_Fill8888_TAVCB, k8888, 1, 1, 1, 1, 1) \
    X(SWTri_Fill888_TAV, k888, 1, 1, 1, 0, 0) \
    X(SWTri_Fill888_TAVB, k888, 1, 1, 1, 0, 1) \
    X(SWTri_Fill888_TAVC, k888, 1, 1, 1, 1, 0) \
    X(SWTri_Fill888_TAVCB, k888, 1, 1, 1, 1, 1) \
    X(SWTri_Fill565_V, k565, 0, 0, 1, 0, 0) \
    X(SWTri_Fill565_VC, k565, 0, 0, 1, 1, 0) \
    X(SWTri_Fill555_V, k555, 0, 0, 1, 0, 0) \
    X(SWTri_Fill555_VC, k555, 0, 0, 1, 1, 0) \
    X(SWTri_Fill565_T, k565, 1, 0, 0, 0, 0) \
    X(SWTri_Fill565_TC, k565, 1, 0, 0, 1, 0) \
    X(SWTri_Fill565_TA, k565, 1, 1, 0, 0, 0) \
    X(SWTri_Fill565_TAB, k565, 1, 1, 0, 0, 1) \
    X(SWTri_Fill565_TAC, k565, 1, 1, 0, 1, 0) \
    X(SWTri_Fill565_TACB, k565, 1, 1, 0, 1, 1) \
    X(SWTri_Fill555_T, k555, 1, 0, 0, 0, 0) \
    X(SWTri_Fill555_TC, k555, 1, 0, 0, 1, 0) \
    X(SWTri_Fill555_TA, k555, 1, 1, 0, 0, 0) \
    X(SWTri_Fill555_TAB, k555, 1, 1, 0, 0, 1) \
    X(SWTri_Fill555_TAC, k555, 1, 1, 0, 1, 0) \
    X(SWTri_Fill555_TACB, k555, 1, 1, 0, 1, 1) \
    X(SWTri_Fill565_TV, k565, 1, 0, 1, 0, 0) \
    X(SWTri_Fill565_TVC, k565, 1, 0, 1, 1, 0) \
    X(SWTri_Fill555_TV, k555, 1, 0, 1, 0, 0) \
    X(SWTri_Fill555_TVC, k555, 1, 0, 1, 1, 0) \
    X(SWTri_Fill565_TAV, k565, 1, 1, 1, 0, 0) \
    X(SWTri_Fill565_TAVB, k565, 1, 1, 1, 0, 1) \
    X(SWTri_Fill565_TAVC, k565, 1, 1, 1, 1, 0) \
    X(SWTri_Fill565_TAVCB, k565, 1, 1, 1, 1, 1) \
    X(SWTri_Fill555_TAV, k555, 1, 1, 1, 0, 0) \
    X(SWTri_Fill555_TAVB, k555, 1, 1, 1, 0, 1) \
    X(SWTri_Fill555_TAVC, k555, 1, 1, 1, 1, 0) \
    X(SWTri_Fill555_TAVCB, k555, 1, 1, 1, 1, 1)

#define SWTRI_FILLER_ALIAS(name, F, T, A, V, C, B) \
    inline constexpr SWTri_FillerFn name = &SWTri_Fill<swtri::F, T, A, V, C, B>;
SWTRI_FILLERS(SWTRI_FILLER_ALIAS)
#undef SWTRI_FILLER_ALIAS

} // namespace Nubra
