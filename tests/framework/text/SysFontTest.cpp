#include "framework/app/NubraAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/GlyphCompositor.h"
#include "framework/text/SysFont.h"
#include "framework/util/StringUtils.h"
#include "platform/FontFace.h"
#include "platform/Presenter.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using namespace Nubra;

namespace {

// The installed file's own Windows metrics and hinted advances at a pixel size, read apart
// from the code under test.
struct FaceFile {
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    FaceFile(const std::string& path, int pixelSize)
    {
        EXPECT_EQ(FT_Init_FreeType(&library), 0);
        EXPECT_EQ(FT_New_Face(library, path.c_str(), 0, &face), 0);
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
    }
    ~FaceFile()
    {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
    }
    int Scaled(int units) const
    {
        return int(std::lround(double(units) * face->size->metrics.y_ppem / face->units_per_EM));
    }
    const TT_OS2& OS2() const { return *static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); }
    int Advance(char32_t c) const
    {
        FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP);
        return int(face->glyph->advance.x >> 6);
    }
};

// An image that keeps a copy of what is blitted onto it, and can claim to be the screen drawn
// through the accelerated path.
struct CapturingImage : Image {
    struct Draw {
        int x, y;
        Rect source;
        Color color;
        int mode;
        int width, height;
        std::vector<uint32_t> pixels;
    };
    std::vector<Draw> draws;
    bool accelerated = false;

    CapturingImage(int w, int h)
    {
        width = w;
        height = h;
    }
    bool Check3D() override { return accelerated; }
    void Blt(Image* image, int x, int y, const Rect& src, const Color& color, int mode) override
    {
        auto* memory = static_cast<MemoryImage*>(image);
        const uint32_t* bits = memory->GetBits();
        draws.push_back({x, y, src, color, mode, memory->width, memory->height,
                         std::vector<uint32_t>(bits, bits + memory->width * memory->height)});
    }
};

std::vector<uint32_t> Pixels(MemoryImage& image)
{
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + image.width * image.height);
}

} // namespace

TEST(SysFontTest, PointsBecomePixelsAt96DpiRoundedToNearest)
{
    struct Case {
        int points, dpi, pixels;
    };
    for (auto c : {Case{7, 96, 9}, {8, 96, 11}, {10, 96, 13}, {12, 96, 16}, {-7, 96, -9}, {0, 96, 0},
                   {3, 12, 1}, {-3, 12, -1}, {9, 8, 1}}) {
        EXPECT_EQ(SysFont::PointsToPixels(c.points, c.dpi), c.pixels) << c.points << " at " << c.dpi;
    }
    EXPECT_EQ(SysFont("Arial", 12).GetPixelHeight(), 16);
    EXPECT_EQ(SysFont(nullptr, "Arial", 8, 0).GetPixelHeight(), 11);
}

TEST(SysFontTest, WindowsFaceNamesFindTheirMetricCompatibleFacesInEachStyle)
{
    struct Case {
        const char* face;
        bool bold, italic;
        const char* family;
    };
    for (auto c : {Case{"Arial", false, false, "Liberation Sans"}, {"Arial", true, false, "Liberation Sans"},
                   {"Arial", false, true, "Liberation Sans"}, {"Arial", true, true, "Liberation Sans"},
                   {"Courier New", true, false, "Liberation Mono"}, {"Times New Roman", false, true, "Liberation Serif"}}) {
        SysFont font(c.face, 10, c.bold, c.italic);
        ASSERT_NE(font.GetFace(), nullptr) << c.face;
        EXPECT_EQ(font.GetFace()->FamilyName(), c.family) << c.face;
        EXPECT_EQ(font.GetFace()->IsBold(), c.bold) << c.face;
        EXPECT_EQ(font.GetFace()->IsItalic(), c.italic) << c.face;
    }
    SysFont unknown("No Such Face Anywhere", 10);
    ASSERT_NE(unknown.GetFace(), nullptr); // a default face stands in
    EXPECT_GT(unknown.GetHeight(), 0);
}

