#include "RasterTestSupport.h"

#include "framework/raster/SWTri.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>

using namespace rastertest;

namespace {

// What the driver handed to one filler call.
struct Call {
    int index;
    SWTri_FixedVertex vertices[3];
    SWTri_TextureInfo texture;
    SWTri_ConstColor color;
};

std::vector<Call> gCalls;

template <int Index>
void Record(const SWTri_FixedVertex* v, uint8_t*, int32_t, const SWTri_TextureInfo* t, const SWTri_ConstColor* c)
{
    gCalls.push_back({Index, {v[0], v[1], v[2]}, *t, *c});
}

// A table whose every entry records its call.
const SWTri_FillerTable& RecordingTable()
{
    static const SWTri_FillerTable table = []<int... I>(std::integer_sequence<int, I...>) {
        return SWTri_FillerTable{&Record<I>...};
    }(std::make_integer_sequence<int, 128>{});
    return table;
}

constexpr uint32_t kBackground = 0x11223344;

class SWTriDriver : public ::testing::Test {
protected:
    void SetUp() override { gCalls.clear(); }

    // Draws through the recording table onto a 64 x 64 0x888 canvas.
    void Record(const std::vector<SWTri_Vertex>& v, SWTri_TextureSource* texture = nullptr,
                SWTri_Color color = SWTri_Color::White, bool linearBlend = false, bool vertexColors = true,
                SWTri_Rect clip = {0, 0, 64, 64})
    {
        SWTri_DrawTriangles(v.data(), int32_t(v.size()), texture, color, 0, clip, canvas.Dest(), linearBlend,
                            vertexColors, RecordingTable());
    }

    Canvas canvas{SWTri_Format::RGB888, 64, 64, kBackground};
};

SWTri_Vertex At(float x, float y, uint32_t color = 0xFFFFFFFF, float u = 0, float v = 0) { return {x, y, u, v, color}; }

} // namespace

TEST_F(SWTriDriver, StripTrianglesKeepTheFirstWinding)
{
    Record({At(1, 1), At(9, 1), At(1, 9), At(9, 9)});
    ASSERT_EQ(gCalls.size(), 2u);
    auto xs = [](const Call& c) { return std::vector<int32_t>{c.vertices[0].x, c.vertices[1].x, c.vertices[2].x}; };
    auto ys = [](const Call& c) { return std::vector<int32_t>{c.vertices[0].y, c.vertices[1].y, c.vertices[2].y}; };
    // (0,1,2) then (1,3,2)
    EXPECT_EQ(xs(gCalls[0]), (std::vector<int32_t>{1 << 16, 9 << 16, 1 << 16}));
    EXPECT_EQ(ys(gCalls[0]), (std::vector<int32_t>{1 << 16, 1 << 16, 9 << 16}));
    EXPECT_EQ(xs(gCalls[1]), (std::vector<int32_t>{9 << 16, 9 << 16, 1 << 16}));
    EXPECT_EQ(ys(gCalls[1]), (std::vector<int32_t>{1 << 16, 9 << 16, 9 << 16}));
}

TEST_F(SWTriDriver, ClippedPolygonIsDrawnAsAFanAroundItsFirstVertex)
{
    Record({At(-10, 5), At(20, 2), At(20, 12)}); // one vertex left of the clip
    ASSERT_EQ(gCalls.size(), 2u);
    const SWTri_FixedVertex& first = gCalls[0].vertices[0];
    EXPECT_EQ(std::memcmp(&gCalls[1].vertices[0], &first, sizeof first), 0);
    EXPECT_EQ(std::memcmp(&gCalls[1].vertices[1], &gCalls[0].vertices[2], sizeof first), 0);
    for (const Call& c : gCalls)
        for (const SWTri_FixedVertex& v : c.vertices)
            EXPECT_GE(v.x, -1);
}

TEST_F(SWTriDriver, FlagsPickTheTableIndex)
{
    FakeTexture opaque(4, 4);
    struct FlagCase {
        const char* what;
        SWTri_TextureSource* texture;
        SWTri_Color color;
        bool linearBlend, vertexColors;
        int index;
    } cases[] = {
        {"plain vertex colours", nullptr, SWTri_Color::White, false, true, 32 | 4},
        {"white with alpha 254 is a constant colour", nullptr, {255, 255, 255, 254}, false, true, 32 | 4 | 2},
        {"no texture: linear blend sets B but never A", nullptr, SWTri_Color::White, true, true, 32 | 4 | 1},
        {"opaque texture", &opaque, SWTri_Color::White, false, false, 32 | 16},
        {"opaque texture with linear blend sets A", &opaque, SWTri_Color::White, true, false, 32 | 16 | 8 | 1},
    };
    for (const FlagCase& c : cases) {
        gCalls.clear();
        Record({At(1, 1), At(9, 1), At(1, 9)}, c.texture, c.color, c.linearBlend, c.vertexColors);
        ASSERT_EQ(gCalls.size(), 1u) << c.what;
        EXPECT_EQ(gCalls[0].index, c.index) << c.what;
    }
    FakeTexture partial(4, 4);
    partial.partialAlpha = true;
    gCalls.clear();
    Record({At(1, 1), At(9, 1), At(1, 9)}, &partial, SWTri_Color::White, false, false);
    EXPECT_EQ(gCalls.at(0).index, 32 | 16 | 8);
}

