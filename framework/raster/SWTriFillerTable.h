#pragma once
#include "framework/raster/SWTriTypes.h"

#include <array>

namespace Nubra {

// 128 entries indexed by format block (0x8888, 0x888, 0x565, 0x555: 0, 32, 64, 96) | T<<4 |
// A<<3 | V<<2 | C<<1 | B. Null entries are never selected and draw nothing.
using SWTri_FillerTable = std::array<SWTri_FillerFn, 128>;

// The table, built at compile time: it needs no filling and is safe to read from any thread.
const SWTri_FillerTable& SWTri_Fillers();

// Kept for callers that prepare the rasteriser before drawing; there is nothing left to do.
void SWTri_InitFillerTable();

// The table index for a format and the five bits; -1 for a value outside SWTri_Format.
int SWTri_FillerIndex(SWTri_Format format, bool T, bool A, bool V, bool C, bool B);

// Draws one triangle with the filler the format and bits select; an unknown format or an empty
// entry draws nothing.
void SWTri_SelectFiller(bool T, bool A, bool V, bool C, const SWTri_FixedVertex* vertices, uint8_t* dest,
                        int32_t pitch, const SWTri_TextureInfo* texture, const SWTri_ConstColor* color,
                        SWTri_Format format, bool B, const SWTri_FillerTable& table = SWTri_Fillers());

} // namespace Nubra
