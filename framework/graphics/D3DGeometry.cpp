#include "framework/graphics/D3DGeometry.h"

#include <algorithm>
#include <cmath>

namespace Nubra {

namespace {

constexpr float kAxisTolerance = 0.0001f;

enum Side { kLeft, kBottom, kRight, kTop };

// The first side the point lies on exactly; a point on none (rounding next to a corner) takes
// the nearest, so that a walk always ends.
Side SideOf(float w, float h, FPoint p)
{
    if (p.x == 0.0f)
        return kLeft;
    if (p.y == h)
        return kBottom;
    if (p.x == w)
        return kRight;
    if (p.y == 0.0f)
        return kTop;
    const float distances[4] = {std::fabs(p.x), std::fabs(p.y - h), std::fabs(p.x - w), std::fabs(p.y)};
    return Side(std::min_element(distances, distances + 4) - distances);
}

bool InsideRect(float w, float h, FPoint p) { return p.x >= 0.0f && p.x <= w && p.y >= 0.0f && p.y <= h; }

} // namespace

float& VertexComponent(D3DVertex& vertex, int component)
{
    float* const fields[] = {&vertex.x, &vertex.y, &vertex.z, &vertex.u, &vertex.v};
    return *fields[std::clamp(component, 0, 4)];
}

float& VertexComponent(D3DVertex2& vertex, int component)
{
    float* const fields[] = {&vertex.x, &vertex.y, &vertex.z, &vertex.u, &vertex.v, &vertex.u2, &vertex.v2};
    return *fields[std::clamp(component, 0, 6)];
}

uint32_t LerpColor(uint32_t a, uint32_t b, float t)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float ca = float((a >> shift) & 0xFF), cb = float((b >> shift) & 0xFF);
        const float c = std::clamp(ca + (cb - ca) * t, 0.0f, 255.0f);
        out |= uint32_t(std::lround(c)) << shift;
    }
    return out;
}

float Determinant(const Matrix3& m)
{
    const auto& a = m.m;
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
           + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

bool InvertMatrix(const Matrix3& m, Matrix3& out)
{
    const float det = Determinant(m);
    if (det == 0.0f)
        return false;
    const auto& a = m.m;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            // Cofactor of (column, row): the adjugate is the transposed cofactor matrix.
            const int r0 = (column + 1) % 3, r1 = (column + 2) % 3, c0 = (row + 1) % 3, c1 = (row + 2) % 3;
            out.m[row][column] = (a[r0][c0] * a[r1][c1] - a[r0][c1] * a[r1][c0]) / det;
        }
    }
    return true;
}

int IntersectSegmentRect(float w, float h, FPoint a, FPoint b, FPoint (&out)[2])
{
    int found = 0;
    auto store = [&](FPoint p) {
        if (found < 2)
            out[found] = p;
        ++found;
    };
    auto along = [](FPoint p, int axis) { return axis == 0 ? p.x : p.y; };
    // The side on the line where component `across` equals `line`: crossed where the ends lie
    // strictly either side, measured from the end lower along the side.
    auto side = [&](int across, float line, float length) {
        const int other = 1 - across;
        if ((along(a, across) - line) * (along(b, across) - line) >= 0.0f)
            return;
        const FPoint& low = along(a, other) <= along(b, other) ? a : b;
        const float at = along(low, other)
                         + std::fabs(along(b, other) - along(a, other)) * std::fabs(along(low, across) - line)
                               / std::fabs(along(b, across) - along(a, across));
        if (at >= 0.0f && at <= length)
            store(across == 0 ? FPoint{line, at} : FPoint{at, line});
    };
    side(0, 0.0f, h); // left
    side(1, h, w);    // bottom
    side(0, w, h);    // right
    side(1, 0.0f, w); // top
    if (found == 2) {
        const bool alongY = std::fabs(a.x - b.x) <= std::fabs(a.y - b.y);
        const float first = alongY ? out[0].y : out[0].x, second = alongY ? out[1].y : out[1].x;
        const bool forward = alongY ? a.y <= b.y : a.x <= b.x;
        if (forward ? first > second : first < second)
            std::swap(out[0], out[1]);
    }
    return found;
}

void AddRectCorners(float w, float h, FPoint from, FPoint to, std::vector<FPoint>& out)
{
    const FPoint corners[4] = {{0.0f, h}, {w, h}, {w, 0.0f}, {0.0f, 0.0f}}; // at the end of each side
    int side = SideOf(w, h, from);
    const int last = SideOf(w, h, to);
    while (side != last) {
        out.push_back(corners[side]);
        side = (side + 1) % 4;
    }
}

bool QuadContainsOrigin(const FPoint (&quad)[4])
{
    bool inside = false;
    const int pairs[4][2] = {{0, 3}, {1, 0}, {2, 1}, {3, 2}};
    for (const auto& pair : pairs) {
        const FPoint& a = quad[pair[0]];
        const FPoint& b = quad[pair[1]];
        if ((a.y <= 0.0f) == (b.y <= 0.0f))
            continue;
        if (a.x + (0.0f - a.y) * (b.x - a.x) / (b.y - a.y) > 0.0f)
            inside = !inside;
    }
    return inside;
}

void IntersectQuadRect(float w, float h, const FPoint (&quad)[4], std::vector<FPoint>& out)
{
    out.clear();
    if (std::fabs(quad[0].x - quad[1].x) < kAxisTolerance || std::fabs(quad[0].y - quad[1].y) < kAxisTolerance) {
        float left = quad[0].x, right = quad[0].x, top = quad[0].y, bottom = quad[0].y;
        for (const FPoint& p : quad) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        left = std::max(left, 0.0f);
        right = std::min(right, w);
        top = std::max(top, 0.0f);
        bottom = std::min(bottom, h);
        // A quad beside the rectangle leaves a reversed box: nothing of it lies on the rectangle.
        if (left >= right || top >= bottom)
            return;
        out = {{left, top}, {left, bottom}, {right, bottom}, {right, top}};
        return;
    }
    FPoint exit{}, firstEntry{};
    bool exited = false, entered = false;
    for (int i = 0; i < 4; ++i) {
        const FPoint& start = quad[i];
        const FPoint& end = quad[(i + 1) % 4];
        FPoint crossings[2];
        const int count = IntersectSegmentRect(w, h, start, end, crossings);
        if (InsideRect(w, h, start)) {
            out.push_back(start);
            if (count > 0) {
                out.push_back(crossings[0]);
                exit = crossings[0];
                exited = true;
            } else if (!InsideRect(w, h, end)) {
                exit = start;
                exited = true;
            }
            continue;
        }
        if (count == 0)
            continue;
        if (exited) {
            AddRectCorners(w, h, exit, crossings[0], out);
            exited = false;
        } else if (!entered) {
            firstEntry = crossings[0];
            entered = true;
        }
        out.push_back(crossings[0]);
        if (count > 1) {
            out.push_back(crossings[1]);
            exit = crossings[1];
            exited = true;
        }
    }
    if (exited || entered)
        AddRectCorners(w, h, exit, entered ? firstEntry : quad[0], out);
    if (out.empty() && QuadContainsOrigin(quad))
        out = {{0.0f, 0.0f}, {w, 0.0f}, {w, h}, {0.0f, h}};
}

} // namespace Nubra
