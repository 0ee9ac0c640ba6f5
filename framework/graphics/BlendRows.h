#pragma once
// Rows of the blits' per-pixel blends. Where SSE2 is available they take four pixels at a time
// in 16-bit lanes; every form gives the bits of the per-pixel arithmetic of PixelMath.h.
#include "framework/graphics/PixelMath.h"

#include <cstdint>

namespace Nubra {

// Each source pixel mixed in by its own alpha, blue floored apart; the result is opaque.
void MixRowOpaque(uint32_t* dest, const uint32_t* src, int count);

// Each source pixel composited by its own alpha (CompositeOnto, blue floored apart).
void CompositeRow(uint32_t* dest, const uint32_t* src, int count);

// Each source pixel tinted, then composited by its tinted alpha (blue floored apart).
void CompositeTintedRow(uint32_t* dest, const uint32_t* src, int count, const Tint& tint);

// What an additive row adds: the source channels times per-channel factors / 256 when tinted,
// then times the source alpha / 256 when weighted.
struct AddFactors {
    uint32_t r = 256, g = 256, b = 256;
    bool tinted = false;
    bool weighted = false;
};

// Each source pixel added channel by channel with saturation; the destination alpha stays.
void AddRow(uint32_t* dest, const uint32_t* src, int count, const AddFactors& factors);

} // namespace Nubra
