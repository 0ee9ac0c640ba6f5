#include "TexelSamples.h"

#include "framework/raster/SWTri.h"
#include "framework/raster/SWTriDivide.h"
#include "framework/raster/SWTriFillers.h"

#include <gtest/gtest.h>

using namespace rastertest;

namespace {

const SampleCase kNearest32[] = {
    {"opaque copy ignores texel alpha", SWTri_Fill32_T, k888, 0, Uniform(0x00123456), 0.5, 0.5, kNoColor, 0xFF123456},
    {"opaque copy past the last texel", SWTri_Fill32_T, k8888, 0x12345678, Uniform(0x00123456), 0.5, 2.5, kNoColor,
     0xFF000000},
    {"a column past the row runs into the next row", SWTri_Fill32_T, k888, 0, {1, 2, 3, 4}, 2.5, 0.5, kNoColor,
     0xFF000003},
    {"a coordinate just below 0 reads nothing", SWTri_Fill32_T, k888, 0, {1, 2, 3, 4}, -0.25, 0.5, kNoColor, 0xFF000000},
    {"texel alpha 8 is skipped", SWTri_Fill8888_TA, k8888, 0x12345678, Uniform(0x08FFFFFF), 0.5, 0.5, kNoColor,
     0x12345678},
    {"texel alpha 9 blends", SWTri_Fill8888_TA, k8888, 0xFF000000, Uniform(0x09FFFFFF), 0.5, 0.5, kNoColor, 0xFF080808},
    {"texel alpha 240 is opaque", SWTri_Fill888_TA, k888, 0, Uniform(0xF0ABCDEF), 0.5, 0.5, kNoColor, 0xFFABCDEF},
    {"8888 over alpha 0 keeps the colour", SWTri_Fill8888_TA, k8888, 0, Uniform(0x64808080), 0.5, 0.5, kNoColor,
     0x63808080},
    {"8888 over opaque black", SWTri_Fill8888_TA, k8888, 0xFF000000, Uniform(0x64808080), 0.5, 0.5, kNoColor,
     0xFF323232},
    {"888 over white", SWTri_Fill888_TA, k888, 0xFFFFFFFF, Uniform(0x64808080), 0.5, 0.5, kNoColor, 0xFFCCCCCC},
    {"constant alpha 255 with texel 241 is opaque", SWTri_Fill888_TAC, k888, 0, Uniform(0xF1FFFFFF), 0.5, 0.5,
     {255, 255, 255, 255}, 0xFFFEFEFE},
    {"constant alpha 255 with texel 240 blends", SWTri_Fill888_TAC, k888, 0, Uniform(0xF0FFFFFF), 0.5, 0.5,
     {255, 255, 255, 255}, 0xFFEDEDED},
    {"constant alpha 0 still blends", SWTri_Fill888_TAC, k888, 0xFFFFFFFF, Uniform(0xC8FFFFFF), 0.5, 0.5,
     {0, 255, 255, 255}, 0xFFFEFEFE},
    {"constant alpha 241 is opaque", SWTri_Fill8888_TC, k8888, 0, Uniform(0x00FFFFFF), 0.5, 0.5, {241, 255, 128, 0},
     0xFFFE7F00},
    {"constant alpha 0 over opaque 8888", SWTri_Fill8888_TC, k8888, 0xFFFFFFFF, Uniform(0xFF000000), 0.5, 0.5,
     {0, 255, 255, 255}, 0xFEFEFEFE},
    // Nothing over nothing: the composited alpha is 0 and the pixel stays as it was.
    {"constant alpha 0 over alpha 0", SWTri_Fill8888_TC, k8888, 0x00123456, Uniform(0xFFFFFFFF), 0.5, 0.5,
     {0, 255, 255, 255}, 0x00123456},
};

const SampleCase kNearest16[] = {
    {"565 copy", SWTri_Fill565_T, k565, 0, Uniform(0x00FFFFFF), 0.5, 0.5, kNoColor, 0xFFFF},
    {"texel alpha 9 scales the destination by 30/32", SWTri_Fill565_TA, k565, 0xFFFF, Uniform(0x09FFFFFF), 0.5, 0.5,
     kNoColor, Rgb565(30, 61, 30)},
    {"texel alpha 239 scales it by 2/32", SWTri_Fill565_TA, k565, 0xFFFF, Uniform(0xEFFFFFFF), 0.5, 0.5, kNoColor,
     Rgb565(30, 62, 30)},
    {"texel alpha 8 is skipped and keeps bit 15", SWTri_Fill555_TA, k555, 0xFFFF, Uniform(0x08FFFFFF), 0.5, 0.5,
     kNoColor, 0xFFFF},
    {"a written 555 pixel clears bit 15", SWTri_Fill555_TA, k555, 0xFFFF, Uniform(0xF0FFFFFF), 0.5, 0.5, kNoColor,
     0x7FFF},
    {"constant alpha 0 darkens", SWTri_Fill565_TC, k565, 0xFFFF, Uniform(0xFFFFFFFF), 0.5, 0.5, {0, 255, 255, 255},
     Rgb565(30, 61, 30)},
    {"constant alpha 8 over texel 255 blends at 7", SWTri_Fill565_TAC, k565, 0xFFFF, Uniform(0xFFFFFFFF), 0.5, 0.5,
     {8, 255, 255, 255}, Rgb565(30, 62, 30)},
    {"texel alpha 8 under constant 255 is skipped", SWTri_Fill555_TAC, k555, 0x1234, Uniform(0x08FFFFFF), 0.5, 0.5,
     {255, 255, 255, 255}, 0x1234},
};

// Filtered samples: at a texel centre the weights are 65534, 0, 0, 0 (k = 254, 0, 0, 0); midway
// between four centres each k is 63.
const SampleCase kFiltered[] = {
    {"texel centre, white", SWTri_Fill888_TAB, k888, 0, Uniform(0xFFFFFFFF), 1.5, 1.5, kNoColor, 0xFFFDFDFD},
    {"midway, white", SWTri_Fill888_TAB, k888, 0, Uniform(0xFFFFFFFF), 1.0, 1.0, kNoColor, 0xFFFBFBFB},
    {"midway packs green to 62", SWTri_Fill565_TAB, k565, 0, Uniform(0xFFFFFFFF), 1.0, 1.0, kNoColor,
     Rgb565(31, 62, 31)},
    {"over 8888, opaque", SWTri_Fill8888_TAB, k8888, 0, Uniform(0xFFFFFFFF), 1.5, 1.5, kNoColor, 0xFFFDFDFD},
    {"above the first row the taps read 0 and fade", SWTri_Fill565_TAB, k565, 0, Uniform(0xFFFFFFFF), 0.5, 0.0,
     kNoColor, Rgb565(15, 31, 15)},
    // The centre of column 0 reads column 0, not the last texel of the row above.
    {"left border reads its own column", SWTri_Fill888_TAB, k888, 0, {0xFFFFFFFF, 0xFF000000, 0xFFFF0000, 0xFFFF0000},
     0.5, 1.5, kNoColor, 0xFFFD0000},
    // Source term and coverage rounded apart: the quotient 256 is held to 255, not stored as 0.
    {"quotient 256 is held to 255", SWTri_Fill8888_TACB, k8888, 0, Uniform(0xFFFFFFFF), 1.5, 1.5, {2, 255, 255, 255},
     0x00FFFFFF},
    {"constant colour and alpha scale the filtered colour", SWTri_Fill888_TACB, k888, 0, Uniform(0xFFFFFFFF), 1.5,
     1.5, {128, 255, 0, 255}, 0xFF7E007E},
};

} // namespace