TEST(SysFontTest, LineMetricsFollowTheFacesWindowsAscentAndDescent)
{
    for (int points : {8, 12, 20}) {
        SysFont font("Arial", points);
        ASSERT_NE(font.GetFace(), nullptr);
        FaceFile file(font.GetFace()->FilePath(), font.GetPixelHeight());
        int ascent = file.Scaled(file.OS2().usWinAscent);
        int descent = file.Scaled(file.OS2().usWinDescent);
        EXPECT_EQ(font.GetAscent(), ascent) << points;
        EXPECT_EQ(font.GetDescent(), descent) << points;
        EXPECT_EQ(font.GetHeight(), ascent + descent) << points;
        EXPECT_EQ(font.GetLineSpacing(), ascent + descent) << points;
        EXPECT_EQ(font.GetAscentPadding(), 0);
        EXPECT_EQ(font.GetLineSpacingOffset(), 0);
    }
}

TEST(SysFontTest, WidthsAreSumsOfHintedAdvancesWithoutKerning)
{
    SysFont font("Arial", 12);
    SysFont bold("Arial", 12, true);
    ASSERT_NE(font.GetFace(), nullptr);
    FaceFile file(font.GetFace()->FilePath(), font.GetPixelHeight());

    EXPECT_EQ(font.StringWidth(L""), 0);
    EXPECT_EQ(font.StringWidth(L"Hello"), file.Advance('H') + file.Advance('e') + 2 * file.Advance('l') +
                                              file.Advance('o'));
    EXPECT_EQ(font.StringWidth(L"ii"), 2 * font.StringWidth(L"i"));
    EXPECT_EQ(font.StringWidth(L"AV"), font.StringWidth(L"A") + font.StringWidth(L"V"));
    EXPECT_EQ(font.CharWidth(L'W'), font.StringWidth(L"W"));
    EXPECT_EQ(font.CharWidthKern(L'V', L'A'), font.StringWidth(L"V"));
    EXPECT_EQ(font.StringWidth(L"a\nb\t"), font.StringWidth(L"ab")); // control characters take no room
    EXPECT_GT(bold.StringWidth(L"Hello"), font.StringWidth(L"Hello"));
}

TEST(SysFontTest, TextImageRecoveryTable)
{
    struct Case {
        uint32_t onWhite, onBlack, pixel;
    };
    for (auto c : {
             Case{0x00123456, 0x00123456, 0xFF123456}, // covered fully: opaque as drawn
             {0xFF123456, 0x00123456, 0xFF123456}, // only the colour bits count
             {0x00FFFFFF, 0x00000000, 0x00000000}, // untouched
             {0x00FFFFFF, 0x00808080, 0x80FFFFFF}, // white text at half coverage
             {0x00FF7F7F, 0x00800000, 0x80FF0000}, // red text at half coverage
             {0x00FFFFFF, 0x00010000, 0x00FF0000}, // shares a bit with white: the formula, coverage 0
             {0x00404040, 0x00000000, 0xBF000000}, // black at three-quarters coverage
             {0x00000000, 0x00101010, 0xFF0F0F0F}, // black gained more than white lost: alpha stays opaque
         }) {
        EXPECT_EQ(SysFont::RecoverPixel(c.onWhite, c.onBlack), c.pixel)
            << std::hex << c.onWhite << " " << c.onBlack;
    }
}

TEST(SysFontTest, AGlyphDrawnOnPixelsMixesTheColourByItsCoverage)
{
    SysFont font("Arial", 12);
    ASSERT_NE(font.GetFace(), nullptr);
    constexpr int W = 24, H = 24;
    constexpr uint32_t kBackground = 0x80404040; // the top byte is not colour and stays
    std::vector<uint32_t> pixels(W * H, kBackground);
    Graphics g;
    g.Translate(2, 1);
    font.DrawStringOnSurface(PixelRows::Words(pixels.data(), W, H), &g, 3, 14, L"A", Color(200, 100, 0, 0),
                             Rect(0, 0, W, H));

    auto face = plat::FontFace::Open("Arial", font.GetPixelHeight(), false, false);
    const plat::Glyph& glyph = face->GlyphFor(U'A');
    int left = 3 + 2 + glyph.left;
    int top = (14 - font.GetAscent() + 1 + 1) + font.GetAscent() - glyph.top;
    auto mix = [](int colour, int pixel, int cover) { return (colour * cover + pixel * (255 - cover)) / 255; };
    int covered = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            bool inGlyph = x >= left && x < left + glyph.width && y >= top && y < top + glyph.rows;
            int cover = inGlyph ? glyph.coverage[(y - top) * glyph.width + (x - left)] : 0;
            covered += cover > 0;
            uint32_t expected = 0x80000000 | mix(200, 0x40, cover) << 16 | mix(100, 0x40, cover) << 8 |
                                mix(0, 0x40, cover);
            ASSERT_EQ(pixels[y * W + x], expected) << x << "," << y;
        }
    }
    EXPECT_GT(covered, 10);
}

