#pragma once
#include "framework/raster/SWTriTypes.h"

// A slow model of the span fillers, written from the formulas one channel at a time, with
// 64-bit arithmetic and explicit wrapping. The optimised fillers must match it bit for bit.
namespace reference {

struct Filler {
    Nubra::SWTri_Format format;
    bool T, A, V, C, B;
};

void Fill(const Filler& filler, const Nubra::SWTri_FixedVertex* vertices, uint8_t* dest, int32_t pitch,
          const Nubra::SWTri_TextureInfo* texture, const Nubra::SWTri_ConstColor* color);

} // namespace reference
