// Fills, lines and coverage spans of the memory image, pinned bit for bit.
#include "DrawingFixtures.h"

#include "framework/graphics/PixelMath.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace drawing;
using Nubra::Color;
using Nubra::Rect;

namespace {

using Strings = std::vector<std::string>;

uint32_t FillOnto(uint32_t pixel, const Color& color)
{
    auto image = ImageOf({pixel}, 1);
    image->FillRect(Rect(0, 0, 1, 1), color, 0);
    return image->GetBits()[0];
}

} // namespace

TEST(CompositingTest, FillsCompositeWithTheDestinationAlphaTakingPart)
{
    const ColorCase rows[] = {
        {"onto transparent black: weight 255", 0x00000000, Color(255, 100, 0, 128), 0x80FE6300},
        {"alpha 0 leaves the pixel", 0x00000000, Color(255, 255, 255, 0), 0x00000000},
        {"alpha 0 leaves a coloured pixel", 0x80123456, Color(9, 9, 9, 0), 0x80123456},
        {"opaque writes the packed colour", 0x80123456, Color(1, 2, 3, 255), 0xFF010203},
        {"onto alpha 100: out 160, weight 159", 0x64204080, Color(200, 50, 10, 100), 0xA0883736},
        {"onto opaque: weight = alpha", 0xFF000000, Color(255, 255, 255, 128), 0xFF7F7F7F},
        {"out-of-range components are held to 0-255", 0xFF000000, Color(300, -5, 255, 999), 0xFFFF00FF},
    };
    for (const ColorCase& row : rows)
        EXPECT_EQ(FillOnto(row.dest, row.color), row.expected) << row.what;
}

