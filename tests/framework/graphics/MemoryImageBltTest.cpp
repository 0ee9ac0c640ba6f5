// Blits of one memory image onto another: the unscaled roads, the stretches and the rotated
// blit, pinned bit for bit.
#include "DrawingFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace drawing;
using Nubra::Color;
using Nubra::DRect;
using Nubra::Rect;

namespace {

// A blit of the whole source at (x, y).
void Blit(MemoryImage& dest, MemoryImage& source, int x, int y, const Color& color = Color::White, int mode = 0)
{
    dest.Blt(&source, x, y, Rect(0, 0, source.width, source.height), color, mode);
}

const uint32_t kDest = 0xFF102030;

} // namespace

TEST(BltTest, OpaqueDestinationCopiesOpaqueRunsSkipsClearOnesAndMixesPartialPixels)
{
    auto source = ImageOf({0xFF112233, 0xFF445566, 0x00FFFFFF, 0x00000000, 0x80FF8001, 0x40808080}, 6);
    auto dest = Filled(8, 1, kDest);
    Blit(*dest, *source, 1, 0);
    // Partial pixels: (d (256 - a) + s a) / 256, blue's two products floored apart, alpha 255.
    EXPECT_EQ(GridOf(*dest), Grid({kDest, 0xFF112233, 0xFF445566, kDest, kDest, 0xFF875018, 0xFF2C3844, kDest}, 8));
}

TEST(BltTest, RunsAreCutToTheSourceRectangleAndBothImages)
{
    auto source = ImageOf({0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006}, 6);
    struct Row {
        const char* what;
        int x;
        Rect src;
        Pixels expected;
    } rows[] = {
        {"an opaque run longer than the rectangle", 0, Rect(1, 0, 2, 1), {0xFF000002, 0xFF000003, kDest, kDest}},
        {"placed left of the destination", -1, Rect(0, 0, 6, 1), {0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005}},
        {"rectangle reaching left of the source", 0, Rect(-2, 0, 4, 1), {kDest, kDest, 0xFF000001, 0xFF000002}},
        {"rectangle below the source", 0, Rect(0, 1, 4, 1), {kDest, kDest, kDest, kDest}},
    };
    for (const Row& row : rows) {
        auto dest = Filled(4, 1, kDest);
        dest->Blt(source.get(), row.x, 0, row.src, Color::White, 0);
        EXPECT_EQ(GridOf(*dest), Grid(row.expected, 4)) << row.what;
    }
}

TEST(BltTest, ColourisedBlitTintsThenComposites)
{
    const ColorCase rows[] = {
        {"grey: one factor", 0xFF000000, Color(128, 128, 128), 0xFF3F1F0F},
        {"colour: a factor per channel", 0xFF000000, Color(255, 0, 128), 0xFF7E000F},
        {"colour alpha scales the source alpha", 0xFFFFFFFF, Color(255, 255, 255, 128), 0xFFBF9F8E},
        {"colour alpha 0 draws nothing", 0xFF123456, Color(255, 255, 255, 0), 0xFF123456},
        {"onto a transparent pixel", 0x00000000, Color(128, 128, 128), 0xFF3F1F0F},
    };
    for (const ColorCase& row : rows) {
        auto source = ImageOf({0xFF804020}, 1);
        auto dest = ImageOf({row.dest}, 1);
        Blit(*dest, *source, 0, 0, row.color);
        EXPECT_EQ(dest->GetBits()[0], row.expected) << row.what;
    }
}

TEST(BltTest, DestinationWithAlphaIsComposited)
{
    auto source = ImageOf({0xFFFFFFFF, 0x80FF0000, 0x00FFFFFF, 0x80010101}, 4);
    auto dest = ImageOf({0, 0, 0, 0x80010101}, 4);
    Blit(*dest, *source, 0, 0);
    // Last: out alpha 191, weight 170; blue 86 / 256 + 170 / 256 = 0 where one floor gives 1.
    EXPECT_EQ(GridOf(*dest), Grid({0xFFFEFEFE, 0x80FE0000, 0x00000000, 0xBF010100}, 4));
}

TEST(BltTest, TheCopyRoadFollowsTheDestinationFlagsAsTheyStand)
{
    // Cleared after its flags were committed opaque, the destination still takes the copy road.
    auto dest = Filled(1, 1, 0xFF000000);
    dest->ClearRect(Rect(0, 0, 1, 1));
    auto source = ImageOf({0x80FF0000}, 1);
    Blit(*dest, *source, 0, 0);
    EXPECT_EQ(dest->GetBits()[0], 0xFF7F0000u);
}

