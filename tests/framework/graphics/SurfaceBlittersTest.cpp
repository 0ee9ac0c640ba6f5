// The surface blitters on every pixel format a display surface takes. Each case gives the
// expected pixel for each format of kFormats, in its order.
#include "DisplayFixtures.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>

using namespace NubraTest;

namespace {

struct SurfaceFormat {
    const char* name;
    plat::PixelFormat format;
};

const SurfaceFormat kFormats[] = {
    {"XRGB8888", plat::PixelFormat::XRGB8888()}, {"XBGR8888", plat::PixelFormat::XBGR8888()},
    {"RGB565", plat::PixelFormat::RGB565()},     {"RGB555", plat::PixelFormat::RGB555()},
    {"BGR565", plat::PixelFormat::BGR565()},
};
constexpr size_t kFormatCount = std::size(kFormats);
using PerFormat = std::array<uint32_t, kFormatCount>;

constexpr uint32_t kMax = 0xFFFFFFFF; // stands for every colour field at its largest
const Color kWhite(255, 255, 255, 255);

struct SurfaceBlitTest : DisplayTest {
    size_t current = 0;
    DDImage* screen = nullptr;

    void StartFormat(size_t i)
    {
        current = i;
        Start(kFormats[i].format);
        screen = display->GetScreenImage();
    }
    const plat::PixelFormat& Format() const { return kFormats[current].format; }
    // kMax becomes the format's colour bits all set.
    uint32_t Resolve(uint32_t v) const { return v == kMax ? Format().ColorMask() : v; }
    std::string Where() const { return kFormats[current].name; }

    void Paint(int count, uint32_t before) { display->drawSurface->Fill({0, 0, count, 1}, Resolve(before)); }
    std::vector<uint32_t> Row(int count) const
    {
        std::vector<uint32_t> row;
        for (int x = 0; x < count; ++x)
            row.push_back(display->drawSurface->PixelAt(x, 0));
        return row;
    }
    uint32_t First() const { return display->drawSurface->PixelAt(0, 0); }

    // A one-row image of the application.
    std::unique_ptr<MemoryImage> Source(const std::vector<uint32_t>& pixels)
    {
        auto image = std::make_unique<MemoryImage>(&app);
        image->SetBits(pixels.data(), int(pixels.size()), 1, true);
        return image;
    }
};

// A partly transparent pixel kept out of the blitted rectangle, so that white blits take the
// run road rather than the copy road.
constexpr uint32_t kPartlyTransparent = 0x80808080;

} // namespace

TEST_F(SurfaceBlitTest, FillsAndLinesOnEveryFormat)
{
    struct Case {
        const char* name;
        bool line; // a sloped one-pixel line through (0, 0) rather than a one-pixel fill
        Color color;
        int mode;
        uint32_t before;
        PerFormat after;
    } cases[] = {
        {"opaque white fill", false, kWhite, DRAWMODE_NORMAL, 0, {0xFEFEFE, 0xFEFEFE, 0xFFFF, 0x7FFF, 0xFFFF}},
        {"opaque fill", false, Color(255, 128, 0), DRAWMODE_NORMAL, 0, {0xFE7F00, 0x7FFE, 0xFBE0, 0x7DE0, 0x3FF}},
        {"fill, alpha 0", false, Color(255, 255, 255, 0), DRAWMODE_NORMAL, 0x1234, {0x1234, 0x1234, 0x1234, 0x1234, 0x1234}},
        {"translucent fill", false, Color(0, 0, 0, 128), DRAWMODE_NORMAL, kMax, {0x7F7F7F, 0x7F7F7F, 0x7BEF, 0x3DEF, 0x7BEF}},
        {"additive white fill over white", false, kWhite, DRAWMODE_ADDITIVE, kMax, {kMax, kMax, kMax, kMax, kMax}},
        {"opaque white line", true, kWhite, DRAWMODE_NORMAL, 0, {0xFEFEFE, 0xFEFEFE, 0xF7DE, 0x7BDE, 0xF7DE}},
        {"translucent line", true, Color(255, 255, 255, 128), DRAWMODE_NORMAL, 0, {0x7F7F7F, 0x7F7F7F, 0x7BEF, 0x3DEF, 0x7BEF}},
        {"additive white line", true, kWhite, DRAWMODE_ADDITIVE, 0, {kMax, kMax, kMax, kMax, kMax}},
    };
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f);
        for (const Case& c : cases) {
            display->drawSurface->Fill({0, 0, 4, 4}, Resolve(c.before));
            if (c.line)
                screen->DrawLine(0, 0, 3, 2, c.color, c.mode);
            else
                screen->FillRect(Rect(0, 0, 1, 1), c.color, c.mode);
            EXPECT_EQ(First(), Resolve(c.after[f])) << Where() << ": " << c.name;
            EXPECT_EQ(display->drawSurface->PixelAt(3, 0), Resolve(c.before)) << Where() << ": " << c.name;
        }
    }
}

