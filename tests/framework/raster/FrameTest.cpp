#include "RasterTestSupport.h"

#include "framework/raster/SWTriFillers.h"
#include "framework/raster/SWTriFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

using namespace rastertest;

namespace {

using Triangle = std::array<SWTri_FixedVertex, 3>;

// Covered pixels of an opaque untextured triangle on a 16 x 16 canvas.
std::string Coverage(const Triangle& tri)
{
    Canvas canvas(SWTri_Format::RGB888, 16, 16);
    SWTri_Fill888_V(tri.data(), canvas.Origin(), canvas.Pitch(), nullptr, nullptr);
    EXPECT_TRUE(canvas.GuardIntact());
    return canvas.Picture(0);
}

std::vector<int> CoveredColumns(const std::string& picture, int row)
{
    std::vector<int> columns;
    const std::string line = picture.substr(size_t(row) * 17, 16);
    for (int x = 0; x < 16; ++x)
        if (line[size_t(x)] == '#')
            columns.push_back(x);
    return columns;
}

std::vector<int> CoveredRows(const std::string& picture)
{
    std::vector<int> rows;
    for (int y = 0; y < 16; ++y)
        if (!CoveredColumns(picture, y).empty())
            rows.push_back(y);
    return rows;
}

const std::string kEmpty = Canvas(SWTri_Format::RGB888, 16, 16).Picture(0);

} // namespace

TEST(SWTriFrame, TexelFloorIsTheFloorForEveryValue)
{
    EXPECT_EQ(SWTri_TexelFloor(0x18000), 0x10000);
    EXPECT_EQ(SWTri_TexelFloor(0), 0);
    EXPECT_EQ(SWTri_TexelFloor(-0x8000), -0x10000);
    EXPECT_EQ(SWTri_TexelFloor(-0x10000), -0x10000);
}

TEST(SWTriFrame, RowsAreTopInclusiveBottomExclusive)
{
    EXPECT_EQ(Coverage({Vx(1, 3.1), Vx(12, 3.5), Vx(4, 3.9)}), kEmpty);
    EXPECT_EQ(CoveredRows(Coverage({Vx(2, 5.0), Vx(14, 5.0), Vx(8, 12.0)})).front(), 5);
    EXPECT_EQ(CoveredRows(Coverage({Vx(8, 2.0), Vx(2, 9.0), Vx(14, 9.0)})).back(), 8);
}

