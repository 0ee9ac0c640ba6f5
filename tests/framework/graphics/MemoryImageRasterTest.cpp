// The matrix and triangle blits hand the rasteriser the right strips; a recorder stands in for it.
#include "DrawingFixtures.h"

#include "framework/graphics/MemoryImageTexture.h"

#include <gtest/gtest.h>

using namespace drawing;
using Nubra::Color;
using Nubra::Rect;
using Nubra::SWTri_Format;

namespace {

struct RasteriserCall {
    std::vector<std::string> vertices; // "x,y u,v colour"
    int textureWidth = 0, textureHeight = 0;
    const uint32_t* texels = nullptr;
    std::string color, clip;
    int drawMode = 0;
    const uint8_t* bits = nullptr;
    int pitch = 0, width = 0, height = 0;
    SWTri_Format format{};
    bool blend = false, vertexColors = false;
};

struct RecordingRasteriser : Nubra::TriangleRasteriser {
    std::vector<RasteriserCall> calls;

    void DrawTriangles(const Nubra::SWTri_Vertex* vertices, int32_t count, Nubra::SWTri_TextureSource* texture,
                       const Nubra::SWTri_Color& color, int32_t drawMode, const Nubra::SWTri_Rect& clip,
                       const Nubra::SWTri_Dest& dest, bool blend, bool vertexColors) override;
};

void RecordingRasteriser::DrawTriangles(const Nubra::SWTri_Vertex* vertices, int32_t count,
                                        Nubra::SWTri_TextureSource* texture, const Nubra::SWTri_Color& color,
                                        int32_t drawMode, const Nubra::SWTri_Rect& clip, const Nubra::SWTri_Dest& dest,
                                        bool blend, bool vertexColors)
{
    RasteriserCall call;
    for (int k = 0; k < count; ++k) {
        const auto& v = vertices[k];
        call.vertices.push_back(Nubra::StrFormat("%g,%g %g,%g %08x", v.x, v.y, v.u, v.v, v.color));
    }
    call.textureWidth = texture->Width();
    call.textureHeight = texture->Height();
    call.texels = texture->GetBits();
    call.color = Nubra::StrFormat("%d,%d,%d,%d", color.r, color.g, color.b, color.a);
    call.clip = Nubra::StrFormat("%d,%d,%d,%d", clip.x, clip.y, clip.w, clip.h);
    call.drawMode = drawMode;
    call.bits = dest.bits;
    call.pitch = dest.pitch;
    call.width = dest.width;
    call.height = dest.height;
    call.format = dest.format;
    call.blend = blend;
    call.vertexColors = vertexColors;
    calls.push_back(call);
}

struct RasteriserSetUpTest : ::testing::Test {
    std::unique_ptr<MemoryImage> dest = Filled(40, 30, 0);
    std::unique_ptr<MemoryImage> texture = Filled(16, 8, 0xFFFFFFFF);
    RecordingRasteriser recorder;
    std::vector<RasteriserCall>& calls = recorder.calls;

    RasteriserSetUpTest() { Nubra::SetTriangleRasteriser(&recorder); }
    ~RasteriserSetUpTest() override { Nubra::SetTriangleRasteriser(nullptr); }
};

} // namespace

TEST_F(RasteriserSetUpTest, MatrixBlitSendsTheSourceRectangleAsAStripShiftedHalfAPixel)
{
    Nubra::Matrix3 matrix;
    matrix.Scale(2, 3);
    const uint32_t before = dest->bitsChangedCount;
    dest->BltMatrix(texture.get(), 10, 20, matrix, Rect(1, 2, 30, 25), Color(10, 20, 30, 40), 1, Rect(4, 2, 8, 4),
                    true, nullptr);

    ASSERT_EQ(calls.size(), 1u);
    const RasteriserCall& call = calls[0];
    EXPECT_EQ(call.vertices, (std::vector<std::string>{"9.5,19.5 0.25,0.25 ffffffff", "25.5,19.5 0.75,0.25 ffffffff",
                                                       "9.5,31.5 0.25,0.75 ffffffff", "25.5,31.5 0.75,0.75 ffffffff"}));
    EXPECT_EQ(call.texels, texture->GetBits());
    EXPECT_EQ(call.textureWidth, 16);
    EXPECT_EQ(call.textureHeight, 8);
    EXPECT_EQ(call.color, "10,20,30,40");
    EXPECT_EQ(call.clip, "1,2,30,25");
    EXPECT_EQ(call.drawMode, 1);
    EXPECT_EQ(call.bits, reinterpret_cast<const uint8_t*>(dest->GetBits()));
    EXPECT_EQ(call.pitch, 160);
    EXPECT_EQ(call.width, 40);
    EXPECT_EQ(call.height, 30);
    EXPECT_EQ(call.format, SWTri_Format::ARGB8888);
    EXPECT_TRUE(call.blend);
    EXPECT_FALSE(call.vertexColors);
    EXPECT_TRUE(texture->drawn);
    EXPECT_EQ(dest->bitsChangedCount, before + 1);
}

