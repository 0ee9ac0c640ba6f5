#include "RasterTestSupport.h"

#include "framework/raster/SWTriFillers.h"

#include <gtest/gtest.h>

using namespace rastertest;

namespace {

struct PixelCase {
    const char* what;
    SWTri_FillerFn filler;
    SWTri_Format format;
    uint32_t before;
    int32_t a, r, g, b; // 8.16 vertex channels, the same at all three vertices
    uint32_t after;
};

constexpr auto k8888 = SWTri_Format::ARGB8888;
constexpr auto k888 = SWTri_Format::RGB888;
constexpr auto k565 = SWTri_Format::RGB565;
constexpr auto k555 = SWTri_Format::RGB555;
constexpr int32_t kWhite = 0xFF0000;

uint32_t DrawAtPixel(SWTri_FillerFn filler, SWTri_Format format, uint32_t before, int32_t a, int32_t r, int32_t g,
                     int32_t b, const SWTri_ConstColor* k = nullptr)
{
    Canvas canvas(format, 4, 4, before);
    const SWTri_FixedVertex tri[3] = {{0, 0, a, r, g, b, 0, 0}, {4 << 16, 0, a, r, g, b, 0, 0},
                                      {0, 4 << 16, a, r, g, b, 0, 0}};
    filler(tri, canvas.Origin(), canvas.Pitch(), nullptr, k);
    EXPECT_TRUE(canvas.GuardIntact());
    return canvas.At(1, 1);
}

const PixelCase kCases[] = {
    {"alpha 240.0 blends at 240", SWTri_Fill888_V, k888, 0, 0xF00000, kWhite, kWhite, kWhite, 0xFFEFEFEF},
    {"alpha just above 240 is opaque", SWTri_Fill888_V, k888, 0, 0xF00001, kWhite, kWhite, kWhite, 0xFFFFFFFF},
    {"alpha 8.0 leaves the pixel", SWTri_Fill888_V, k888, 0x12345678, 0x80000, kWhite, kWhite, kWhite, 0x12345678},
    {"alpha just above 8 blends at 8", SWTri_Fill888_V, k888, 0, 0x80001, kWhite, kWhite, kWhite, 0xFF070707},
    {"8888 over alpha 0 keeps the source colour", SWTri_Fill8888_V, k8888, 0x00000000, 128 << 16, 0, 0, 200 << 16,
     0x7F0000C8},
    {"8888 over alpha 255", SWTri_Fill8888_V, k8888, 0xFF000064, 128 << 16, 0, 0, 200 << 16, 0xFF000095},
    {"888 weighs the destination by 255 - As", SWTri_Fill888_V, k888, 0x00000064, 128 << 16, 0, 0, 200 << 16,
     0xFF000095},
    {"565 blend of white at 240 stays below full", SWTri_Fill565_V, k565, 0, 0xF00000, kWhite, kWhite, kWhite,
     29u << 11 | 59u << 5 | 29u},
    {"565 opaque white is full", SWTri_Fill565_V, k565, 0, kWhite, kWhite, kWhite, kWhite, 0xFFFF},
    {"555 opaque clears bit 15", SWTri_Fill555_V, k555, 0x8000, kWhite, kWhite, kWhite, kWhite, 0x7FFF},
    {"555 blend clears bit 15", SWTri_Fill555_V, k555, 0xFFFF, 0xF00000, kWhite, kWhite, kWhite,
     29u << 10 | 29u << 5 | 29u},
    // Interpolation can carry a channel a hair below 0; it counts as 0, not as 255.
    {"alpha below 0 leaves the pixel", SWTri_Fill888_V, k888, 0x00102030, -1, kWhite, kWhite, kWhite, 0x00102030},
    {"colour below 0 is black", SWTri_Fill888_V, k888, 0, kWhite, -1, kWhite, -1, 0xFF00FF00},
};

} // namespace

TEST(SWTriUntexturedFillers, WorkedPixels)
{
    for (const PixelCase& c : kCases)
        EXPECT_EQ(DrawAtPixel(c.filler, c.format, c.before, c.a, c.r, c.g, c.b), c.after) << c.what;
}

TEST(SWTriUntexturedFillers, ConstantColourScalesTheVerticesByKOver256)
{
    const SWTri_ConstColor halfAlpha{128, 255, 255, 255};
    // Alpha 255 becomes 127.5 and blends at 127; 255 under 255 becomes 254.
    EXPECT_EQ(DrawAtPixel(SWTri_Fill888_VC, k888, 0, kWhite, kWhite, kWhite, kWhite, &halfAlpha), 0xFF7E7E7Eu);
    const SWTri_ConstColor opaqueRed{255, 255, 0, 0};
    EXPECT_EQ(DrawAtPixel(SWTri_Fill8888_VC, k8888, 0, kWhite, kWhite, kWhite, kWhite, &opaqueRed), 0xFFFE0000u);
}
