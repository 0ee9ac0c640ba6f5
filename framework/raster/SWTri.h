#pragma once
#include "framework/raster/SWTriFillerTable.h"
#include "framework/raster/SWTriTextureSource.h"
#include "framework/raster/SWTriTypes.h"

// The software triangle rasteriser: transformed images and textured triangle lists drawn into
// 32-bit or 16-bit pixel blocks without 3D acceleration.
namespace Nubra {

// Draws vertices as a triangle strip: (0,1,2), (1,3,2), (2,3,4), ... each keeping the first
// one's winding. Each triangle is cut to clipRect, itself cut to the destination, so nothing is
// written outside dest; its last column and row (x + w - 1, y + h - 1) bound the polygon and are
// normally left undrawn. texture may be null (untextured: drawn only with vertexColors). color
// is applied to every pixel unless it is opaque white. drawMode is accepted and ignored.
// Triangles with a non-finite coordinate, and textured ones whose texels cannot be read, are
// skipped; an unknown format or an unusable destination draws nothing. Allocates nothing.
void SWTri_DrawTriangles(const SWTri_Vertex* vertices, int32_t count, SWTri_TextureSource* texture,
                         const SWTri_Color& color, int32_t drawMode, const SWTri_Rect& clipRect,
                         const SWTri_Dest& dest, bool linearBlend, bool vertexColors,
                         const SWTri_FillerTable& table = SWTri_Fillers());

} // namespace Nubra