TEST_F(RasteriserSetUpTest, ADestinationForcedOpaqueIsDrawnWithoutAlpha)
{
    const struct {
        bool forced, hasTrans, hasAlpha;
        SWTri_Format format;
    } rows[] = {
        {true, false, false, SWTri_Format::RGB888},
        {true, true, false, SWTri_Format::ARGB8888},
        {true, false, true, SWTri_Format::ARGB8888},
        {false, false, false, SWTri_Format::ARGB8888}, // opaque, but only as far as it has been drawn
    };
    for (const auto& row : rows) {
        calls.clear();
        auto image = Filled(4, 4, 0xFF000000);
        if (row.forced)
            image->SetImageMode(row.hasTrans, row.hasAlpha);
        image->BltMatrix(texture.get(), 0, 0, Nubra::Matrix3(), Rect(0, 0, 4, 4), Color::White, 0, Rect(0, 0, 16, 8),
                         false, nullptr);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].format, row.format) << row.forced << row.hasTrans << row.hasAlpha;
    }
}

TEST_F(RasteriserSetUpTest, TrianglesGoOneAtATimeMovedByTheOffset)
{
    const Nubra::TriVertex triangles[2][3] = {
        {{0, 0, 0, 0, 0}, {4, 0, 1, 0, 0}, {0, 4, 0, 1, 0}},
        {{4, 0, 1, 0, 0}, {4, 4, 1, 1, 0x80FF0000}, {0, 4, 0, 1, 0}},
    };
    dest->BltTrianglesTex(texture.get(), triangles, 2, Rect(0, 0, 40, 30), Color::White, 0, 2.5f, -1, false);

    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].vertices,
              (std::vector<std::string>{"2.5,-1 0,0 00000000", "6.5,-1 1,0 00000000", "2.5,3 0,1 00000000"}));
    EXPECT_FALSE(calls[0].vertexColors) << "no corner has a colour";
    EXPECT_EQ(calls[1].vertices,
              (std::vector<std::string>{"6.5,-1 1,0 00000000", "6.5,3 1,1 80ff0000", "2.5,3 0,1 00000000"}));
    EXPECT_TRUE(calls[1].vertexColors);
    EXPECT_EQ(calls[1].color, "255,255,255,255");
    EXPECT_FALSE(calls[1].blend);
}

TEST_F(RasteriserSetUpTest, ImagesThatAreNotInMemoryReachNoRasteriser)
{
    Nubra::Image plain;
    plain.width = plain.height = 4;
    const uint32_t before = dest->bitsChangedCount;
    dest->BltMatrix(&plain, 0, 0, Nubra::Matrix3(), Rect(0, 0, 40, 30), Color::White, 0, Rect(0, 0, 4, 4), false,
                    nullptr);
    const Nubra::TriVertex triangle[1][3] = {{{0, 0, 0, 0, 0}, {4, 0, 1, 0, 0}, {0, 4, 0, 1, 0}}};
    dest->BltTrianglesTex(&plain, triangle, 1, Rect(0, 0, 40, 30), Color::White, 0, 0, 0, false);
    EXPECT_TRUE(plain.drawn);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(dest->bitsChangedCount, before);
}

TEST(RasteriserTest, AMatrixBlitDrawsThroughTheSoftwareRasteriser)
{
    // Unturned at whole pixels, the half-pixel shift lands the picture on its own pixels.
    auto dest = Filled(6, 6, 0xFF000000);
    auto texture = Filled(4, 4, 0xFF20C040);
    dest->BltMatrix(texture.get(), 1, 1, Nubra::Matrix3(), Rect(0, 0, 6, 6), Color::White, 0, Rect(0, 0, 4, 4), false,
                    nullptr);
    Pixels expected(36, 0xFF000000);
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x)
            expected[size_t(y) * 6 + size_t(x)] = 0xFF20C040;
    EXPECT_EQ(GridOf(*dest), Grid(expected, 6));
}