TEST(BltTest, AdditiveBlitSaturatesAndKeepsTheDestinationAlpha)
{
    struct Row {
        const char* what;
        Pixels source;
        Color color;
        uint32_t dest;
        Pixels expected;
    } rows[] = {
        {"white onto white stays white", {0xFFFFFFFF}, Color::White, 0xFFFFFFFF, {0xFFFFFFFF}},
        {"no partial alpha: added unweighted", {0xFF808080}, Color::White, 0x20404040, {0x20C0C0C0}},
        {"partial alpha: weighted by it", {0x80808080, 0xFF808080}, Color::White, 0x20404040,
         {0x20808080, 0x20BFBFBF}},
        {"colour factors c x a / 255", {0xFF808080}, Color(255, 128, 0, 128), 0x20404040, {0x20806040}},
        {"a keyed source's hidden colour adds nothing", {0x00FF00FF, 0xFF101010}, Color::White, 0x20404040,
         {0x20404040, 0x20505050}},
    };
    for (const Row& row : rows) {
        auto source = ImageOf(row.source, int(row.source.size()));
        auto dest = Filled(int(row.source.size()), 1, row.dest);
        Blit(*dest, *source, 0, 0, row.color, 1);
        EXPECT_EQ(PixelsOf(*dest), row.expected) << row.what;
    }
}

TEST(BltTest, APalettisedImageDrawsOntoItself)
{
    auto image = ImageOf({0xFF000001, 0xFF000002, 0xFF000003, 0xFF000001}, 4);
    ASSERT_TRUE(image->Palletize());
    image->Blt(image.get(), 2, 0, Rect(0, 0, 2, 1), Color::White, 0);
    EXPECT_EQ(PixelsOf(*image), (Pixels{0xFF000001, 0xFF000002, 0xFF000001, 0xFF000002}));
}