namespace {

// White text of one glyph as the image road makes it: alpha is the coverage, colour white.
struct TextImageTest : ::testing::Test {
    SysFont font{"Arial", 12};
    std::unique_ptr<plat::FontFace> face = plat::FontFace::Open("Arial", 16, false, false);

    // The expected picture of "text" drawn in white at the left edge.
    std::vector<uint32_t> WhiteText(const std::wstring& text)
    {
        int width = font.StringWidth(text), height = font.GetHeight();
        std::vector<uint32_t> out(width * height, 0);
        int pen = 0;
        for (wchar_t c : text) {
            const plat::Glyph& glyph = face->GlyphFor(char32_t(c));
            for (int r = 0; r < glyph.rows; ++r) {
                for (int col = 0; col < glyph.width; ++col) {
                    int x = pen + glyph.left + col, y = font.GetAscent() - glyph.top + r;
                    uint32_t cover = glyph.coverage[r * glyph.width + col];
                    if (x >= 0 && x < width && y >= 0 && y < height && cover)
                        out[y * width + x] = cover << 24 | 0xFFFFFF;
                }
            }
            pen += glyph.advance;
        }
        return out;
    }

    // The coverage of "text" over a W x H surface when its line's top-left corner is at (left, top).
    std::vector<int> CoverageOn(int W, int H, const std::wstring& text, int left, int top)
    {
        std::vector<uint32_t> image = WhiteText(text);
        int width = font.StringWidth(text);
        std::vector<int> out(W * H, 0);
        for (int y = std::max(top, 0); y < std::min(top + font.GetHeight(), H); ++y) {
            for (int x = std::max(left, 0); x < std::min(left + width, W); ++x)
                out[y * W + x] = int(image[(y - top) * width + (x - left)] >> 24);
        }
        return out;
    }
};

int Alpha(uint32_t pixel) { return int(pixel >> 24); }

} // namespace

TEST_F(TextImageTest, TheImageRoadDrawsTheCoverageAsAlphaAtTheTopOfTheLine)
{
    CapturingImage target(60, 40);
    Graphics g(&target);
    g.TranslateF(4.9f, 2.0f);
    g.SetFont(&font);
    g.SetColor(Color(255, 255, 255, 0)); // the colour's alpha plays no part
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.DrawString(L"Ag", 10, 20);

    ASSERT_EQ(target.draws.size(), 1u);
    const auto& draw = target.draws[0];
    EXPECT_EQ(draw.x, 14);
    EXPECT_EQ(draw.y, 20 - font.GetAscent() + 2);
    EXPECT_EQ(draw.width, font.StringWidth(L"Ag"));
    EXPECT_EQ(draw.height, font.GetHeight());
    EXPECT_EQ(draw.mode, DRAWMODE_ADDITIVE);
    EXPECT_EQ(draw.pixels, WhiteText(L"Ag"));
}

TEST_F(TextImageTest, TheColourComesBackExactlyAndItsAlphaChangesNothing)
{
    auto opaque = font.RenderTextImage(L"Mix", Color(30, 200, 90, 255));
    auto clear = font.RenderTextImage(L"Mix", Color(30, 200, 90, 0));
    ASSERT_TRUE(opaque && clear);
    EXPECT_EQ(Pixels(*opaque), Pixels(*clear));
    for (uint32_t pixel : Pixels(*opaque)) {
        if (Alpha(pixel) == 255) {
            EXPECT_EQ(pixel, 0xFF1EC85Au);
        }
    }
}