TEST_F(SurfaceBlitTest, TheRunRoadOnEveryFormat)
{
    struct Case {
        const char* name;
        uint32_t pixel; // blitted at (0, 0)
        Color color;
        uint32_t before;
        PerFormat after;
    } cases[] = {
        {"opaque run copies the word", 0xFFFF0000, kWhite, 0, {0xFFFF0000, 0xFF0000FF, 0xF800, 0x7C00, 0x1F}},
        {"transparent run writes nothing", 0x00FFFFFF, kWhite, 0x1234, {0x1234, 0x1234, 0x1234, 0x1234, 0x1234}},
        {"blended", 0x80FFFFFF, kWhite, 0, {0x80808080, 0x80808080, 0x8410, 0x4210, 0x8410}},
        // 256 - sa is not a multiple of 8: the spread form's 5-bit weight shows.
        {"blended over white", 0x64000000, kWhite, kMax, {0x649B9B9B, 0x649B9B9B, 0x94B2, 0x4A52, 0x94D2}},
        {"grey, opaque", 0xFFFFFFFF, Color(100, 100, 100), 0, {0x636363, 0x636363, 0x5AEB, 0x2D6B, 0x630C}},
        {"grey, translucent", 0x64FFFFFF, Color(100, 100, 100, 200), kMax, {0xCFCFCF, 0xCFCFCF, 0xC658, 0x6318, 0xCE79}},
        {"grey, alpha 0", 0xFFFF0000, Color(255, 255, 255, 0), 0xAA123456, {0x123456, 0x123456, 0x3456, 0x3456, 0x3456}},
        {"coloured, opaque", 0xFFFFFFFF, Color(255, 0, 0), 0, {0xFE0000, 0xFE, 0xF000, 0x7800, 0x1E}},
        {"coloured, translucent", 0xFFFFFFFF, Color(200, 100, 50, 128), kMax, {0xE3B198, 0x98B1E3, 0xDD72, 0x6EB2, 0x957B}},
    };
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f);
        for (const Case& c : cases) {
            auto source = Source({c.pixel, kPartlyTransparent});
            Paint(2, c.before);
            screen->Blt(source.get(), 0, 0, Rect(0, 0, 1, 1), c.color, DRAWMODE_NORMAL);
            EXPECT_EQ(First(), Resolve(c.after[f])) << Where() << ": " << c.name;
            EXPECT_EQ(display->drawSurface->PixelAt(1, 0), Resolve(c.before) & (Format().bitsPerPixel == 16 ? 0xFFFF : ~0u))
                << Where() << ": " << c.name;
        }
    }
}

TEST_F(SurfaceBlitTest, LongRunsAndPalettesOnEveryFormat)
{
    // 300 opaque pixels: a run of 255 and one of 45; the blit starts 10 pixels into the run.
    std::vector<uint32_t> pixels(300, 0xFFFF0000);
    pixels.push_back(kPartlyTransparent);
    const PerFormat red = {0xFFFF0000, 0xFF0000FF, 0xF800, 0x7C00, 0x1F};
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f); // sources made after: their display-format words follow the format
        auto source = Source(pixels);
        auto palettised = Source({0x00FFFFFF, 0xFFFF0000, 0x00FFFFFF, kPartlyTransparent});
        ASSERT_TRUE(palettised->Palletize());
        Paint(300, 0);
        screen->Blt(source.get(), 5, 0, Rect(10, 0, 290, 1), kWhite, DRAWMODE_NORMAL);
        const std::vector<uint32_t> row = Row(300);
        EXPECT_EQ(std::count(row.begin() + 5, row.begin() + 295, red[f]), 290) << Where();
        EXPECT_EQ(row[4], 0u) << Where();
        EXPECT_EQ(row[295], 0u) << Where();

        Paint(4, 0x1234);
        screen->Blt(palettised.get(), 0, 0, Rect(0, 0, 3, 1), kWhite, DRAWMODE_NORMAL);
        EXPECT_EQ(Row(3), (std::vector<uint32_t>{0x1234, red[f], 0x1234})) << Where();
    }
}

