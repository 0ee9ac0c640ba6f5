// The blend rows give the bits of the per-pixel arithmetic, whatever the row's length and
// whichever of their four-pixel and one-pixel forms a pixel falls to.
#include "framework/graphics/BlendRows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace Nubra;

namespace {

using Pixels = std::vector<uint32_t>;

struct BlendRowsTest : ::testing::Test {
    std::mt19937 random{2024};

    // Alphas 0, 255 and between, with runs of opaque destination pixels so that whole groups
    // of four take the four-pixel form and mixed groups the other.
    uint32_t Pixel(bool mostlyOpaque)
    {
        const uint32_t roll = random() % 8;
        uint32_t alpha = roll < 2 ? 0 : roll < 5 ? 255 : random() % 256;
        if (mostlyOpaque && random() % 6 != 0)
            alpha = 255;
        return alpha << 24 | (random() & 0xFFFFFF);
    }
    Pixels Row(int count, bool mostlyOpaque)
    {
        Pixels row;
        for (int i = 0; i < count; ++i)
            row.push_back(Pixel(mostlyOpaque));
        return row;
    }

    // Runs a row and its per-pixel reference over many rows; every length up to 37.
    template <typename RowFn, typename OneFn>
    void ExpectSameBits(RowFn row, OneFn one)
    {
        for (int round = 0; round < 400; ++round) {
            const int count = round % 38;
            const Pixels src = Row(count, false);
            Pixels actual = Row(count, round % 2 == 0), expected = actual;
            row(actual.data(), src.data(), count);
            for (int i = 0; i < count; ++i)
                expected[size_t(i)] = one(expected[size_t(i)], src[size_t(i)]);
            ASSERT_EQ(actual, expected) << "round " << round;
        }
    }
};

} // namespace

TEST_F(BlendRowsTest, MixingIntoAnOpaqueRow)
{
    ExpectSameBits(MixRowOpaque, [](uint32_t d, uint32_t s) { return 0xFF000000 | MixRGBSplitBlue(d, s, s >> 24); });
}

TEST_F(BlendRowsTest, Compositing)
{
    ExpectSameBits(CompositeRow, [](uint32_t d, uint32_t s) {
        return s >> 24 ? CompositeOnto<BlueRounding::Split>(d, s, s >> 24) : d;
    });
}

TEST_F(BlendRowsTest, CompositingTinted)
{
    for (const Color& color : {Color(255, 255, 255, 128), Color(10, 200, 99, 255), Color(0, 0, 0, 0),
                               Color(128, 128, 128, 1), Color(255, 0, 255, 254)}) {
        const Tint tint(color);
        ExpectSameBits([&](uint32_t* d, const uint32_t* s, int n) { CompositeTintedRow(d, s, n, tint); },
                       [&](uint32_t d, uint32_t s) {
                           const uint32_t sa = AlphaOf(s) * uint32_t(color.alpha) / 255;
                           const uint32_t tinted = PackARGB(0, RedOf(s) * uint32_t(color.red) / 256,
                                                            GreenOf(s) * uint32_t(color.green) / 256,
                                                            BlueOf(s) * uint32_t(color.blue) / 256);
                           return sa ? CompositeOnto<BlueRounding::Split>(d, tinted, sa) : d;
                       });
    }
}

TEST_F(BlendRowsTest, AddingWithSaturation)
{
    for (bool tinted : {false, true})
        for (bool weighted : {false, true}) {
            AddFactors factors;
            factors.tinted = tinted;
            factors.weighted = weighted;
            factors.r = 255;
            factors.g = 100;
            factors.b = 3;
            ExpectSameBits([&](uint32_t* d, const uint32_t* s, int n) { AddRow(d, s, n, factors); },
                           [&](uint32_t d, uint32_t s) {
                               uint32_t add[3] = {RedOf(s), GreenOf(s), BlueOf(s)};
                               const uint32_t f[3] = {factors.r, factors.g, factors.b};
                               for (int c = 0; c < 3; ++c) {
                                   if (tinted)
                                       add[c] = add[c] * f[c] / 256;
                                   if (weighted)
                                       add[c] = add[c] * AlphaOf(s) / 256;
                               }
                               return AddSaturated(d, add[0], add[1], add[2]);
                           });
        }
}