TEST(SWTriBlend, DivisionByCoverageIsExact)
{
    // Every dividend and coverage the 0x8888 blend can meet.
    uint32_t wrong = 0;
    for (uint32_t coverage = 1; coverage <= 256; ++coverage)
        for (uint32_t n = 0; n < swtri::kMaxDividend; ++n)
            wrong += swtri::DivideByCoverage(n, coverage) != n / coverage;
    EXPECT_EQ(wrong, 0u);
}

TEST(SWTriTexturedFillers, NearestInto32Bit) { ExpectSamples(kNearest32); }

TEST(SWTriTexturedFillers, NearestInto16Bit) { ExpectSamples(kNearest16); }

TEST(SWTriTexturedFillers, Filtered) { ExpectSamples(kFiltered); }

TEST(SWTriTexturedFillers, SkippedPixelsStillAdvanceTheTextureCoordinates)
{
    // Columns alternate transparent and opaque; drawn 1:1, the opaque ones land where they lie.
    FakeTexture texture(8, 1);
    for (int x = 0; x < 8; ++x)
        texture.texels[size_t(x)] = x % 2 ? 0xFF000000u | uint32_t(x) : 0x00FFFFFFu;
    texture.transparency = true;
    Canvas canvas(k888, 8, 2, 0xFF777777);
    const SWTri_Vertex quad[] = {{-0.5f, -0.5f, 0, 0, ~0u}, {7.5f, -0.5f, 1, 0, ~0u}, {-0.5f, 0.5f, 0, 1, ~0u},
                                 {7.5f, 0.5f, 1, 1, ~0u}};
    SWTri_DrawTriangles(quad, 4, &texture, SWTri_Color::White, 0, {0, 0, 8, 2}, canvas.Dest(), false, false);
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(canvas.At(x, 0), x % 2 ? 0xFF000000u | uint32_t(x) : 0xFF777777u) << x;
}

