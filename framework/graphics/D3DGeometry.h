#pragma once
// Polygon geometry of the accelerated path: cutting vertex fans to rectangles, and the
// quad-on-rectangle intersection of the masked draw.
#include "framework/graphics/D3DInterface.h"

#include <cstdint>
#include <type_traits>
#include <vector>

namespace Nubra {

struct FPoint {
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const FPoint&) const = default;
};

// Component of a vertex by number: 0 x, 1 y, 2 z, 3 u, 4 v, 5 u2, 6 v2 (the second set only on
// a two-texture vertex).
float& VertexComponent(D3DVertex& vertex, int component);
float& VertexComponent(D3DVertex2& vertex, int component);

// Per channel, a + (b - a) x t; the same colour comes back unchanged.
uint32_t LerpColor(uint32_t a, uint32_t b, float t);

// Sutherland-Hodgman against one bound on one component: keeps component >= bound for a lower
// bound, <= bound for an upper one.
template <class Vertex>
std::vector<Vertex> ClipPolygon(const std::vector<Vertex>& polygon, int component, float bound, bool lower)
{
    std::vector<Vertex> out;
    out.reserve(polygon.size() + 4);
    auto outside = [&](Vertex v) {
        float value = VertexComponent(v, component);
        return lower ? value < bound : value > bound;
    };
    auto intersection = [&](Vertex a, Vertex b) {
        const float av = VertexComponent(a, component), bv = VertexComponent(b, component);
        const float t = (bound - av) / (bv - av);
        Vertex made = a;
        constexpr int kComponents = std::is_same_v<Vertex, D3DVertex2> ? 7 : 5;
        for (int c = 0; c < kComponents; ++c) {
            if (c == 2)
                continue;
            VertexComponent(made, c) = VertexComponent(a, c) + (VertexComponent(b, c) - VertexComponent(a, c)) * t;
        }
        made.diffuse = a.diffuse == b.diffuse ? a.diffuse : LerpColor(a.diffuse, b.diffuse, t);
        return made;
    };
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Vertex& a = polygon[i];
        const Vertex& b = polygon[(i + 1) % polygon.size()];
        const bool aOut = outside(a), bOut = outside(b);
        if (!aOut && !bOut) {
            out.push_back(b);
        } else if (!aOut) {
            out.push_back(intersection(a, b));
        } else if (!bOut) {
            out.push_back(intersection(a, b));
            out.push_back(b);
        }
    }
    return out;
}

// Cut to left <= x <= right, top <= y <= bottom, in that order of sides.
template <class Vertex>
std::vector<Vertex> ClipToRect(std::vector<Vertex> polygon, float left, float top, float right, float bottom)
{
    polygon = ClipPolygon(polygon, 0, left, true);
    polygon = ClipPolygon(polygon, 1, top, true);
    polygon = ClipPolygon(polygon, 0, right, false);
    return ClipPolygon(polygon, 1, bottom, false);
}

float Determinant(const Matrix3& m);
// The inverse as adjugate over determinant, in single precision; false, with `out` untouched,
// when the determinant is 0.
bool InvertMatrix(const Matrix3& m, Matrix3& out);

// The crossings of the segment a-b with the outline of the rectangle (0, 0)-(W, H), at most two
// stored in `out`, in the order of travel from a; the number found.
int IntersectSegmentRect(float w, float h, FPoint a, FPoint b, FPoint (&out)[2]);
// Appends the rectangle's corners met going from `from` to `to` along its outline, the way
// left, bottom, right, top.
void AddRectCorners(float w, float h, FPoint from, FPoint to, std::vector<FPoint>& out);
// The origin lies inside the quad.
bool QuadContainsOrigin(const FPoint (&quad)[4]);
// The polygon of the quad that lies on the rectangle (0, 0)-(W, H); empty when none.
void IntersectQuadRect(float w, float h, const FPoint (&quad)[4], std::vector<FPoint>& out);

} // namespace Nubra