TEST(SWTriFrame, ColumnsAreLeftInclusiveRightExclusive)
{
    // The middle vertex sits on row 5, where the span runs exactly from the long edge to it.
    EXPECT_EQ(CoveredColumns(Coverage({Vx(3, 0), Vx(7, 5), Vx(3, 10)}), 5), (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(CoveredColumns(Coverage({Vx(3.00002, 0), Vx(7, 5), Vx(3.00002, 10)}), 5), (std::vector<int>{4, 5, 6}));
}

TEST(SWTriFrame, EveryVertexOrderGivesTheSamePixels)
{
    Triangle tri = {Vx(1.3, 0.7), Vx(14.2, 6.1), Vx(5.5, 15.2)};
    const std::string expected = Coverage(tri);
    ASSERT_NE(expected, kEmpty);
    std::sort(tri.begin(), tri.end(), [](auto& a, auto& b) { return a.x < b.x; });
    do {
        EXPECT_EQ(Coverage(tri), expected);
    } while (std::next_permutation(tri.begin(), tri.end(), [](auto& a, auto& b) { return a.x < b.x; }));
}

TEST(SWTriFrame, DegenerateTrianglesDrawNothing)
{
    EXPECT_EQ(Coverage({Vx(4, 1), Vx(4, 6), Vx(4, 12)}), kEmpty);  // one vertical line
    EXPECT_EQ(Coverage({Vx(1, 4), Vx(8, 4), Vx(14, 4)}), kEmpty);  // one row height
    EXPECT_EQ(Coverage({Vx(1, 1), Vx(7, 7), Vx(13, 13)}), kEmpty); // middle on the long edge
}

TEST(SWTriFrame, FlatTopAndFlatBottomTriangles)
{
    EXPECT_EQ(Coverage({Vx(0, 2), Vx(8, 2), Vx(0, 6)}), Coverage({Vx(8, 2), Vx(0, 6), Vx(0, 2)}));
    const std::string flatTop = Coverage({Vx(0, 2), Vx(8, 2), Vx(0, 6)});
    EXPECT_EQ(CoveredRows(flatTop), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(CoveredColumns(flatTop, 2), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(CoveredColumns(flatTop, 5), (std::vector<int>{0, 1}));
    const std::string flatBottom = Coverage({Vx(0, 2), Vx(0, 6), Vx(8, 6)});
    EXPECT_EQ(CoveredRows(flatBottom), (std::vector<int>{3, 4, 5})); // row 2 is the apex: empty
    EXPECT_EQ(CoveredColumns(flatBottom, 3), (std::vector<int>{0, 1}));
    EXPECT_EQ(CoveredColumns(flatBottom, 5), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(SWTriFrame, SkippedPixelsStillAdvanceTheAttributes)
{
    // Alpha rises steeply left to right (held to 255 past x = 4): column 0 is skipped, the
    // next ones blended, the rest written opaque. Those must get the colours that a fully
    // opaque twin gives them.
    Triangle fading = {Vx(0, 0, 0x00002040), Vx(16, 0, 0x00F0A0C0), Vx(0, 16, 0x00002040)};
    fading[1].a = 0x3FC0000;
    Triangle opaque = fading;
    for (auto& v : opaque)
        v.a = 0xFF0000;
    Canvas faded(SWTri_Format::ARGB8888, 16, 16), full(SWTri_Format::ARGB8888, 16, 16);
    SWTri_Fill8888_V(fading.data(), faded.Origin(), faded.Pitch(), nullptr, nullptr);
    SWTri_Fill8888_V(opaque.data(), full.Origin(), full.Pitch(), nullptr, nullptr);
    int opaqueWrites = 0;
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(faded.At(0, y), 0u);
        for (int x = 1; x < 16; ++x)
            if (faded.At(x, y) >> 24 == 0xFF) {
                EXPECT_EQ(faded.At(x, y), full.At(x, y)) << x << "," << y;
                ++opaqueWrites;
            }
    }
    EXPECT_GT(opaqueWrites, 50);
}

TEST(SWTriFrame, DrawingTwiceGivesTheSamePixelsAndLeavesTheVerticesAlone)
{
    const Triangle tri = {Vx(0.3, 0.2, 0x80FF0000), Vx(15.1, 4.4, 0xFF00FF00), Vx(6.6, 15.9, 0x400000FF)};
    const SWTri_ConstColor k{200, 100, 150, 250};
    Triangle copy = tri;
    Canvas first(SWTri_Format::ARGB8888, 16, 16, 0x80808080), second(SWTri_Format::ARGB8888, 16, 16, 0x80808080);
    SWTri_Fill8888_VC(copy.data(), first.Origin(), first.Pitch(), nullptr, &k);
    SWTri_Fill8888_VC(copy.data(), second.Origin(), second.Pitch(), nullptr, &k);
    EXPECT_EQ(first.Bytes(), second.Bytes());
    EXPECT_EQ(std::memcmp(copy.data(), tri.data(), sizeof tri), 0);
}

TEST(SWTriFrame, SliversStayWithinTheirVertices)
{
    // Vertices a few 1/65536 apart in y across a row boundary make the edge gradients wrap:
    // in the first, the long edge's x at row 5 comes out near -9.6 instead of near 0.
    const Triangle slivers[] = {
        {SWTri_FixedVertex{0, (5 << 16) - 24, 0xFF0000, 0, 0, 0, 0, 0},
         SWTri_FixedVertex{1 << 16, (5 << 16) - 12, 0xFF0000, 0, 0, 0, 0, 0},
         SWTri_FixedVertex{15 << 16, (5 << 16) + 1, 0xFF0000, 0, 0, 0, 0, 0}},
        {SWTri_FixedVertex{0, (5 << 16) - 1, 0xFF0000, 0, 0, 0, 0, 0},
         SWTri_FixedVertex{15 << 16, (5 << 16) + 1, 0xFF0000, 0, 0, 0, 0, 0},
         SWTri_FixedVertex{1 << 16, 5 << 16, 0xFF0000, 0, 0, 0, 0, 0}},
        {SWTri_FixedVertex{2 << 16, (7 << 16) - 2, 0xFF0000, 0xFF0000, 0, 0, 0, 0},
         SWTri_FixedVertex{(2 << 16) + 3, (7 << 16) + 1, 0x000000, 0, 0xFF0000, 0, 0, 0},
         SWTri_FixedVertex{9 << 16, (7 << 16) + 2, 0xFF0000, 0, 0, 0xFF0000, 0, 0}},
    };
    for (const Triangle& tri : slivers) {
        Canvas canvas(SWTri_Format::ARGB8888, 16, 16);
        SWTri_Fill8888_V(tri.data(), canvas.Origin(), canvas.Pitch(), nullptr, nullptr);
        EXPECT_TRUE(canvas.GuardIntact());
        const int32_t left = std::min({tri[0].x, tri[1].x, tri[2].x});
        const int32_t right = std::max({tri[0].x, tri[1].x, tri[2].x});
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (canvas.At(x, y) != 0) {
                    EXPECT_GE(int64_t(x) << 16, left) << x << "," << y;
                    EXPECT_LT(int64_t(x) << 16, right) << x << "," << y;
                }
    }
}