TEST_F(SurfaceBlitTest, MirroredBlitsWriteRightToLeftOnEveryFormat)
{
    const PerFormat red = {0xFFFF0000, 0xFF0000FF, 0xF800, 0x7C00, 0x1F};
    const PerFormat blue = {0xFF0000FF, 0xFFFF0000, 0x1F, 0x1F, 0xF800};
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f);
        auto source = Source({0xFFFF0000, 0x00000000, 0xFF0000FF, kPartlyTransparent});
        Paint(5, 0x0421);
        screen->NormalBltMirror(source.get(), 1, 0, Rect(0, 0, 3, 1), kWhite);
        EXPECT_EQ(Row(5), (std::vector<uint32_t>{0x0421, blue[f], 0x0421, red[f], 0x0421})) << Where();

        // Added, the top byte of a 32-bit pixel is cleared.
        Paint(5, 0);
        screen->AdditiveBltMirror(source.get(), 1, 0, Rect(0, 0, 3, 1), kWhite);
        EXPECT_EQ(Row(5), (std::vector<uint32_t>{0, blue[f] & 0xFFFFFF, 0, red[f] & 0xFFFFFF, 0})) << Where();
    }
}

TEST_F(SurfaceBlitTest, AdditiveBlitsOnEveryFormat)
{
    struct Case {
        const char* name;
        uint32_t pixel;
        Color color;
        uint32_t before;
        PerFormat after;
    } cases[] = {
        {"white over white", 0xFFFFFFFF, kWhite, kMax, {kMax, kMax, kMax, kMax, kMax}},
        {"blended source", 0x80FFFFFF, kWhite, 0xFF000000, {0x808080, 0x808080, 0x8410, 0x4210, 0x8410}},
        {"black runs are skipped", 0xFF000000, kWhite, 0xAA123456, {0xAA123456, 0xAA123456, 0x3456, 0x3456, 0x3456}},
        {"translucent colour", 0xFFFFFFFF, Color(255, 255, 255, 128), 0, {0x7F7F7F, 0x7F7F7F, 0x7BEF, 0x3DEF, 0x7BEF}},
        {"coloured", 0xFFFFFFFF, Color(255, 128, 0), 0, {0xFE7F00, 0x7FFE, 0xF3E0, 0x79E0, 0x3FE}},
    };
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f);
        for (const Case& c : cases) {
            auto source = Source({c.pixel});
            Paint(2, c.before);
            screen->Blt(source.get(), 0, 0, Rect(0, 0, 1, 1), c.color, DRAWMODE_ADDITIVE);
            EXPECT_EQ(First(), Resolve(c.after[f])) << Where() << ": " << c.name;
            EXPECT_TRUE(source->drawn);
        }
    }
}

TEST_F(SurfaceBlitTest, CopyAndOptionFlagRoadsOnEveryFormat)
{
    const PerFormat red = {0xFFFF0000, 0xFF0000FF, 0xF800, 0x7C00, 0x1F};
    // Blended by the source's alpha, with the RGB-order formulas where the display has them.
    struct Case {
        uint32_t pixel, before;
        PerFormat after;
    } optionCases[] = {
        {0x80FF0000, 0, {0x7F0000, 0x7F, 0x7800, 0x3C00, 0xF}},
        {0x4033CC99, kMax, {0xCCF2E5, 0xE5F2CB, 0xC79C, 0x63BC, 0xDF78}},
    };
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f);
        auto keyed = Source({0x00000000, 0xFFFF0000});
        Paint(2, 0x0421);
        screen->Blt(keyed.get(), 0, 0, Rect(0, 0, 2, 1), kWhite, DRAWMODE_NORMAL);
        EXPECT_EQ(Row(2), (std::vector<uint32_t>{0x0421, red[f]})) << Where();

        for (const auto& c : optionCases) {
            auto source = Source({c.pixel});
            source->SetOptionFlag(true);
            Paint(1, c.before);
            screen->Blt(source.get(), 0, 0, Rect(0, 0, 1, 1), kWhite, DRAWMODE_NORMAL);
            EXPECT_EQ(First(), Resolve(c.after[f])) << Where() << std::hex << " option flag " << c.pixel;
        }
    }
}