TEST_F(SWTriDriver, ConversionsTruncateTowardZero)
{
    FakeTexture texture(64, 32);
    // u * 64 * 65536 = -0.5 and 64 * 65536; x * 65536 = 10.75.
    const float x = 1.0f + 10.75f / 65536;
    Record({At(x, 1, 0x80402010, -0.5f / 65536 / 64, 0), At(9, 1, 0xFFFFFFFF, 1.0f, 0.5f), At(1, 9)}, &texture,
           {10, 20, 30, 40}, false, true);
    ASSERT_EQ(gCalls.size(), 1u);
    const Call& c = gCalls[0];
    EXPECT_EQ(c.vertices[0].x, 65536 + 10);
    EXPECT_EQ(c.vertices[0].u, 0);
    EXPECT_EQ(c.vertices[1].u, 4194304);
    EXPECT_EQ(c.vertices[1].v, 16 << 16);
    EXPECT_EQ(c.vertices[0].a, 0x80 << 16);
    EXPECT_EQ(c.vertices[0].r, 0x40 << 16);
    EXPECT_EQ(c.vertices[0].g, 0x20 << 16);
    EXPECT_EQ(c.vertices[0].b, 0x10 << 16);
    EXPECT_EQ(c.texture.bits, texture.texels.data());
    EXPECT_EQ(c.texture.width, 64);
    EXPECT_EQ(c.texture.size, 64 * 32);
    EXPECT_EQ(c.color.a, 40); // alpha first
    EXPECT_EQ(c.color.r, 10);
    EXPECT_EQ(c.color.b, 30);
}

TEST_F(SWTriDriver, FewerThanThreeVerticesDrawNothingButCommitTheTexture)
{
    FakeTexture texture(4, 4);
    Record({At(1, 1), At(9, 1)}, &texture);
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ(texture.commits, 1);
    EXPECT_EQ(texture.getBits, 0);
}

TEST_F(SWTriDriver, TexelsAreFetchedOncePerSurvivingTriangleAndUnreadableOnesSkipIt)
{
    FakeTexture texture(4, 4);
    // Two strip triangles, the first wholly outside the clip.
    Record({At(100, 100), At(110, 100), At(100, 110), At(1, 1)}, &texture);
    EXPECT_EQ(texture.commits, 1);
    EXPECT_EQ(texture.getBits, 1);
    EXPECT_FALSE(gCalls.empty());
    texture.readable = false;
    gCalls.clear();
    Record({At(1, 1), At(9, 1), At(1, 9)}, &texture);
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(SWTriDriver, NonFiniteCoordinatesSkipOnlyTheirTriangles)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    Record({At(nan, 1), At(9, 1), At(1, 9)});
    Record({At(1, 1), At(inf, 1), At(1, 9)});
    Record({At(1, 1), At(3e38f, 1), At(-3e38f, 9)});
    for (const Call& c : gCalls)
        for (const SWTri_FixedVertex& v : c.vertices) {
            EXPECT_GE(v.x, -65535);
            EXPECT_LE(v.x, 64 << 16);
        }
    gCalls.clear();
    FakeTexture texture(4, 4);
    Record({At(1, 1, 0xFFFFFFFF, nan, 0), At(9, 1), At(1, 9), At(9, 9)}, &texture);
    EXPECT_EQ(gCalls.size(), 1u); // the second strip triangle does not use the bad vertex
}

TEST_F(SWTriDriver, LastColumnBoundsThePolygon)
{
    const SWTri_Rect clip{10, 10, 20, 20};
    Record({At(29, 12), At(29, 20), At(29, 16)}, nullptr, SWTri_Color::White, false, true, clip); // on x + w - 1
    EXPECT_EQ(gCalls.size(), 1u);
    gCalls.clear();
    Record({At(30, 12), At(30, 20), At(31, 16)}, nullptr, SWTri_Color::White, false, true, clip); // at x + w
    EXPECT_TRUE(gCalls.empty());
}

