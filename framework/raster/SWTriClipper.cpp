#include "framework/raster/SWTriClipper.h"

namespace Nubra {
namespace {

uint32_t LerpChannel(uint32_t outside, uint32_t inside, int shift, float t)
{
    const int from = int((outside >> shift) & 0xFF);
    const int to = int((inside >> shift) & 0xFF);
    const int value = int(float(from) + float(to - from) * t); // truncates toward zero
    return uint32_t(value & 0xFF) << shift;
}

template <float SWTri_Vertex::*Coord>
void Intersect(const SWTri_Vertex& o, const SWTri_Vertex& i, float bound, SWTri_Vertex& result)
{
    const float t = (bound - o.*Coord) / (i.*Coord - o.*Coord);
    result.x = o.x + (i.x - o.x) * t;
    result.y = o.y + (i.y - o.y) * t;
    result.u = o.u + (i.u - o.u) * t;
    result.v = o.v + (i.v - o.v) * t;
    result.color = LerpChannel(o.color, i.color, 24, t) | LerpChannel(o.color, i.color, 16, t) |
                   LerpChannel(o.color, i.color, 8, t) | LerpChannel(o.color, i.color, 0, t);
}

// KeepAbove: the inside is coordinate >= bound; otherwise coordinate <= bound.
template <float SWTri_Vertex::*Coord, bool KeepAbove>
bool IsOutside(const SWTri_Vertex& p, float bound)
{
    return KeepAbove ? p.*Coord < bound : p.*Coord > bound;
}

template <float SWTri_Vertex::*Coord, bool KeepAbove>
int ClipEdge(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool)
{
    int n = 0;
    for (int k = 0; in[k]; ++k) {
        // Each input vertex adds at most two references and one pool vertex; a list that could
        // overflow is not a polygon a triangle can become, so it is dropped.
        if (n + 2 >= kSWTri_MaxPolygon || pool.count >= kSWTri_MaxPolygon) {
            n = 0;
            break;
        }
        const SWTri_Vertex* p = in[k];
        const SWTri_Vertex* q = in[k + 1] ? in[k + 1] : in[0];
        const bool pOut = IsOutside<Coord, KeepAbove>(*p, bound);
        const bool qOut = IsOutside<Coord, KeepAbove>(*q, bound);
        if (!pOut)
            out[n++] = p;
        if (pOut != qOut) {
            SWTri_Vertex& made = pool.vertices[pool.count++];
            Intersect<Coord>(pOut ? *p : *q, pOut ? *q : *p, bound, made);
            out[n++] = &made;
        }
    }
    out[n] = nullptr;
    return n;
}

} // namespace

void SWTri_IntersectX(const SWTri_Vertex& outside, const SWTri_Vertex& inside, float bound, SWTri_Vertex& result)
{
    Intersect<&SWTri_Vertex::x>(outside, inside, bound, result);
}

void SWTri_IntersectY(const SWTri_Vertex& outside, const SWTri_Vertex& inside, float bound, SWTri_Vertex& result)
{
    Intersect<&SWTri_Vertex::y>(outside, inside, bound, result);
}

int SWTri_ClipXMin(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool)
{
    return ClipEdge<&SWTri_Vertex::x, true>(out, in, bound, pool);
}

int SWTri_ClipXMax(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool)
{
    return ClipEdge<&SWTri_Vertex::x, false>(out, in, bound, pool);
}

int SWTri_ClipYMin(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool)
{
    return ClipEdge<&SWTri_Vertex::y, true>(out, in, bound, pool);
}

int SWTri_ClipYMax(SWTri_VertexList& out, const SWTri_VertexList& in, float bound, SWTri_VertexPool& pool)
{
    return ClipEdge<&SWTri_Vertex::y, false>(out, in, bound, pool);
}

int SWTri_ClipPolygon(const SWTri_Vertex* t0, const SWTri_Vertex* t1, const SWTri_Vertex* t2,
                      SWTri_VertexList& out, float xMin, float xMax, float yMin, float yMax,
                      SWTri_VertexPool& pool)
{
    pool.count = 0;
    // Most triangles lie wholly inside; no side would change them.
    auto inside = [&](const SWTri_Vertex* v) { return v->x >= xMin && v->x <= xMax && v->y >= yMin && v->y <= yMax; };
    if (inside(t0) && inside(t1) && inside(t2)) {
        out[0] = t0, out[1] = t1, out[2] = t2, out[3] = nullptr;
        return 3;
    }
    SWTri_VertexList triangle = {t0, t1, t2, nullptr};
    SWTri_VertexList between;
    if (SWTri_ClipXMin(between, triangle, xMin, pool) < 3)
        return 0;
    if (SWTri_ClipXMax(out, between, xMax, pool) < 3)
        return 0;
    if (SWTri_ClipYMin(between, out, yMin, pool) < 3)
        return 0;
    const int n = SWTri_ClipYMax(out, between, yMax, pool);
    return n < 3 ? 0 : n;
}

} // namespace Nubra
