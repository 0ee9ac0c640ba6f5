#include "framework/graphics/D3DGeometry.h"

#include <gtest/gtest.h>

namespace {

using namespace Nubra;

TEST(D3DGeometry, SegmentsCrossTheRectangleInTheirOrderOfTravel)
{
    FPoint out[2];
    ASSERT_EQ(IntersectSegmentRect(2, 2, {-1, 1}, {3, 1}, out), 2);
    EXPECT_EQ(out[0], (FPoint{0, 1}));
    EXPECT_EQ(out[1], (FPoint{2, 1}));
    ASSERT_EQ(IntersectSegmentRect(2, 2, {3, 1}, {-1, 1}, out), 2);
    EXPECT_EQ(out[0], (FPoint{2, 1}));
    EXPECT_EQ(out[1], (FPoint{0, 1}));
    ASSERT_EQ(IntersectSegmentRect(2, 2, {1, 3}, {1, 1}, out), 1);
    EXPECT_EQ(out[0], (FPoint{1, 2}));
    EXPECT_EQ(IntersectSegmentRect(2, 2, {3, 0}, {3, 5}, out), 0);
}

TEST(D3DGeometry, CornerWalksRunLeftBottomRightTop)
{
    std::vector<FPoint> out;
    AddRectCorners(2, 2, {0, 1}, {1, 0}, out);
    EXPECT_EQ(out, (std::vector<FPoint>{{0, 2}, {2, 2}, {2, 0}}));
    out.clear();
    AddRectCorners(2, 2, {1, 0}, {0, 1}, out);
    EXPECT_EQ(out, (std::vector<FPoint>{{0, 0}}));
    out.clear();
    AddRectCorners(2, 2, {0, 0.5f}, {0, 1.5f}, out);
    EXPECT_TRUE(out.empty()) << "the same side";
    out.clear();
    AddRectCorners(2, 2, {1, 2.0001f}, {2, 1}, out);
    EXPECT_EQ(out, (std::vector<FPoint>{{2, 2}})) << "a point just off the outline takes the nearest side";
}

TEST(D3DGeometry, QuadsAroundTheOrigin)
{
    const FPoint around[4] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
    const FPoint beside[4] = {{1, 1}, {1, 2}, {2, 2}, {2, 1}};
    const FPoint turned[4] = {{0, -2}, {-2, 0}, {0, 2}, {2, 0}};
    EXPECT_TRUE(QuadContainsOrigin(around));
    EXPECT_FALSE(QuadContainsOrigin(beside));
    EXPECT_TRUE(QuadContainsOrigin(turned));
}

TEST(D3DGeometry, QuadsOnTheRectangle)
{
    std::vector<FPoint> out;
    // Axis-aligned: the box cut to the rectangle.
    const FPoint moved[4] = {{1, -1}, {1, 1}, {5, 1}, {5, -1}};
    IntersectQuadRect(2, 2, moved, out);
    EXPECT_EQ(out, (std::vector<FPoint>{{1, 0}, {1, 1}, {2, 1}, {2, 0}}));
    // Beside the rectangle the box is reversed: nothing lies on it.
    const FPoint beside[4] = {{3, 0}, {3, 1}, {4, 1}, {4, 0}};
    IntersectQuadRect(2, 2, beside, out);
    EXPECT_TRUE(out.empty());
    // The rectangle wholly inside a turned quad: its four corners.
    const FPoint turned[4] = {{1, -5}, {-5, 1}, {1, 7}, {7, 1}};
    IntersectQuadRect(2, 2, turned, out);
    EXPECT_EQ(out, (std::vector<FPoint>{{0, 0}, {2, 0}, {2, 2}, {0, 2}}));
    // A turned quad whose left corner pokes in: the corner and the crossings around it.
    const FPoint diamond[4] = {{1, 0.5f}, {0.5f, 1}, {1, 1.5f}, {1.5f, 1}};
    IntersectQuadRect(2, 2, diamond, out);
    EXPECT_EQ(out, (std::vector<FPoint>{{1, 0.5f}, {0.5f, 1}, {1, 1.5f}, {1.5f, 1}})) << "wholly inside";
    const FPoint corner[4] = {{-0.5f, 1}, {1, 2.5f}, {2.5f, 1}, {1, -0.5f}};
    IntersectQuadRect(2, 2, corner, out);
    EXPECT_EQ(out.size(), 8u) << "an octagon";
}

TEST(D3DGeometry, ClippingCutsOnePolygonSideAtATime)
{
    std::vector<D3DVertex> quad(4);
    const float xs[4] = {-2, 2, 2, -2}, ys[4] = {0, 0, 4, 4};
    for (int i = 0; i < 4; ++i) {
        quad[size_t(i)].x = xs[i];
        quad[size_t(i)].y = ys[i];
        quad[size_t(i)].u = xs[i] / 4 + 0.5f;
        quad[size_t(i)].diffuse = i == 1 || i == 2 ? 0xFF0000FF : 0xFFFF0000;
    }
    std::vector<D3DVertex> cut = ClipPolygon(quad, 0, 0.0f, true);
    ASSERT_EQ(cut.size(), 4u);
    for (const D3DVertex& v : cut) {
        EXPECT_GE(v.x, 0.0f);
        if (v.x == 0.0f) {
            EXPECT_FLOAT_EQ(v.u, 0.5f);
            EXPECT_EQ(v.diffuse, LerpColor(0xFFFF0000, 0xFF0000FF, 0.5f)) << "differing colours blend";
        }
    }
    for (D3DVertex& v : quad)
        v.diffuse = 0x12345678;
    for (const D3DVertex& v : ClipToRect(quad, 0, 1, 1, 3)) {
        EXPECT_EQ(v.diffuse, 0x12345678u) << "the same colour is copied";
        EXPECT_TRUE(v.x >= 0 && v.x <= 1 && v.y >= 1 && v.y <= 3);
    }
}

TEST(D3DGeometry, MatricesInvertThroughTheirAdjugate)
{
    Matrix3 m;
    m.Scale(2, -3);
    m.Rotate(0.5f);
    m.Translate(7, 1);
    Matrix3 inverse;
    ASSERT_TRUE(InvertMatrix(m, inverse));
    const NubraVector2 back = inverse * (m * NubraVector2(3, -4));
    EXPECT_NEAR(back.x, 3, 1e-4);
    EXPECT_NEAR(back.y, -4, 1e-4);
    EXPECT_LT(Determinant(m), 0.0f) << "one mirrored axis";
    Matrix3 flat;
    flat.Scale(0, 1);
    EXPECT_FALSE(InvertMatrix(flat, inverse));
}

} // namespace