TEST(SWTriDrawing, NothingIsWrittenOutsideTheDestination)
{
    // A clip rectangle far larger than the destination, triangles reaching far beyond it, and a
    // sliver whose edge gradients wrap.
    const SWTri_Vertex strip[] = {At(-500, -300, 0xFF00FF00), At(900, 20, 0x80FF0000), At(-20, 700, 0xFF0000FF),
                                  At(0.5f, 5 - 24 / 65536.0f, 0xFFFFFFFF), At(1.5f, 5 - 12 / 65536.0f, 0xFF000000),
                                  At(39, 5 + 1 / 65536.0f, 0xFF808080)};
    const SWTri_Rect huge{-1000, -1000, 100000, 100000};
    for (SWTri_Format format : {SWTri_Format::ARGB8888, SWTri_Format::RGB888, SWTri_Format::RGB565,
                                SWTri_Format::RGB555}) {
        Canvas canvas(format, 40, 30, kBackground);
        const Canvas before = canvas;
        SWTri_DrawTriangles(strip, 6, nullptr, {200, 100, 50, 255}, 0, huge, canvas.Dest(), false, true);
        EXPECT_TRUE(canvas.GuardIntact());
        EXPECT_NE(canvas.At(20, 15), before.At(20, 15));
    }
}

TEST(SWTriDrawing, HugeCoordinatesStayInsideTheDestination)
{
    // Up to 1e38: the clipper's arithmetic loses all precision there.
    std::mt19937 rnd(11);
    auto coordinate = [&] { return float(int32_t(rnd())) / 2147483648.0f * std::pow(10.0f, float(rnd() % 39)); };
    Canvas canvas(SWTri_Format::RGB888, 40, 30, kBackground);
    for (int i = 0; i < 3000; ++i) {
        const SWTri_Vertex tri[] = {At(coordinate(), coordinate()), At(coordinate(), coordinate()),
                                    At(coordinate(), coordinate())};
        SWTri_DrawTriangles(tri, 3, nullptr, SWTri_Color::White, 0, {0, 0, 40, 30}, canvas.Dest(), false, true);
    }
    EXPECT_TRUE(canvas.GuardIntact());
}

TEST(SWTriDrawing, UnusableDestinationsDrawNothing)
{
    const SWTri_Vertex tri[] = {At(0, 0), At(20, 0), At(0, 20)};
    Canvas canvas(SWTri_Format::RGB888, 16, 16, kBackground);
    SWTri_Dest tooNarrow = canvas.Dest();
    tooNarrow.pitch = 15 * 4;
    SWTri_Dest unknownFormat = canvas.Dest();
    unknownFormat.format = SWTri_Format(0x1234);
    for (const SWTri_Dest& dest : {tooNarrow, unknownFormat}) {
        SWTri_DrawTriangles(tri, 3, nullptr, SWTri_Color::White, 0, {0, 0, 16, 16}, dest, false, true);
        EXPECT_EQ(canvas.At(1, 1), kBackground);
    }
}

TEST(SWTriDrawing, VertexColouredTrianglesFillEveryFormat)
{
    // A clipped, blended triangle: the same through the driver as its polygon drawn by hand.
    struct Expectation {
        SWTri_Format format;
        uint32_t background, opaque;
    } expectations[] = {
        {SWTri_Format::ARGB8888, 0x00000000, 0xFF123456},
        {SWTri_Format::RGB888, 0x00000000, 0xFF123456},
        {SWTri_Format::RGB565, 0x0000, (0x12u >> 3) << 11 | (0x34u >> 2) << 5 | 0x56u >> 3},
        {SWTri_Format::RGB555, 0x8000, (0x12u >> 3) << 10 | (0x34u >> 3) << 5 | 0x56u >> 3},
    };
    for (const Expectation& e : expectations) {
        Canvas canvas(e.format, 16, 16, e.background);
        const SWTri_Vertex tri[] = {At(-8, -8, 0xFF123456), At(40, 0, 0xFF123456), At(0, 40, 0xFF123456)};
        SWTri_DrawTriangles(tri, 3, nullptr, SWTri_Color::White, 0, {0, 0, 16, 16}, canvas.Dest(), false, true);
        EXPECT_TRUE(canvas.GuardIntact());
        EXPECT_EQ(canvas.At(0, 0), e.opaque);
        EXPECT_EQ(canvas.At(14, 14), e.opaque);
        EXPECT_EQ(canvas.At(15, 3), e.background); // the clip's last column stays undrawn
        const SWTri_Vertex faint[] = {At(0, 0, 0x08FFFFFF), At(16, 0, 0x08FFFFFF), At(0, 16, 0x08FFFFFF)};
        SWTri_DrawTriangles(faint, 3, nullptr, SWTri_Color::White, 0, {0, 0, 16, 16}, canvas.Dest(), false, true);
        EXPECT_EQ(canvas.At(1, 1), e.opaque); // alpha 8: skipped
        SWTri_DrawTriangles(faint, 3, nullptr, SWTri_Color::White, 0, {0, 0, 16, 16}, canvas.Dest(), false, false);
        EXPECT_EQ(canvas.At(1, 1), e.opaque); // no vertex colours, no texture: nothing drawn
    }
}
