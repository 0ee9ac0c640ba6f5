#include "TexelSamples.h"

#include "framework/raster/SWTriFillers.h"

#include <gtest/gtest.h>

using namespace rastertest;

namespace {

const std::vector<uint32_t> kWhite = Uniform(0xFFFFFFFF);

// Opaque textures under vertex colours; the texel's alpha byte plays no part.
const SampleCase kOpaqueTexture32[] = {
    {"vertex alpha 241 is opaque", SWTri_Fill888_TV, k888, 0, kWhite, 0.5, 0.5, kNoColor, 0xFFFEFEFE, 0xF1FFFFFF},
    {"vertex alpha 240 blends", SWTri_Fill888_TV, k888, 0, kWhite, 0.5, 0.5, kNoColor, 0xFFEDEDED, 0xF0FFFFFF},
    {"white under white, texel alpha 0", SWTri_Fill8888_TV, k8888, 0, Uniform(0x00FFFFFF), 0.5, 0.5, kNoColor,
     0xFFFEFEFE},
    {"coverage 0 over opaque white", SWTri_Fill8888_TV, k8888, 0xFFFFFFFF, kWhite, 0.5, 0.5, kNoColor, 0xFEFEFEFE,
     0x00FFFFFF},
    {"coverage 100 over opaque white", SWTri_Fill8888_TV, k8888, 0xFFFFFFFF, kWhite, 0.5, 0.5, kNoColor, 0xFFFDFDFD,
     0x65FFFFFF},
    {"coverage 100 over alpha 0", SWTri_Fill8888_TV, k8888, 0, kWhite, 0.5, 0.5, kNoColor, 0x63FDFDFD, 0x65FFFFFF},
    {"888 coverage 0 turns 255 into 254", SWTri_Fill888_TV, k888, 0xFFFFFFFF, kWhite, 0.5, 0.5, kNoColor, 0xFFFEFEFE,
     0x00FFFFFF},
    {"constant 128 on vertex 255 gives factors 127", SWTri_Fill888_TVC, k888, 0, kWhite, 0.5, 0.5, {128, 128, 128, 128},
     0xFF3E3E3E},
    {"past the last texel writes black", SWTri_Fill888_TV, k888, 0x12345678, kWhite, 0.5, 2.5, kNoColor, 0xFF000000},
    // Nothing over nothing: the composited alpha is 0 and the pixel stays as it was.
    {"coverage 0 over alpha 0", SWTri_Fill8888_TV, k8888, 0x00123456, kWhite, 0.5, 0.5, kNoColor, 0x00123456,
     0x00FFFFFF},
};

const SampleCase kOpaqueTexture16[] = {
    {"vertex alpha 241 is opaque", SWTri_Fill565_TV, k565, 0, kWhite, 0.5, 0.5, kNoColor, 0xFFFF, 0xF1FFFFFF},
    {"vertex alpha 240 blends with k 2", SWTri_Fill565_TV, k565, 0xFFFF, kWhite, 0.5, 0.5, kNoColor,
     Rgb565(30, 62, 30), 0xF0FFFFFF},
    {"vertex alpha 0 darkens", SWTri_Fill565_TV, k565, 0xFFFF, kWhite, 0.5, 0.5, kNoColor, Rgb565(30, 61, 30),
     0x00FFFFFF},
    {"white packs full and clears bit 15", SWTri_Fill555_TV, k555, 0xFFFF, kWhite, 0.5, 0.5, kNoColor, 0x7FFF},
    {"constant alpha 0 blends with source 0", SWTri_Fill565_TVC, k565, 0xFFFF, kWhite, 0.5, 0.5, {0, 255, 255, 255},
     Rgb565(30, 61, 30)},
    {"past the last texel writes black", SWTri_Fill555_TV, k555, 0x1234, kWhite, 0.5, 2.5, kNoColor, 0},
};

const SampleCase kAlphaTexture32[] = {
    {"texel alpha 8 is skipped", SWTri_Fill888_TAV, k888, 0x12345678, Uniform(0x08FFFFFF), 0.5, 0.5, kNoColor,
     0x12345678},
    {"texel alpha 9 blends", SWTri_Fill888_TAV, k888, 0, Uniform(0x09FFFFFF), 0.5, 0.5, kNoColor, 0xFF070707},
    {"coverage 240 is opaque", SWTri_Fill8888_TAV, k8888, 0, Uniform(0xF1FFFFFF), 0.5, 0.5, kNoColor, 0xFFFEFEFE},
    {"coverage 239 blends", SWTri_Fill888_TAV, k888, 0, Uniform(0xF0FFFFFF), 0.5, 0.5, kNoColor, 0xFFEDEDED},
    {"white on white", SWTri_Fill8888_TAV, k8888, 0, kWhite, 0.5, 0.5, kNoColor, 0xFFFEFEFE},
    {"filtered at a texel centre", SWTri_Fill888_TAVB, k888, 0, kWhite, 1.5, 1.5, kNoColor, 0xFFFBFBFB},
    {"coverage 100 over opaque white", SWTri_Fill8888_TAV, k8888, 0xFFFFFFFF, Uniform(0x65FFFFFF), 0.5, 0.5, kNoColor,
     0xFFFDFDFD},
    {"coverage 100 over alpha 0", SWTri_Fill8888_TAV, k8888, 0, Uniform(0x65FFFFFF), 0.5, 0.5, kNoColor, 0x63FDFDFD},
    {"coverage 0 over red 200", SWTri_Fill8888_TAV, k8888, 0xFFC80000, kWhite, 0.5, 0.5, kNoColor, 0xFEC70000,
     0x00FFFFFF},
    {"v below 0 leaves the pixel", SWTri_Fill8888_TAV, k8888, 0x12345678, kWhite, 0.5, -0.25, kNoColor, 0x12345678},
    {"coverage 0 over alpha 0 leaves the pixel", SWTri_Fill8888_TAVC, k8888, 0x00345678, kWhite, 0.5, 0.5,
     {0, 255, 255, 255}, 0x00345678},
    // Source and coverage rounded apart: the quotient 256 is held to 255, not stored as 0.
    {"quotient 256 is held to 255", SWTri_Fill8888_TAVB, k8888, 0, kWhite, 1.5, 1.5, kNoColor, 0x00FFFFFF,
     0x02FFFFFF},
};

const SampleCase kAlphaTexture16[] = {
    {"texel alpha 9 blends with k 30", SWTri_Fill565_TAV, k565, 0xFFFF, Uniform(0x09FFFFFF), 0.5, 0.5, kNoColor,
     Rgb565(29, 60, 29)},
    {"texel alpha 241 is opaque", SWTri_Fill565_TAV, k565, 0, Uniform(0xF1FFFFFF), 0.5, 0.5, kNoColor, 0xFFFF},
    {"texel alpha 240 blends with k 2", SWTri_Fill565_TAV, k565, 0xFFFF, Uniform(0xF0FFFFFF), 0.5, 0.5, kNoColor,
     Rgb565(30, 62, 30)},
    {"vertex alpha 0 darkens 565", SWTri_Fill565_TAV, k565, 0xFFFF, kWhite, 0.5, 0.5, kNoColor, Rgb565(30, 61, 30),
     0x00FFFFFF},
    {"vertex alpha 0 darkens 555", SWTri_Fill555_TAV, k555, 0x7FFF, kWhite, 0.5, 0.5, kNoColor, Rgb555(30, 30, 30),
     0x00FFFFFF},
    {"filtered white packs green to 62", SWTri_Fill565_TAVB, k565, 0, kWhite, 1.5, 1.5, kNoColor, Rgb565(31, 62, 31)},
    {"filtered white into 555", SWTri_Fill555_TAVB, k555, 0, kWhite, 1.5, 1.5, kNoColor, 0x7FFF},
    {"constant alpha 128 blends at 126", SWTri_Fill565_TAVC, k565, 0, kWhite, 0.5, 0.5, {128, 255, 255, 255},
     Rgb565(15, 31, 15)},
    {"555 written clears bit 15", SWTri_Fill555_TAV, k555, 0xFFFF, kWhite, 0.5, 0.5, kNoColor, 0x7FFF},
    {"555 skipped keeps bit 15", SWTri_Fill555_TAV, k555, 0xFFFF, Uniform(0x08FFFFFF), 0.5, 0.5, kNoColor, 0xFFFF},
};

} // namespace