TEST(CompositingTest, BlitsFloorBluesTwoProductsApart)
{
    // d blue 1, s blue 1, weight 128: (128 + 128) / 256 = 1 once, 0 + 0 apart.
    EXPECT_EQ(Nubra::MixRGB(0x010101, 0x010101, 128), 0x010101u);
    EXPECT_EQ(Nubra::MixRGBSplitBlue(0x010101, 0x010101, 128), 0x010100u);

    auto fill = ImageOf({0xFF010101}, 1);
    fill->FillRect(Rect(0, 0, 1, 1), Color(1, 1, 1, 128), 0);
    EXPECT_EQ(fill->GetBits()[0], 0xFF010101u);

    auto blit = ImageOf({0xFF010101}, 1);
    auto source = ImageOf({0x80010101}, 1);
    blit->Blt(source.get(), 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
    EXPECT_EQ(blit->GetBits()[0], 0xFF010100u);
}

TEST(FillTest, FillsAndClearsOnlyWhatLiesOnTheImage)
{
    auto image = Filled(4, 3, 0xFF000000);
    uint32_t before = image->bitsChangedCount;
    image->FillRect(Rect(-2, 1, 4, 5), Color(0, 0, 255), 1); // draw mode ignored
    image->ClearRect(Rect(3, -1, 3, 2));
    EXPECT_EQ(GridOf(*image), Grid({0xFF000000, 0xFF000000, 0xFF000000, 0x00000000,
                                    0xFF0000FF, 0xFF0000FF, 0xFF000000, 0xFF000000,
                                    0xFF0000FF, 0xFF0000FF, 0xFF000000, 0xFF000000}, 4));
    EXPECT_EQ(image->bitsChangedCount, before + 2);

    image->FillRect(Rect(10, 10, 5, 5), Color::White, 0); // nothing of it on the image
    image->ClearRect(Rect(0, 0, 0, 3));
    EXPECT_EQ(image->bitsChangedCount, before + 2);
}

TEST(LineTest, WalkersLightTheirPixels)
{
    struct Row {
        const char* what;
        double x1, y1, x2, y2;
        int mode;
        Strings lit;
    } rows[] = {
        {"x-major, normal", 0, 0, 4, 2, 0, {"0,0", "1,0", "2,1", "3,1", "4,2"}},
        {"x-major, additive", 0, 0, 4, 2, 1, {"0,0", "1,0", "2,1", "3,1", "4,2"}},
        {"drawn backwards", 4, 2, 0, 0, 0, {"0,0", "1,0", "2,1", "3,1", "4,2"}},
        {"fraction seeds the normal walk", 0.5, 0.5, 4.5, 2.5, 0, {"0,0", "1,1", "2,1", "3,2", "4,2"}},
        {"not the additive walk", 0.5, 0.5, 4.5, 2.5, 1, {"0,0", "1,0", "2,1", "3,1", "4,2"}},
        {"y-major", 0, 0, 2, 4, 0, {"0,0", "0,1", "1,2", "1,3", "2,4"}},
        {"minor axis falling", 0, 4, 4, 2, 0, {"4,2", "2,3", "3,3", "0,4", "1,4"}},
        {"ends where a step leaves the box", 0, 1.9, 3, 0.95, 0, {"0,1", "1,1"}},
        {"the additive walk of that line", 0, 1.9, 3, 0.95, 1, {"0,1", "1,1", "2,1"}},
        {"horizontal fills x 2..7", 7, 5, 2, 5, 0, {"2,5", "3,5", "4,5", "5,5", "6,5", "7,5"}},
        {"vertical fills y 1..9", 3, 9.5, 3, 1.2, 1,
         {"3,1", "3,2", "3,3", "3,4", "3,5", "3,6", "3,7", "3,8", "3,9"}},
    };
    for (const Row& row : rows) {
        auto image = Filled(8, 12, 0);
        image->DrawLine(row.x1, row.y1, row.x2, row.y2, Color::White, row.mode);
        EXPECT_EQ(Changed(*image, 0), row.lit) << row.what;
    }
}

TEST(LineTest, PixelRulesOfEachDrawer)
{
    struct Row {
        const char* what;
        uint32_t dest;
        Color color;
        int mode;
        uint32_t expected;
    } rows[] = {
        {"opaque: (c x 255 + 127) / 256, so 255 is 254", 0x00000000, Color(255, 128, 0), 0, 0xFFFE7F00},
        {"translucent: rounded mix, opaque result", 0xFF204060, Color(200, 100, 0, 128), 0, 0xFF745230},
        {"alpha 0 keeps the channels, makes it opaque", 0x00204060, Color(255, 255, 255, 0), 0, 0xFF204060},
        {"additive: c x a / 255 added", 0xFF808080, Color(200, 100, 50, 128), 1, 0xFFE4B299},
        {"additive saturates and makes it opaque", 0x10F0F0F0, Color(255, 255, 255), 1, 0xFFFFFFFF},
    };
    for (const Row& row : rows) {
        auto image = Filled(2, 2, row.dest);
        image->DrawLine(0, 0, 1, 1, row.color, row.mode);
        EXPECT_EQ(image->GetBits()[0], row.expected) << row.what;
        EXPECT_EQ(image->GetBits()[3], row.expected) << row.what;
        EXPECT_EQ(image->GetBits()[1], row.dest) << row.what;
    }
}

TEST(LineTest, UnknownModesDrawNothingYetCountAsAChange)
{
    auto image = Filled(4, 4, 0);
    uint32_t before = image->bitsChangedCount;
    image->DrawLine(0, 0, 3, 2, Color::White, 2);
    image->DrawLineAA(0, 0, 3, 2, Color::White, 1);
    EXPECT_EQ(Changed(*image, 0), Strings{});
    EXPECT_EQ(image->bitsChangedCount, before + 2);

    image->DrawLine(0, 1, 3, 1, Color::White, 2); // horizontal: a fill, whatever the mode
    EXPECT_EQ(Changed(*image, 0), (Strings{"0,1", "1,1", "2,1", "3,1"}));
}

TEST(LineTest, LinesOffTheImageOrOutOfRangeAreSafe)
{
    auto image = Filled(4, 4, 0);
    image->DrawLine(-3, -1, 6, 2, Color::White, 0);
    image->DrawLine(-3, 5, 6, 2, Color::White, 1);
    image->DrawLineAA(-3, 5, 6, 2, Color::White, 0);
    image->DrawLine(0, 0, 1e300, 3, Color::White, 0);
    image->DrawLineAA(std::nan(""), 0, 3, 3, Color::White, 0);
    EXPECT_EQ(image->GetBits()[16], MemoryImage::kGuardWord);
    EXPECT_FALSE(Changed(*image, 0).empty());
}

TEST(AntiAliasedLineTest, WuSharesBecomeAlphas)
{
    auto image = Filled(5, 4, 0xFF000000);
    image->DrawLineAA(0, 0, 4, 2, Color::White, 0);
    const uint32_t full = 0xFFFEFEFE, half = 0xFF7E7E7E, other = 0xFF7F7F7F, none = 0xFF000000;
    EXPECT_EQ(GridOf(*image), Grid({full, half, none, none, none,
                                    none, other, full, half, none,
                                    none, none, none, other, half,
                                    none, none, none, none, none}, 5));
}

TEST(AntiAliasedLineTest, TranslucentColoursScaleTheShares)
{
    // Alpha 127: share 255 is alpha (255 x 128) >> 8 = 127, share 128 is 64.
    auto image = Filled(5, 3, 0xFF000000);
    image->DrawLineAA(0, 0, 4, 2, Color(255, 255, 255, 127), 0);
    EXPECT_EQ(image->GetBits()[0], 0xFF7E7E7Eu);
    EXPECT_EQ(image->GetBits()[6], 0xFF3F3F3Fu);
}

TEST(AntiAliasedLineTest, BothEndsInOnePixelDrawItTwice)
{
    // Share 255 - (0.2 x 0.3 x 65536 >> 8) = 240, twice: 239, then 254.
    auto image = Filled(3, 3, 0xFF000000);
    image->DrawLineAA(1.2, 1.3, 1.7, 1.6, Color::White, 0);
    EXPECT_EQ(Changed(*image, 0xFF000000), Strings{"1,1"});
    EXPECT_EQ(image->GetBits()[4], 0xFFFEFEFEu);
}

TEST(CoverageTest, EachPixelTakesItsOwnCoverageByte)
{
    // Coverage grid of 4 x 2 placed at (1, 1); the span's last pixel has no byte.
    auto image = Filled(6, 3, 0xFF000000);
    const uint8_t coverage[] = {9, 9, 9, 9, 0, 255, 127, 64};
    const Nubra::Span span{2, 1, 5};
    image->FillScanLinesWithCoverage(&span, 1, Color::White, 0, coverage, 1, 1, 4, 2);
    const uint32_t black = 0xFF000000;
    EXPECT_EQ(GridOf(*image), Grid({black, black, black, black, black, black,
                                    black, black, black, black, black, black,
                                    black, black, 0xFFFEFEFE, 0xFF7E7E7E, 0xFF3F3F3F, black}, 6));
}