TEST_F(TextImageTest, NothingIsDrawnForEmptyTextOrWithoutADestination)
{
    CapturingImage target(60, 40);
    Graphics g(&target);
    g.SetFont(&font);
    g.DrawString(L"", 10, 20);
    EXPECT_TRUE(target.draws.empty());
    EXPECT_EQ(font.RenderTextImage(L"", Color::White), nullptr);
    Graphics nowhere;
    nowhere.SetFont(&font);
    nowhere.DrawString(L"text", 10, 20); // the empty image's context: nothing, no crash
}

TEST_F(TextImageTest, TheSurfaceRoadSitsOnePixelLowerThanTheImageRoad)
{
    constexpr int W = 40, H = 30;
    std::vector<uint32_t> surface(W * H, 0);
    Graphics g;
    font.DrawStringOnSurface(PixelRows::Words(surface.data(), W, H), &g, 5, 20, L"Hi", Color::White,
                             Rect(0, 0, W, H));
    std::vector<int> expected = CoverageOn(W, H, L"Hi", 5, 20 - font.GetAscent() + 1);
    for (int i = 0; i < W * H; ++i)
        ASSERT_EQ(int(surface[i] & 0xFF), expected[i]) << i % W << "," << i / W;
}

TEST_F(TextImageTest, TheSurfaceRoadKeepsToItsClip)
{
    constexpr int W = 40, H = 30;
    std::vector<uint32_t> surface(W * H, 0);
    Graphics g;
    font.DrawStringOnSurface(PixelRows::Words(surface.data(), W, H), &g, 0, 20, L"MMMM", Color::White,
                             Rect(4, 0, 6, H));
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (x < 4 || x >= 10) {
                ASSERT_EQ(surface[y * W + x], 0u) << x << "," << y;
            }
        }
    }
}

TEST_F(TextImageTest, OnTheAcceleratedScreenTheTextIsPlacedAsOnASurfaceUntinted)
{
    CapturingImage screen(60, 40);
    screen.accelerated = true;
    Graphics g(&screen);
    g.TranslateF(2.6f, 1.4f);
    g.SetFont(&font);
    g.SetColor(Color(255, 255, 255, 0));
    g.SetColorizeImages(true);
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.DrawString(L"Ag", 10, 20);

    ASSERT_EQ(screen.draws.size(), 1u);
    const auto& draw = screen.draws[0];
    EXPECT_EQ(draw.x, 13);
    EXPECT_EQ(draw.y, 20 - font.GetAscent() + 1 + 1);
    EXPECT_EQ(draw.color, Color::White);
    EXPECT_EQ(draw.mode, DRAWMODE_NORMAL);
    EXPECT_EQ(draw.pixels, WhiteText(L"Ag"));
}

TEST_F(TextImageTest, AShadowStaysInsideTheTextsBoxAndShowsBlackUnderTheText)
{
    auto plain = font.RenderTextImage(L"Hj", Color::White);
    font.drawShadow = true;
    auto shadowed = font.RenderTextImage(L"Hj", Color::White);
    ASSERT_TRUE(plain && shadowed);
    EXPECT_EQ(shadowed->width, plain->width);
    EXPECT_EQ(shadowed->height, plain->height);
    int blackShadow = 0;
    for (uint32_t pixel : Pixels(*shadowed))
        blackShadow += Alpha(pixel) == 255 && (pixel & 0xFFFFFF) == 0;
    EXPECT_GT(blackShadow, 0);
}

TEST_F(TextImageTest, SimulatedBoldRepeatsTheTextOnePixelRight)
{
    auto plain = font.RenderTextImage(L"l", Color::White);
    font.simulateBold = true;
    auto bold = font.RenderTextImage(L"l", Color::White);
    ASSERT_TRUE(plain && bold);
    ASSERT_EQ(bold->width, plain->width);
    std::vector<uint32_t> p = Pixels(*plain), b = Pixels(*bold);
    int w = plain->width;
    for (int i = 0; i < int(p.size()); ++i) {
        int left = i % w ? Alpha(p[i - 1]) : 0;
        EXPECT_GE(Alpha(b[i]), std::max(Alpha(p[i]), left) - 1) << i;
    }
}