TEST_F(SurfaceBlitTest, SlopedLinesCoverTheMemoryImagesPixels)
{
    const double lines[][4] = {{0.5, 0.5, 9.7, 4.2}, {7.9, 0.2, 1.1, 6.6}, {2.5, 8.9, 3.7, 0.1}};
    auto memory = std::make_unique<MemoryImage>(&app);
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f);
        for (const auto& l : lines) {
            memory->Create(12, 12);
            memory->Clear();
            memory->NormalDrawLine(l[0], l[1], l[2], l[3], kWhite);
            display->ClearDDSurface(display->drawSurface.get());
            screen->NormalDrawLine(l[0], l[1], l[2], l[3], kWhite);
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 12; ++x)
                    EXPECT_EQ(display->drawSurface->PixelAt(x, y) != 0, memory->GetBits()[y * 12 + x] != 0)
                        << Where() << " line from " << l[0] << "," << l[1] << " at " << x << "," << y;
        }
    }
}

TEST_F(SurfaceBlitTest, AntiAliasedLinesAndCoverageOnEveryFormat)
{
    const PerFormat fullWeight = {0xFDFDFD, 0xFDFDFD, 0xEF9D, 0x77BD, 0xEFBD};
    const PerFormat fullCoverage = {0xFDFDFD, 0xFDFDFD, 0xEFBD, 0x77BD, 0xEFBD};
    const PerFormat quarterLeft = {0x3F3F3F, 0x3F3F3F, 0x39E7, 0x1CE7, 0x39E7}; // blended twice
    const PerFormat partCoverage = {0xB1B1B1, 0xB1B1B1, 0xAD75, 0x56B5, 0xAD75};
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f);
        // Ends one step apart: only the two ends, at full weight.
        display->ClearDDSurface(display->drawSurface.get());
        screen->NormalDrawLineAA(1, 1, 2, 2, kWhite);
        EXPECT_EQ(display->drawSurface->PixelAt(1, 1), fullWeight[f]) << Where();
        EXPECT_EQ(display->drawSurface->PixelAt(2, 2), fullWeight[f]) << Where();
        const std::vector<uint32_t> all = SurfacePixels(*display->drawSurface);
        EXPECT_EQ(all.size() - size_t(std::count(all.begin(), all.end(), 0u)), 2u) << Where();

        // Both ends on one pixel: it is blended twice, each time at weight (129 x 255) >> 8.
        Paint(1, kMax);
        screen->NormalDrawLineAA(0, 0, 0.5, 0.5, Color(0, 0, 0, 128));
        EXPECT_EQ(First(), quarterLeft[f]) << Where();

        const uint8_t coverage[] = {0, 255, 100};
        const Span span{0, 0, 3};
        Paint(3, 0);
        screen->FillScanLinesWithCoverageOnSurface(&span, 1, kWhite, coverage, 0, 0, 3, 1);
        EXPECT_EQ(Row(2), (std::vector<uint32_t>{0, fullCoverage[f]})) << Where();
        Paint(3, kMax);
        screen->FillScanLinesWithCoverageOnSurface(&span, 1, Color(0, 0, 0, 200), coverage, 0, 0, 3, 1);
        EXPECT_EQ(display->drawSurface->PixelAt(2, 0), partCoverage[f]) << Where();
    }
}

