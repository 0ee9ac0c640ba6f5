#include "framework/raster/SWTriFillerTable.h"
#include "framework/raster/SWTriFillers.h"

#include <gtest/gtest.h>

using namespace Nubra;

namespace {

struct Selection {
    SWTri_Format format;
    bool T, A, V, C, B;
    int index;
    SWTri_FillerFn filler;
};

constexpr auto k8888 = SWTri_Format::ARGB8888;
constexpr auto k888 = SWTri_Format::RGB888;
constexpr auto k565 = SWTri_Format::RGB565;
constexpr auto k555 = SWTri_Format::RGB555;

const Selection kSelections[] = {
    {k8888, 0, 0, 1, 0, 0, 4, SWTri_Fill8888_V},
    {k8888, 0, 1, 1, 0, 1, 13, SWTri_Fill8888_V},
    {k8888, 0, 0, 1, 1, 0, 6, SWTri_Fill8888_VC},
    {k888, 0, 1, 1, 1, 1, 47, SWTri_Fill888_VC},
    {k565, 0, 0, 1, 0, 1, 69, SWTri_Fill565_V},
    {k565, 0, 0, 1, 1, 0, 70, SWTri_Fill565_VC},
    {k555, 0, 0, 1, 0, 0, 100, SWTri_Fill555_V},
    {k555, 0, 0, 1, 0, 1, 101, SWTri_Fill555_V},
    {k555, 0, 1, 1, 1, 0, 110, SWTri_Fill555_VC},
    {k8888, 1, 0, 0, 0, 0, 16, SWTri_Fill32_T},
    {k888, 1, 0, 0, 0, 0, 48, SWTri_Fill32_T},
    {k888, 1, 1, 0, 1, 1, 59, SWTri_Fill888_TACB},
    {k565, 1, 1, 0, 0, 1, 89, SWTri_Fill565_TAB},
    {k555, 1, 0, 0, 1, 0, 114, SWTri_Fill555_TC},
    {k8888, 1, 0, 1, 0, 0, 20, SWTri_Fill8888_TV},
    {k888, 1, 1, 1, 1, 1, 63, SWTri_Fill888_TAVCB},
    {k565, 1, 0, 1, 1, 0, 86, SWTri_Fill565_TVC},
    {k555, 1, 1, 1, 0, 1, 125, SWTri_Fill555_TAVB},
};

} // namespace

TEST(SWTriFillerTable, FormatAndBitsSelectTheirFiller)
{
    for (const Selection& s : kSelections) {
        const int index = SWTri_FillerIndex(s.format, s.T, s.A, s.V, s.C, s.B);
        EXPECT_EQ(index, s.index);
        EXPECT_EQ(SWTri_Fillers()[size_t(index)], s.filler) << "index " << index;
    }
}

TEST(SWTriFillerTable, UntexturedWithoutVertexColoursNeverDraws)
{
    for (SWTri_Format format : {k8888, k888, k565, k555})
        for (int bits = 0; bits < 16; ++bits) {
            const bool A = bits & 8, C = bits & 2, B = bits & 1;
            EXPECT_EQ(SWTri_Fillers()[size_t(SWTri_FillerIndex(format, false, A, false, C, B))], &SWTri_NoFill);
        }
}

TEST(SWTriFillerTable, OnlyTheNeverSelectedSlotsAreEmpty)
{
    // Textured, no texture alpha, bilinear: the driver sets A whenever B comes with a texture.
    for (int index = 0; index < 128; ++index) {
        const bool neverSelected = (index & 16) && !(index & 8) && (index & 1);
        EXPECT_EQ(SWTri_Fillers()[size_t(index)] == nullptr, neverSelected) << "index " << index;
    }
}

TEST(SWTriFillerTable, UnknownFormatSelectsNothing)
{
    EXPECT_EQ(SWTri_FillerIndex(SWTri_Format(0), false, false, true, false, false), -1);
    EXPECT_EQ(SWTri_FillerIndex(SWTri_Format(0x1234), true, true, true, true, true), -1);
    // A 16-bit destination handed over with a wrong code must not get 32-bit writes.
    uint16_t pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const SWTri_FixedVertex tri[3] = {{0, 0, 0xFF0000, 0, 0, 0, 0, 0},
                                      {4 << 16, 0, 0xFF0000, 0, 0, 0, 0, 0},
                                      {0, 1 << 16, 0xFF0000, 0, 0, 0, 0, 0}};
    SWTri_SelectFiller(false, false, true, false, tri, reinterpret_cast<uint8_t*>(pixels), 8, nullptr, nullptr,
                       SWTri_Format(0x1234), false);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(pixels[i], i + 1);
}

TEST(SWTriFillerTable, DrawsWithoutInitialisationAndInitialisingAgainChangesNothing)
{
    uint32_t pixel = 0;
    const SWTri_FixedVertex tri[3] = {{0, 0, 0xFF0000, 0x120000, 0x340000, 0x560000, 0, 0},
                                      {1 << 16, 0, 0xFF0000, 0x120000, 0x340000, 0x560000, 0, 0},
                                      {0, 1 << 16, 0xFF0000, 0x120000, 0x340000, 0x560000, 0, 0}};
    SWTri_SelectFiller(false, false, true, false, tri, reinterpret_cast<uint8_t*>(&pixel), 4, nullptr, nullptr, k888,
                       false);
    EXPECT_EQ(pixel, 0xFF123456u);
    const SWTri_FillerTable before = SWTri_Fillers();
    SWTri_InitFillerTable();
    SWTri_InitFillerTable();
    EXPECT_EQ(SWTri_Fillers(), before);
}