TEST(BltTest, OtherModesAndOtherImagesDrawNothingButMarkTheSourceDrawn)
{
    auto dest = Filled(2, 1, kDest);
    auto source = ImageOf({0xFFFFFFFF, 0xFFFFFFFF}, 2);
    const uint32_t before = dest->bitsChangedCount;
    Blit(*dest, *source, 0, 0, Color::White, 2);
    EXPECT_TRUE(source->drawn);

    Nubra::Image plain;
    plain.width = plain.height = 1;
    dest->Blt(&plain, 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
    dest->StretchBlt(&plain, Rect(0, 0, 2, 1), Rect(0, 0, 1, 1), Rect(0, 0, 2, 1), Color::White, 0, false);
    dest->BltRotated(&plain, 0, 0, Rect(0, 0, 1, 1), Rect(0, 0, 2, 1), Color::White, 0, 0.5, 0, 0);
    EXPECT_TRUE(plain.drawn);
    EXPECT_EQ(PixelsOf(*dest), Pixels(2, kDest));
    EXPECT_EQ(dest->bitsChangedCount, before);
}

TEST(StretchTest, FastStretchSamplesTheNearestPixel)
{
    const uint32_t a = 0xFF0000FF, b = 0xFFFF0000, c = 0xFF00FF00, d = 0xFF808080;
    const uint32_t a2 = 0xFF0000FE, b2 = 0xFFFE0000, c2 = 0xFF00FE00; // x 255 / 256
    struct Row {
        const char* what;
        Pixels source;
        Rect clip;
        Color color;
        Pixels expected; // the destination row, the source stretched to 4 pixels at x = 0
    } rows[] = {
        {"2 -> 4 reads columns 0 0 1 1", {a, b}, Rect(0, 0, 5, 1), Color::White, {a2, a2, b2, b2, 0}},
        {"the clip cuts the source box by rx", {a, b, c, d, a, b, c, d}, Rect(2, 0, 2, 1), Color::White,
         {0, 0, a2, c2, 0}},
        {"a colour tints like the colourised blit", {d, d}, Rect(0, 0, 5, 1), Color(128, 128, 128),
         {0xFF3F3F3F, 0xFF3F3F3F, 0xFF3F3F3F, 0xFF3F3F3F, 0}},
    };
    for (const Row& row : rows) {
        auto source = ImageOf(row.source, int(row.source.size()));
        auto dest = Filled(5, 1, 0);
        dest->StretchBlt(source.get(), Rect(0, 0, 4, 1), Rect(0, 0, source->width, 1), row.clip, row.color, 0,
                         true);
        EXPECT_EQ(PixelsOf(*dest), row.expected) << row.what;
    }
}

TEST(StretchTest, SmoothStretchFiltersWithIntegerWeights)
{
    const uint32_t w = 0xFFFFFFFF, k = 0xFF000000;
    struct Row {
        const char* what;
        Pixels source;
        int sourceWidth;
        Rect dest;
        Color color;
        int mode;
        Pixels expected;
    } rows[] = {
        {"scale 1, any colour and mode: 254", {w, w, w, w, w, w}, 3, Rect(0, 0, 3, 2), Color(255, 0, 0, 9), 1,
         Pixels(6, 0xFFFEFEFE)},
        {"shrinking across: box filter", {w, k}, 2, Rect(0, 0, 1, 1), Color::White, 0, {0xFF7E7E7E}},
        {"growing across: linear, x 257", {w, k}, 2, Rect(0, 0, 4, 1), Color::White, 0,
         {0xFFFEFEFE, 0xFFA9A9A9, 0xFF535353, 0xFF000000}},
        {"growing down: linear, x 256", {w, k}, 1, Rect(0, 0, 1, 4), Color::White, 0,
         {0xFFFEFEFE, 0xFFA8A8A8, 0xFF535353, 0xFF000000}},
        {"10 -> 9 across: box weights x 257 keep white at 254", Pixels(10, w), 10, Rect(0, 0, 9, 1), Color::White,
         0, Pixels(9, 0xFFFEFEFE)},
        {"10 -> 9 down: box weights x 256", Pixels(10, w), 1, Rect(0, 0, 1, 9), Color::White, 0,
         {0xFEFCFCFC, 0xFEFCFCFC, 0xFEFCFCFC, 0xFEFCFCFC, 0xFFFEFEFE, 0xFEFCFCFC, 0xFEFCFCFC, 0xFEFCFCFC, 0xFEFCFCFC}},
    };
    for (const Row& row : rows) {
        auto source = ImageOf(row.source, row.sourceWidth);
        auto dest = Filled(row.dest.width, row.dest.height, 0);
        dest->StretchBlt(source.get(), row.dest, Rect(0, 0, source->width, source->height), row.dest, row.color,
                         row.mode, false);
        EXPECT_EQ(GridOf(*dest), Grid(row.expected, row.dest.width)) << row.what;
    }
}

TEST(StretchTest, SmoothStretchOfAPictureWithAlpha)
{
    // Expected values from an independent model of the filter's arithmetic.
    Pixels pixels;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            pixels.push_back(((c + 2 * r) % 4 ? 0xFF000000 : 0x64000000) | uint32_t(30 * c + 60 * r + 10) * 0x010101);
    auto source = ImageOf(pixels, 5);
    const uint32_t b = 0x40302010;
    auto across = Filled(3, 7, b), down = Filled(7, 2, b);
    across->StretchBlt(source.get(), Rect(0, 0, 3, 7), Rect(0, 0, 5, 4), Rect(0, 0, 3, 7), Color::White, 0, false);
    down->StretchBlt(source.get(), Rect(0, 0, 7, 2), Rect(0, 0, 5, 4), Rect(0, 0, 7, 2), Color::White, 0, false);
    EXPECT_EQ(GridOf(*across), Grid({0xB81E1812, 0xFF454545, 0xB85B554F,
                                     0xDB322F2C, 0xDB5A5754, 0xDB817E7B,
                                     0xFF505050, 0xB8625C56, 0xFFB1B1B1,
                                     0xDB63605D, 0xDB8B8885, 0xDBB2AFAC,
                                     0xB869635D, 0xFFBDBDBD, 0xB8A6A09A,
                                     0xDB93908D, 0xDBA6A3A0, 0xDB7A7774,
                                     0xFFC8C8C8, 0xB88E8882, 0xFF2A2A29}, 3));
    EXPECT_EQ(GridOf(*down), Grid({0xC529241F, 0xEC393836, 0xEB4C4A48, 0xC5534E49, 0xEC6F6E6C, 0xEB82807E, 0xC57D7873,
                                   0xC57D7873, 0xECA5A4A2, 0xEBB7B5B3, 0xC5A6A19C, 0xEC8F8E8C, 0xEB7B7977, 0xC578736D},
                                  7));
}

TEST(StretchTest, DestinationOutsideTheClipDrawsNothing)
{
    auto source = Filled(2, 2, 0xFFFFFFFF);
    auto dest = Filled(4, 4, kDest);
    const uint32_t before = dest->bitsChangedCount;
    for (bool fast : {false, true})
        dest->StretchBlt(source.get(), Rect(4, 0, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Color::White, 0, fast);
    dest->StretchBlt(source.get(), Rect(0, 0, 0, 4), Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Color::White, 0, true);
    EXPECT_EQ(PixelsOf(*dest), Pixels(16, kDest));
    EXPECT_EQ(dest->bitsChangedCount, before);
}

TEST(StretchTest, SourceBoxesOffTheSourceStayInsideBothImages)
{
    auto source = Filled(3, 3, 0xFFFFFFFF);
    auto dest = Filled(6, 6, 0);
    const DRect boxes[] = {DRect(-2.5, -1, 4, 4), DRect(1.5, 1.5, 5, 5), DRect(-10, 0, 2, 1), DRect(0, 0, 40, 0.5)};
    for (const DRect& box : boxes) {
        dest->SmoothStretchBlt(source.get(), Rect(-1, 2, 8, 5), box, Color::White, 0);
        dest->FastStretchBlt(source.get(), Rect(3, -2, 5, 9), box, Color::White, 0);
    }
    EXPECT_EQ(dest->GetBits()[36], MemoryImage::kGuardWord);
}

namespace {

// Source pixel (c, r) of a 4 x 3 grey test source.
uint32_t Grey(int c, int r)
{
    const uint32_t level = uint32_t(30 * c + 60 * r + 10);
    return 0xFF000000 | level * 0x010101;
}

std::unique_ptr<MemoryImage> GreySource()
{
    Pixels pixels;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            pixels.push_back(Grey(c, r));
    return ImageOf(pixels, 4);
}

} // namespace

TEST(RotatedBltTest, AtAngleZeroEachTexelWeighs254AndTheEdgesAreLost)
{
    // Only source columns 1..2 and rows 0..1 appear, each at its own place.
    auto source = GreySource();
    auto dest = Filled(6, 5, 0);
    dest->BltRotated(source.get(), 1, 1, Rect(0, 0, 4, 3), Rect(0, 0, 6, 5), Color::White, 0, 0.0, 0, 0);
    Pixels expected(30, 0);
    for (int r = 0; r < 2; ++r)
        for (int c = 1; c < 3; ++c)
            expected[size_t(1 + r) * 6 + size_t(1 + c)] = 0xFF000000 | ((Grey(c, r) & 0xFF) * 254 >> 8) * 0x010101;
    EXPECT_EQ(GridOf(*dest), Grid(expected, 6));

    auto white = Filled(2, 2, 0xFFFFFFFF);
    auto one = Filled(3, 3, 0);
    one->BltRotated(white.get(), 0, 0, Rect(0, 0, 2, 2), Rect(0, 0, 3, 3), Color::White, 0, 0.0, 0, 0);
    EXPECT_EQ(PixelsOf(*one), Pixels(9, 0)) << "a 2-pixel-wide source shows nothing";
}

TEST(RotatedBltTest, BlendsOfEachMember)
{
    struct Row {
        const char* what;
        uint32_t texel;
        uint32_t dest;
        Color color;
        int mode;
        uint32_t expected;
    } rows[] = {
        {"opaque white is 253", 0xFFFFFFFF, 0x00000000, Color::White, 0, 0xFFFDFDFD},
        {"translucent onto opaque", 0x80FFFFFF, 0xFF000000, Color::White, 0, 0xFF7E7E7E},
        {"translucent onto transparent", 0x80FFFFFF, 0x00000000, Color::White, 0, 0x7EFDFDFD},
        {"tinted: red (S (c + 1)) >> 16, others ((S >> 8)(c + 1)) >> 8", 0xFFFFFFFF, 0, Color(255, 128, 0), 0,
         0xFFFC7E00},
        {"mode 1 adds, the destination alpha kept", 0xFF404040, 0x80101010, Color::White, 1, 0x804F4F4F},
        {"mode 2 adds too", 0xFF404040, 0x80101010, Color::White, 2, 0x804F4F4F},
        {"tinted additive", 0xFFFFFFFF, 0xFF000000, Color(255, 128, 0, 128), 1, 0xFF7E3F00},
    };
    for (const Row& row : rows) {
        auto source = Filled(3, 2, row.texel);
        auto dest = Filled(3, 2, row.dest);
        dest->BltRotated(source.get(), 0, 0, Rect(0, 0, 3, 2), Rect(0, 0, 3, 2), row.color, row.mode, 0.0, 0, 0);
        EXPECT_EQ(GridOf(*dest), Grid({row.dest, row.expected, row.dest, row.dest, row.dest, row.dest}, 3))
            << row.what;
    }
}

TEST(RotatedBltTest, FloatPositionsAreFilteredAndLoseTheFirstColumn)
{
    auto source = Filled(4, 4, 0xFFFFFFFF);
    auto dest = Filled(6, 4, 0);
    dest->BltF(source.get(), 0.5f, 0.0f, Rect(0, 0, 4, 4), Rect(0, 0, 6, 4), Color::White, 0);
    Pixels expected(24, 0);
    for (int r = 0; r < 3; ++r)
        for (int c = 1; c < 4; ++c)
            expected[size_t(r) * 6 + size_t(c)] = 0xFFFDFDFD; // two weights of 127
    EXPECT_EQ(GridOf(*dest), Grid(expected, 6));
    EXPECT_TRUE(source->drawn);
}

TEST(RotatedBltTest, TurnedPicturesMatchAnIndependentModel)
{
    // A 6 x 5 picture with some translucent texels, turned about (3, 2.5) onto a translucent
    // background: u falls along each row at 2.5 and -2.0, v at -2.0 and -0.8. Expected values from an
    // independent model of the arithmetic.
    Pixels pixels;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c)
            pixels.push_back(((c + r) % 3 ? 0xFF000000 : 0x80000000) | uint32_t(30 * c + 35 * r + 10) * 0x010101);
    auto source = ImageOf(pixels, 6);
    const uint32_t b = 0x80204060;
    const struct {
        double angle;
        float x, y;
        Pixels expected;
    } rows[] = {
        {2.5, 1.3f, 1.6f,
         {b, b, b, b, b,          b,          b,          b,          b,
          b, b, b, b, b,          b,          b,          b,          b,
          b, b, b, b, b,          b,          b,          b,          b,
          b, b, b, b, 0xF9BBBCBC, b,          b,          b,          b,
          b, b, b, 0xCF9BA2AA, 0xE0A7ABAF, 0xDEA2A6AB, b, b,          b,
          b, b, b, 0xFF949494, 0xF6919293, 0xF98E8E8F, 0xF2898B8D, b, b,
          b, b, b, b, 0xCF525961, 0xE1555A5E, 0xDE50555A, b,          b,
          b, b, b, b, b,          0xF6353637, b,          b,          b}},
        {-0.8, 2.0f, 2.0f,
         {b, b, b, b,          b,          b,          b,          b,          b,
          b, b, b, b,          b,          0xE01F2428, b,          b,          b,
          b, b, b, b,          0xEF454749, 0xF4434446, 0xFB424343, b,          b,
          b, b, b, 0xE073787C, 0xD46C7379, 0xDC6C7176, 0xE16A6E72, 0xD361676E, b,
          b, b, b, b,          0xFFA6A6A6, 0xF79D9EA0, 0xF4969899, 0xFC9A9A9A, b,
          b, b, b, b,          b,          0xD7B2B8BE, 0xCAA1A9B1, b,          b,
          b, b, b, b,          b,          b,          b,          b,          b,
          b, b, b, b,          b,          b,          b,          b,          b}},
        {-2.0, 1.3f, 1.6f,
         {b, b, b, b, b,          b,          b,          b,          b,
          b, b, b, b, b,          b,          b,          b,          b,
          b, b, b, b, b,          0xE77A7D81, b,          b,          b,
          b, b, b, b, 0xEBA8ABAE, 0xF18B8D8F, 0xE1555A5E, b,          b,
          b, b, b, b, 0xCB99A1AA, 0xFB999A9A, 0xCB5D656D, b,          b,
          b, b, b, b, b,          0xED989A9C, 0xE675797C, b,          b,
          b, b, b, b, b,          b,          b,          b,          b,
          b, b, b, b, b,          b,          b,          b,          b}},
    };
    for (const auto& row : rows) {
        auto dest = Filled(9, 8, b);
        dest->BltRotated(source.get(), row.x, row.y, Rect(0, 0, 6, 5), Rect(0, 0, 9, 8), Color::White, 0, row.angle,
                         3.0f, 2.5f);
        EXPECT_EQ(GridOf(*dest), Grid(row.expected, 9)) << "angle " << row.angle;
    }
}

TEST(RotatedBltTest, EverySampleStaysInsideTheSourceAtAnyAngle)
{
    // Sources exactly the size of their rectangle, so a texel read outside it leaves the buffer.
    for (int size = 1; size <= 7; size += 3) {
        auto source = Filled(size, size + 1, 0x80FF8040);
        source->Palletize();
        auto bits = Filled(size, size + 1, 0x80FF8040);
        for (int step = 0; step < 24; ++step) {
            const double angle = step * 0.2618 - 0.3;
            const float x = float(step % 5) - 2.3f, y = float(step % 7) - 3.1f;
            for (MemoryImage* from : {source.get(), bits.get()}) {
                auto dest = Filled(9, 8, 0xFF000000);
                for (int mode : {0, 1})
                    for (const Color& color : {Color::White, Color(10, 200, 30, 100)})
                        dest->BltRotated(from, x, y, Rect(0, 0, size, size + 1), Rect(0, 0, 9, 8), color, mode,
                                         angle, 1.5f, -0.5f);
                EXPECT_EQ(dest->GetBits()[72], MemoryImage::kGuardWord);
            }
        }
    }
}

TEST(RotatedBltTest, ASourceRectangleOffItsImageDrawsNothing)
{
    auto source = Filled(4, 4, 0xFFFFFFFF);
    auto dest = Filled(6, 6, 0);
    for (const Rect& src : {Rect(-1, 0, 4, 4), Rect(1, 1, 4, 3), Rect(0, 2, 4, 3)})
        dest->BltRotated(source.get(), 1, 1, src, Rect(0, 0, 6, 6), Color::White, 0, 0.3, 0, 0);
    EXPECT_EQ(PixelsOf(*dest), Pixels(36, 0));
}

TEST(PaletteTest, APalettisedSourceDrawsAsItsBits)
{
    const Pixels pixels = {0xFF804020, 0x80FF0000, 0x00123456, 0xFFFFFFFF, 0x40408080, 0xFF804020,
                           0xFF000000, 0x80FF0000, 0xFF10E010, 0x00000000, 0xC0C0C0C0, 0xFF804020};
    using Draw = std::function<void(MemoryImage& dest, MemoryImage& source)>;
    const Rect whole(0, 0, 4, 3), clip(0, 0, 6, 5);
    const struct {
        const char* what;
        uint32_t background;
        Draw draw;
    } draws[] = {
        {"copy road", 0xFF336699, [](MemoryImage& d, MemoryImage& s) { Blit(d, s, 1, 1); }},
        {"compositing", 0x40336699, [](MemoryImage& d, MemoryImage& s) { Blit(d, s, 1, 1); }},
        {"colourised", 0xFF336699, [](MemoryImage& d, MemoryImage& s) { Blit(d, s, 1, 1, Color(40, 90, 200, 150)); }},
        {"additive", 0xFF336699, [](MemoryImage& d, MemoryImage& s) { Blit(d, s, 1, 1, Color::White, 1); }},
        {"rotated", 0x80336699,
         [&](MemoryImage& d, MemoryImage& s) { d.BltRotated(&s, 1, 0.5f, whole, clip, Color::White, 0, 0.4, 2, 1); }},
        {"smooth stretch", 0xFF336699,
         [&](MemoryImage& d, MemoryImage& s) { d.StretchBlt(&s, Rect(0, 0, 6, 5), whole, clip, Color::White, 0, false); }},
    };
    for (const auto& draw : draws) {
        auto fromBits = ImageOf(pixels, 4);
        auto fromPalette = ImageOf(pixels, 4);
        ASSERT_TRUE(fromPalette->Palletize());
        auto expected = Filled(6, 5, draw.background);
        auto actual = Filled(6, 5, draw.background);
        draw.draw(*expected, *fromBits);
        draw.draw(*actual, *fromPalette);
        EXPECT_EQ(GridOf(*actual), GridOf(*expected)) << draw.what;
        EXPECT_NE(fromPalette->colorTable, nullptr) << draw.what << " kept the source palettised";
        EXPECT_NE(PixelsOf(*actual), Pixels(30, draw.background)) << draw.what;
    }
}