TEST_F(SurfaceBlitTest, AWriteOnlyFrameTakesOnlyTheLinesCoverageAndSurfaceCopies)
{
    Start();
    display->SetVideoOnlyDraw(true);
    DDImage* frame = display->GetScreenImage();
    ASSERT_TRUE(frame->videoMemoryWriteOnly);
    plat::Surface& pixels = *frame->surface;
    auto opaque = Picture({0xFFFF0000, 0xFFFF0000}, 2);
    auto blended = Source({0xFFFF0000, kPartlyTransparent});
    const uint8_t coverage[] = {255};
    const Span span{0, 0, 1};

    struct Case {
        const char* name;
        std::function<void()> draw;
        bool draws;
    } cases[] = {
        {"fill", [&] { frame->NormalFillRect(Rect(0, 0, 1, 1), kWhite); }, false},
        {"additive fill", [&] { frame->AdditiveFillRect(Rect(0, 0, 1, 1), kWhite); }, false},
        {"run road", [&] { frame->NormalBlt(blended.get(), 0, 0, Rect(0, 0, 1, 1), kWhite); }, false},
        {"memory copy", [&] { frame->NormalBlt(Source({0xFFFF0000}).get(), 0, 0, Rect(0, 0, 1, 1), kWhite); }, false},
        {"additive blit", [&] { frame->AdditiveBlt(blended.get(), 0, 0, Rect(0, 0, 1, 1), kWhite); }, false},
        {"mirror", [&] { frame->NormalBltMirror(blended.get(), 0, 0, Rect(0, 0, 1, 1), kWhite); }, false},
        {"additive mirror", [&] { frame->AdditiveBltMirror(blended.get(), 0, 0, Rect(0, 0, 1, 1), kWhite); }, false},
        {"line", [&] { frame->NormalDrawLine(0, 0, 2, 1, kWhite); }, false},
        {"additive line", [&] { frame->AdditiveDrawLine(0, 0, 2, 1, kWhite); }, false},
        {"surface copy", [&] { frame->NormalBlt(opaque.get(), 0, 0, Rect(0, 0, 1, 1), kWhite); }, true},
        {"anti-aliased line", [&] { frame->NormalDrawLineAA(0, 0, 1, 1, kWhite); }, true},
        {"coverage", [&] { frame->FillScanLinesWithCoverageOnSurface(&span, 1, kWhite, coverage, 0, 0, 1, 1); }, true},
    };
    ASSERT_TRUE(opaque->GenerateDDSurface());
    for (const Case& c : cases) {
        pixels.Fill({0, 0, 2, 2}, 0);
        c.draw();
        EXPECT_EQ(pixels.PixelAt(0, 0) != 0, c.draws) << c.name;
    }
}

TEST_F(SurfaceBlitTest, RectanglesOutsideEitherImageAndWildColoursAreSafe)
{
    StartFormat(2);
    auto source = Source({0xFFFF0000, kPartlyTransparent});
    Paint(4, 0);
    const int right = display->drawSurface->Width() - 1;
    screen->NormalBlt(source.get(), right, 0, Rect(0, 0, 2, 1), kWhite); // one column past the edge
    screen->AdditiveBlt(source.get(), 0, 0, Rect(1, 0, 2, 1), kWhite);   // past the source's edge
    screen->NormalBltMirror(source.get(), -1, 0, Rect(0, 0, 2, 1), kWhite);
    EXPECT_EQ(display->drawSurface->PixelAt(right, 0), 0u);
    EXPECT_EQ(Row(2), (std::vector<uint32_t>{0, 0}));

    // Components beyond 0-255 act as the nearest in range.
    screen->AdditiveFillRect(Rect(0, 0, 1, 1), Color(1000, -5, 300, 900));
    screen->AdditiveFillRect(Rect(1, 0, 1, 1), Color(255, 0, 255, 255));
    EXPECT_EQ(First(), display->drawSurface->PixelAt(1, 0));
    screen->FillRect(Rect(-5, -5, 10, 6), kWhite, DRAWMODE_NORMAL); // cut to the surface
    EXPECT_EQ(First(), 0xFFFFu);
}

TEST_F(SurfaceBlitTest, AColourDepthOfSixteenRunsTheFrameInRGB565)
{
    app.colorDepth = 16;
    for (bool windowed : {true, false}) {
        ASSERT_EQ(display->Init(nullptr, windowed), RESULT_OK);
        EXPECT_EQ(display->drawSurface->Format(), plat::PixelFormat::RGB565()) << windowed;
        EXPECT_EQ(display->rgbBits, 16);
    }
}

