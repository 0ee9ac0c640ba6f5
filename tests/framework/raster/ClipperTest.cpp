#include "framework/raster/SWTriClipper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace Nubra;

namespace {

constexpr float kMin = 0, kMax = 10;

SWTri_Vertex V(float x, float y, uint32_t color = 0xFFFFFFFF) { return {x, y, x / 10, y / 10, color}; }

int Clip(const SWTri_Vertex& a, const SWTri_Vertex& b, const SWTri_Vertex& c, SWTri_VertexList& out,
         SWTri_VertexPool& pool)
{
    return SWTri_ClipPolygon(&a, &b, &c, out, kMin, kMax, kMin, kMax, pool);
}

// Twice the signed area of the polygon: its sign is the winding.
float Winding(const SWTri_VertexList& list, int n)
{
    float sum = 0;
    for (int i = 0; i < n; ++i) {
        const SWTri_Vertex& p = *list[i];
        const SWTri_Vertex& q = *list[(i + 1) % n];
        sum += p.x * q.y - q.x * p.y;
    }
    return sum;
}

bool IsPoolVertex(const SWTri_Vertex* v, const SWTri_VertexPool& pool)
{
    return v >= pool.vertices && v < pool.vertices + pool.count;
}

} // namespace

TEST(SWTriClipper, TriangleInsideComesBackUnchangedWithoutNewVertices)
{
    const SWTri_Vertex a = V(1, 1), b = V(9, 2), c = V(4, 9);
    SWTri_VertexList out;
    SWTri_VertexPool pool;
    ASSERT_EQ(Clip(a, b, c, out, pool), 3);
    EXPECT_EQ(out[0], &a);
    EXPECT_EQ(out[1], &b);
    EXPECT_EQ(out[2], &c);
    EXPECT_EQ(out[3], nullptr);
    EXPECT_EQ(pool.count, 0);
}

TEST(SWTriClipper, VertexLeftOfTheBoundBecomesTwoVerticesOnItInTheSameWinding)
{
    const SWTri_Vertex a = V(-4, 5), b = V(6, 1), c = V(6, 9);
    SWTri_VertexList out;
    SWTri_VertexPool pool;
    ASSERT_EQ(Clip(a, b, c, out, pool), 4);
    int created = 0;
    for (int i = 0; i < 4; ++i) {
        if (IsPoolVertex(out[i], pool)) {
            ++created;
            EXPECT_NEAR(out[i]->x, kMin, 1e-5);
        }
    }
    EXPECT_EQ(created, 2);
    const SWTri_VertexList original = {&a, &b, &c, nullptr};
    EXPECT_GT(Winding(out, 4) * Winding(original, 3), 0);
}

TEST(SWTriClipper, BoundsAreInclusive)
{
    SWTri_VertexList out;
    SWTri_VertexPool pool;
    const SWTri_Vertex onEdge = V(kMax, 5);
    const SWTri_Vertex a = V(2, 2), b = V(2, 8);
    ASSERT_EQ(Clip(a, onEdge, b, out, pool), 3);
    EXPECT_EQ(out[1], &onEdge);
    EXPECT_EQ(pool.count, 0);

    const SWTri_Vertex below0 = V(1, 10.5f), below1 = V(5, 11), below2 = V(9, 10.01f);
    EXPECT_EQ(Clip(below0, below1, below2, out, pool), 0);
}

TEST(SWTriClipper, TriangleAroundTheRectangleGivesItsFourCorners)
{
    const SWTri_Vertex a = V(-100, -100), b = V(300, -100), c = V(-100, 300);
    SWTri_VertexList out;
    SWTri_VertexPool pool;
    ASSERT_EQ(Clip(a, b, c, out, pool), 4);
    int corners = 0;
    for (int i = 0; i < 4; ++i) {
        const bool xOnBound = std::abs(out[i]->x - kMin) < 1e-4 || std::abs(out[i]->x - kMax) < 1e-4;
        const bool yOnBound = std::abs(out[i]->y - kMin) < 1e-4 || std::abs(out[i]->y - kMax) < 1e-4;
        corners += xOnBound && yOnBound;
    }
    EXPECT_EQ(corners, 4);
}

TEST(SWTriClipper, ColoursAreInterpolatedPerChannelAndTruncated)
{
    const SWTri_Vertex outside{-10, 0, 0, 0, 0xFF000000};
    const SWTri_Vertex inside{10, 0, 1, 0, 0xFF0000FF};
    SWTri_Vertex mid{};
    SWTri_IntersectX(outside, inside, 0, mid);
    EXPECT_EQ(mid.color, 0xFF00007Fu); // blue 127.5 truncated, alpha stays 255
    EXPECT_FLOAT_EQ(mid.u, 0.5f);
}

TEST(SWTriClipper, SharedEdgeGetsBitIdenticalVerticesFromBothSides)
{
    // Two triangles sharing the edge p-q, which crosses x = 0; each walks it the other way.
    const SWTri_Vertex p{-3.3f, 1.7f, 0.1f, 0.9f, 0x80FF4020}, q{7.9f, 8.1f, 0.7f, 0.2f, 0xFF10E0A0};
    const SWTri_Vertex r{6, 0.5f, 0, 0, 0}, s{0.5f, 9, 0, 0, 0};
    SWTri_VertexList first, second;
    SWTri_VertexPool firstPool, secondPool;
    ASSERT_GT(Clip(p, q, r, first, firstPool), 0);
    ASSERT_GT(Clip(q, p, s, second, secondPool), 0);
    // Where p-q meets x = 0: y = 1.7 + 6.4 * 3.3 / 11.2, about 3.59.
    auto onSharedEdge = [](const SWTri_VertexPool& pool) -> const SWTri_Vertex* {
        for (int i = 0; i < pool.count; ++i)
            if (std::abs(pool.vertices[i].x) < 1e-3f && std::abs(pool.vertices[i].y - 3.586f) < 0.01f)
                return &pool.vertices[i];
        return nullptr;
    };
    const SWTri_Vertex* onEdgeFirst = onSharedEdge(firstPool);
    const SWTri_Vertex* onEdgeSecond = onSharedEdge(secondPool);
    ASSERT_TRUE(onEdgeFirst && onEdgeSecond);
    EXPECT_EQ(std::memcmp(onEdgeFirst, onEdgeSecond, sizeof(SWTri_Vertex)), 0);
}

TEST(SWTriClipper, EachClipStartsItsOwnPool)
{
    const SWTri_Vertex a = V(-4, 5), b = V(6, 1), c = V(6, 9);
    SWTri_VertexList out;
    SWTri_VertexPool pool;
    Clip(a, b, c, out, pool);
    const int afterFirst = pool.count;
    Clip(a, b, c, out, pool);
    EXPECT_EQ(pool.count, afterFirst);
}
