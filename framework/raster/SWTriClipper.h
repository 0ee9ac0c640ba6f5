#pragma once
#include "framework/raster/SWTriTypes.h"

namespace Nubra {

// Capacity of every vertex list and of the pool. A stage at most doubles its input
// (3 -> 6 -> 12 -> 24 -> 48 references, 45 created vertices), so 64 is never reached.
inline constexpr int kSWTri_MaxPolygon = 64;

// Vertices created by one clip. Owned by the caller, so clipping shares nothing between calls.
struct SWTri_VertexPool {
    SWTri_Vertex vertices[kSWTri_MaxPolygon];
    int count = 0;
};

// A null-terminated list of vertex references describing a closed polygon.
using SWTri_VertexList = const SWTri_Vertex* [kSWTri_MaxPolygon];

// Cuts a triangle to the bounds (inclusive: a vertex on a bound is inside). Returns the
// number of references written to out (0, or 3 and more); created vertices live in pool.
int SWTri_ClipPolygon(const SWTri_Vertex* t0, const SWTri_Vertex* t1, const SWTri_Vertex* t2,
                      SWTri_VertexList& out, float xMin, float xMax, float yMin, float yMax,
                      SWTri_VertexPool& pool);

// One side each (Sutherland-Hodgman), keeping the input's winding.
int SWTri_ClipXMin(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool);
int SWTri_ClipXMax(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool);
int SWTri_ClipYMin(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool);
int SWTri_ClipYMax(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool);

// The point where the edge from the outside vertex to the inside one meets x = bound
// (y = bound). Always interpolated from the outside vertex, so both triangles sharing an edge
// get the same point.
void SWTri_IntersectX(const SWTri_Vertex& outside, const SWTri_Vertex& inside, float bound, SWTri_Vertex& result);
void SWTri_IntersectY(const SWTri_Vertex& outside, const SWTri_Vertex& inside, float bound, SWTri_Vertex& result);

} // namespace Nubra