TEST_F(SurfaceBlitTest, WideRowsGiveWhatEachPixelGetsAlone)
{
    // Rows long enough for the four- and eight-at-a-time forms, against the same pixels drawn one at a time.
    constexpr int kCount = 11;
    // Partly transparent pixels; the same opaque (the copy road); the same keyed, with a long
    // opaque run after one transparent pixel.
    enum Kind { kBlended, kOpaque, kKeyed, kKinds };
    std::vector<uint32_t> pixels[kKinds];
    for (uint32_t i = 0; i < kCount; ++i) {
        const uint32_t colour = (i + 1) * 0x1F3D5B7 & 0xFFFFFF;
        pixels[kBlended].push_back((i * 37 + 5) % 256 << 24 | colour);
        pixels[kOpaque].push_back(0xFF000000 | colour);
        pixels[kKeyed].push_back(i == 0 ? colour : 0xFF000000 | colour);
    }
    struct Case {
        const char* name;
        std::function<void(DDImage*, MemoryImage*, int, int)> draw; // at column x, width pixels
        Kind kind = kBlended;
    } cases[] = {
        {"additive", [](DDImage* s, MemoryImage* m, int x, int w) { s->AdditiveBlt(m, x, 0, Rect(x, 0, w, 1), kWhite); }},
        {"tinted additive",
         [](DDImage* s, MemoryImage* m, int x, int w) { s->AdditiveBlt(m, x, 0, Rect(x, 0, w, 1), Color(250, 90, 30, 200)); }},
        {"translucent fill", [](DDImage* s, MemoryImage*, int x, int w) { s->NormalFillRect(Rect(x, 0, w, 1), Color(90, 180, 30, 77)); }},
        {"additive fill", [](DDImage* s, MemoryImage*, int x, int w) { s->AdditiveFillRect(Rect(x, 0, w, 1), Color(90, 180, 30, 77)); }},
        {"opaque copy", [](DDImage* s, MemoryImage* m, int x, int w) { s->NormalBlt(m, x, 0, Rect(x, 0, w, 1), kWhite); }, kOpaque},
        {"keyed copy", [](DDImage* s, MemoryImage* m, int x, int w) { s->NormalBlt(m, x, 0, Rect(x, 0, w, 1), kWhite); }, kKeyed},
    };
    for (size_t f = 0; f < kFormatCount; ++f) {
        StartFormat(f);
        std::unique_ptr<MemoryImage> sources[kKinds];
        for (int k = 0; k < kKinds; ++k)
            sources[k] = Source(pixels[k]);
        auto paint = [&] {
            for (int x = 0; x < kCount; ++x)
                display->drawSurface->Fill({x, 0, 1, 1}, uint32_t(x + 1) * 0x0B1C2D3E);
        };
        for (const Case& c : cases) {
            paint();
            MemoryImage* source = sources[c.kind].get();
            c.draw(screen, source, 0, kCount);
            const std::vector<uint32_t> whole = Row(kCount);
            paint();
            for (int x = 0; x < kCount; ++x)
                c.draw(screen, source, x, 1);
            EXPECT_EQ(whole, Row(kCount)) << Where() << ": " << c.name;
        }
    }
}

TEST_F(SurfaceBlitTest, AdditiveFillHoldsEverySixteenBitValueToItsFields)
{
    // Every 16-bit value under a few colours, in rows long enough for both the eight-at-a-time
    // form and the pixel-at-a-time rest; each field is min(field + amount, largest).
    constexpr int kWidth = 250, kValues = 1 << 16, kHeight = (kValues + kWidth - 1) / kWidth;
    const Color colours[] = {Color(90, 180, 30, 77), kWhite, Color(255, 0, 128, 200), Color(3, 7, 9, 255)};
    for (size_t f = 0; f < kFormatCount; ++f) {
        if (kFormats[f].format.bitsPerPixel != 16)
            continue;
        StartFormat(f);
        ASSERT_GE(display->drawSurface->Height(), kHeight);
        for (const Color& c : colours) {
            for (int i = 0; i < kValues; ++i)
                display->drawSurface->Fill({i % kWidth, i / kWidth, 1, 1}, uint32_t(i));
            screen->AdditiveFillRect(Rect(0, 0, kWidth, kHeight), c);
            auto expected = [&c](uint32_t v, uint32_t mask, int component) {
                const int bits = std::popcount(mask), shift = std::countr_zero(mask);
                const uint32_t amount = uint32_t(component * c.alpha / 255) >> (8 - bits);
                return std::min(((v & mask) >> shift) + amount, mask >> shift) << shift;
            };
            const plat::PixelFormat& format = Format();
            for (int i = 0; i < kValues; ++i) {
                const uint32_t v = uint32_t(i);
                const uint32_t want = expected(v, format.redMask, c.red) | expected(v, format.greenMask, c.green)
                                      | expected(v, format.blueMask, c.blue);
                ASSERT_EQ(display->drawSurface->PixelAt(i % kWidth, i / kWidth), want)
                    << Where() << " value " << i << " colour " << c.ToInt();
            }
        }
    }
}
