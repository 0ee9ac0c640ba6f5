#pragma once
#include "RasterTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

// Single-pixel cases for the textured fillers: one pixel drawn from one sample point.
namespace rastertest {

constexpr auto k8888 = SWTri_Format::ARGB8888;
constexpr auto k888 = SWTri_Format::RGB888;
constexpr auto k565 = SWTri_Format::RGB565;
constexpr auto k555 = SWTri_Format::RGB555;
constexpr SWTri_ConstColor kNoColor{255, 255, 255, 255};

constexpr uint32_t Rgb565(uint32_t r, uint32_t g, uint32_t b) { return r << 11 | g << 5 | b; }
constexpr uint32_t Rgb555(uint32_t r, uint32_t g, uint32_t b) { return r << 10 | g << 5 | b; }

// Every vertex carries the same (u, v), in texels, and the same colour.
struct SampleCase {
    const char* what;
    SWTri_FillerFn filler;
    SWTri_Format format;
    uint32_t before;
    std::vector<uint32_t> texels; // a 2 x 2 texture
    double u, v;
    SWTri_ConstColor k;
    uint32_t after;
    uint32_t vertexColor = 0xFFFFFFFF;
};

inline uint32_t DrawSample(const SampleCase& c)
{
    Canvas canvas(c.format, 4, 4, c.before);
    const SWTri_TextureInfo texture{c.texels.data(), 2, int32_t(c.texels.size())};
    const SWTri_FixedVertex tri[3] = {Vx(0, 0, c.vertexColor, c.u, c.v), Vx(4, 0, c.vertexColor, c.u, c.v),
                                      Vx(0, 4, c.vertexColor, c.u, c.v)};
    c.filler(tri, canvas.Origin(), canvas.Pitch(), &texture, &c.k);
    EXPECT_TRUE(canvas.GuardIntact());
    return canvas.At(1, 1);
}

inline std::vector<uint32_t> Uniform(uint32_t texel) { return {texel, texel, texel, texel}; }

template <size_t N>
void ExpectSamples(const SampleCase (&cases)[N])
{
    for (const SampleCase& c : cases)
        EXPECT_EQ(DrawSample(c), c.after) << c.what;
}

} // namespace rastertest
