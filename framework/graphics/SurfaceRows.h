#pragma once
// Rows of the surface blitters: 32-bit layouts whose colour fields are whole bytes (XRGB8888,
// XBGR8888), and 16-bit layouts with contiguous fields. Where SSE2 is available they take four
// 32-bit or eight 16-bit pixels at a time; every form gives the bits of the per-pixel
// arithmetic, and each writes 0 in the bits outside the colour fields.
#include <array>
#include <cstdint>

namespace Nubra::SurfaceRows {

// Each colour byte of d plus that of s, saturated.
void AddSaturated(uint32_t* dest, const uint32_t* src, int count);
// Each colour byte of d plus (that of s x k) >> 8, saturated; k[i] (0-255) is for byte i.
void AddScaled(uint32_t* dest, const uint32_t* src, int count, const std::array<uint32_t, 3>& k);
// Each colour byte of d plus that of `add`, saturated.
void AddConstant(uint32_t* dest, int count, uint32_t add);
// add + each colour byte of d times keep (0-256) >> 8, summed as one word.
void KeepAndAdd(uint32_t* dest, int count, uint32_t keep, uint32_t add);
// Each field of d (one per mask, each contiguous) plus that of `add`, held to the field's
// largest value.
void AddFields16(uint16_t* dest, int count, const std::array<uint16_t, 3>& masks, uint16_t add);
// The low 16 bits of each source word.
void LowHalves(uint16_t* dest, const uint32_t* src, int count);

} // namespace Nubra::SurfaceRows