TEST(SWTriDrawing, TransformedImagesDrawIntoEveryFormat)
{
    // A 4 x 4 image, corners moved by half a pixel as the images place them: scaled by 2, drawn
    // 1:1 with filtering and with a constant colour, and turned a quarter.
    FakeTexture texture(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            texture.texels[size_t(y * 4 + x)] = 0xFF000000u | uint32_t(y << 4 | x) << 3;
    const SWTri_TextureInfo info{texture.texels.data(), 4, 16};
    auto quad = [](float x0, float y0, float x1, float y1) {
        return std::vector<SWTri_Vertex>{{x0, y0, 0, 0, ~0u}, {x1, y0, 1, 0, ~0u}, {x0, y1, 0, 1, ~0u}, {x1, y1, 1, 1, ~0u}};
    };
    const SWTri_Color tint{255, 128, 0, 200};
    const SWTri_ConstColor k{200, 255, 128, 0};
    for (SWTri_Format format : {k8888, k888, k565, k555}) {
        // What one filler writes for the sample at the centre of texel (x, y).
        auto texel = [&](bool filtered, bool tinted, int x, int y) {
            Canvas dot(format, 1, 1);
            const SWTri_FixedVertex tri[3] = {Vx(0, 0, 0, x + 0.5, y + 0.5), Vx(1, 0, 0, x + 0.5, y + 0.5),
                                              Vx(0, 1, 0, x + 0.5, y + 0.5)};
            SWTri_Fillers()[size_t(SWTri_FillerIndex(format, true, filtered, false, tinted, filtered))](
                tri, dot.Origin(), dot.Pitch(), &info, &k);
            return dot.At(0, 0);
        };
        auto draw = [&](const std::vector<SWTri_Vertex>& v, bool linearBlend, SWTri_Color color = SWTri_Color::White) {
            Canvas canvas(format, 9, 9);
            SWTri_DrawTriangles(v.data(), 4, &texture, color, 0, {0, 0, 9, 9}, canvas.Dest(), linearBlend, false);
            EXPECT_TRUE(canvas.GuardIntact());
            return canvas;
        };
        const Canvas scaled = draw(quad(-0.5f, -0.5f, 7.5f, 7.5f), false);
        const Canvas filtered = draw(quad(-0.5f, -0.5f, 3.5f, 3.5f), true);
        const Canvas tinted = draw(quad(-0.5f, -0.5f, 3.5f, 3.5f), false, tint);
        // Destination (X, Y) shows texel (Y, 3 - X).
        const Canvas turned = draw({{3.5f, -0.5f, 0, 0, ~0u}, {3.5f, 3.5f, 1, 0, ~0u}, {-0.5f, -0.5f, 0, 1, ~0u},
                                    {-0.5f, 3.5f, 1, 1, ~0u}},
                                   false);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(scaled.At(x, y), texel(false, false, x / 2, y / 2)) << int(format) << " at " << x << "," << y;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(filtered.At(x, y), texel(true, false, x, y)) << int(format) << " at " << x << "," << y;
                EXPECT_EQ(tinted.At(x, y), texel(false, true, x, y)) << int(format) << " at " << x << "," << y;
                EXPECT_EQ(turned.At(x, y), texel(false, false, y, 3 - x)) << int(format) << " at " << x << "," << y;
            }
    }
}