TEST_F(TextImageTest, AnUnderlineRunsUnderTheWholeText)
{
    SysFont underlined("Arial", 12, false, false, true);
    auto image = underlined.RenderTextImage(L"a b", Color::White);
    ASSERT_TRUE(image);
    int row = underlined.GetAscent() + underlined.GetFace()->UnderlineOffset();
    ASSERT_LT(row, image->height);
    std::vector<uint32_t> pixels = Pixels(*image);
    for (int x = 0; x < image->width; ++x)
        EXPECT_EQ(pixels[row * image->width + x], 0xFFFFFFFFu) << x;
}

TEST_F(TextImageTest, ADuplicateKeepsFaceAndMetricsButDropsShadowBoldAndLayoutOffsets)
{
    auto expected = font.RenderTextImage(L"Dup", Color::White);
    font.drawShadow = true;
    font.simulateBold = true;
    font.ascentPadding = 3;
    font.lineSpacingOffset = -2;
    std::unique_ptr<Font> copy(font.Duplicate());
    auto* sysCopy = dynamic_cast<SysFont*>(copy.get());
    ASSERT_NE(sysCopy, nullptr);
    EXPECT_FALSE(sysCopy->drawShadow);
    EXPECT_FALSE(sysCopy->simulateBold);
    EXPECT_EQ(copy->GetAscentPadding(), 0);
    EXPECT_EQ(copy->GetLineSpacingOffset(), 0);
    EXPECT_EQ(copy->GetAscent(), font.GetAscent());
    EXPECT_EQ(copy->GetHeight(), font.GetHeight());
    auto drawn = sysCopy->RenderTextImage(L"Dup", Color::White);
    ASSERT_TRUE(expected && drawn);
    EXPECT_EQ(Pixels(*drawn), Pixels(*expected));
}

TEST_F(TextImageTest, SixteenBitSurfacesTakeTheTextUnderTheirMasksAndOtherDepthsNothing)
{
    constexpr int W = 20, H = 24;
    std::vector<uint16_t> surface(W * H, 0x8000); // 5-5-5 with the spare top bit set
    PixelRows rows{reinterpret_cast<uint8_t*>(surface.data()), W * 2, W, H, 16, 0x7C00, 0x03E0, 0x001F};
    Graphics g;
    font.DrawStringOnSurface(rows, &g, 2, 18, L"l", Color(255, 0, 255), Rect(0, 0, W, H));
    std::vector<int> cover = CoverageOn(W, H, L"l", 2, 18 - font.GetAscent() + 1);
    for (int i = 0; i < W * H; ++i) {
        int five = (cover[i] * 31 + 127) / 255;
        ASSERT_EQ(surface[i], 0x8000 | five << 10 | five) << i % W << "," << i / W;
    }

    std::vector<uint32_t> deep(W * H, 0);
    rows = PixelRows::Words(deep.data(), W, H);
    rows.bitsPerPixel = 24;
    font.DrawStringOnSurface(rows, &g, 2, 18, L"l", Color::White, Rect(0, 0, W, H));
    EXPECT_EQ(deep, std::vector<uint32_t>(W * H, 0));
}

TEST_F(TextImageTest, OnASurfaceImageTheTextGoesStraightIntoItsLockedSurface)
{
    constexpr int W = 40, H = 30;
    NubraAppBase app;
    app.width = W;
    app.height = H;
    DDInterface display(&app);
    display.UsePresenter(std::make_unique<plat::HeadlessPresenter>());
    display.is3D = false;
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    DDImage* screen = display.GetScreenImage();
    ASSERT_TRUE(screen->LockSurface()); // as while the widgets draw
    Graphics g(screen);
    g.SetFont(&font);
    g.SetColor(Color::White);
    g.DrawString(L"Hi", 5, 20);
    screen->UnlockSurface();

    std::vector<int> expected = CoverageOn(W, H, L"Hi", 5, 20 - font.GetAscent() + 1);
    for (int i = 0; i < W * H; ++i)
        ASSERT_EQ(int(display.drawSurface->PixelAt(i % W, i / W) & 0xFF), expected[i]) << i % W << "," << i / W;
}