TEST(SWTriVertexColouredFillers, OpaqueTextureInto32Bit) { ExpectSamples(kOpaqueTexture32); }

TEST(SWTriVertexColouredFillers, OpaqueTextureInto16Bit) { ExpectSamples(kOpaqueTexture16); }

TEST(SWTriVertexColouredFillers, AlphaTextureInto32Bit) { ExpectSamples(kAlphaTexture32); }

TEST(SWTriVertexColouredFillers, AlphaTextureInto16Bit) { ExpectSamples(kAlphaTexture16); }

TEST(SWTriVertexColouredFillers, ChannelsBelowZeroCountAsZero)
{
    // Interpolation can carry a vertex channel a hair below 0; taken as it is, its integer part
    // would be 65535 and the pixel written opaque.
    const uint32_t texel = 0xFFFFFFFF;
    const SWTri_TextureInfo texture{&texel, 1, 1};
    for (SWTri_FillerFn filler : {SWTri_Fill888_TV, SWTri_Fill888_TAVC, SWTri_Fill565_TVC}) {
        Canvas canvas(filler == SWTri_Fill565_TVC ? k565 : k888, 4, 4, 0);
        SWTri_FixedVertex tri[3] = {Vx(0, 0, 0, 0.5, 0.5), Vx(4, 0, 0, 0.5, 0.5), Vx(0, 4, 0, 0.5, 0.5)};
        for (SWTri_FixedVertex& v : tri)
            v.a = v.r = v.g = v.b = -1;
        filler(tri, canvas.Origin(), canvas.Pitch(), &texture, &kNoColor);
        EXPECT_EQ(canvas.At(1, 1) & 0xFFFFFF, 0u); // blended at coverage 0 over black
    }
}
