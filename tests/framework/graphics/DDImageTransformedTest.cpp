// Rotated, stretched and mirrored blits onto surface-backed images, on every surface format.
#include "DisplayFixtures.h"

#include "framework/graphics/Graphics.h"

#include <bit>
#include <numbers>

using namespace NubraTest;

namespace {

constexpr plat::PixelFormat kFormats[] = {plat::PixelFormat::XRGB8888(), plat::PixelFormat::XBGR8888(),
                                          plat::PixelFormat::RGB565(), plat::PixelFormat::RGB555(),
                                          plat::PixelFormat::BGR565()};

std::string Name(const plat::PixelFormat& f)
{
    return StrFormat("%d bits %x/%x/%x", f.bitsPerPixel, f.redMask, f.greenMask, f.blueMask);
}

// An 0xRRGGBB colour as the surface stores it: the top bits of each channel in place.
uint32_t InFormat(const plat::PixelFormat& f, uint32_t rgb)
{
    auto channel = [rgb](uint32_t mask, int from) {
        const uint32_t value = (rgb >> from) & 0xFF;
        return (value >> (8 - std::popcount(mask))) << std::countr_zero(mask);
    };
    return channel(f.redMask, 16) | channel(f.greenMask, 8) | channel(f.blueMask, 0);
}

// Opaque colours whose channels are 0 or 255, so that every format holds them exactly.
const uint32_t kPalette[] = {0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF00FFFF, 0xFFFF00FF, 0xFFFFFF00};

// Records the transformed blits that reach the graphics card.
struct TransformRecordingD3D : RecordingD3D {
    void BltRotated(Image*, float x, float y, const Rect* clip, const Color& color, int mode, double angle,
                    float centerX, float centerY, const Rect& src) override
    {
        calls.push_back(StrFormat("BltRotated %g,%g clip %d,%d,%d,%d %08x %d %g %g,%g src %d,%d,%d,%d", x, y,
                                  clip->x, clip->y, clip->width, clip->height, color.ToInt(), mode, angle, centerX,
                                  centerY, src.x, src.y, src.width, src.height));
    }
    void StretchBlt(Image*, const Rect& dest, const Rect& src, const Rect* clip, const Color& color, int mode,
                    bool fast, bool mirror) override
    {
        calls.push_back(StrFormat("StretchBlt %d,%d,%d,%d src %d,%d,%d,%d clip %d,%d,%d,%d %08x %d fast %d mirror %d",
                                  dest.x, dest.y, dest.width, dest.height, src.x, src.y, src.width, src.height,
                                  clip->x, clip->y, clip->width, clip->height, color.ToInt(), mode, fast, mirror));
    }
    void BltMirror(Image*, float x, float y, const Rect& src, const Color& color, int mode, bool linear) override
    {
        calls.push_back(StrFormat("BltMirror %g,%g src %d,%d,%d,%d %08x %d %d", x, y, src.x, src.y, src.width,
                                  src.height, color.ToInt(), mode, linear));
    }
};

// Logs which surface blitter a transformed blit hands its work to, and with what.
struct SpyDDImage : DDImage {
    std::vector<std::string> calls;
    using DDImage::DDImage;
    void NormalBlt(Image* image, int x, int y, const Rect& src, const Color& c) override
    {
        calls.push_back(StrFormat("NormalBlt %d,%d %dx%d %08x", x, y, image->width, image->height, c.ToInt()));
        DDImage::NormalBlt(image, x, y, src, c);
    }
    void AdditiveBlt(Image* image, int x, int y, const Rect&, const Color& c) override
    {
        calls.push_back(StrFormat("AdditiveBlt %d,%d %dx%d %08x", x, y, image->width, image->height, c.ToInt()));
    }
    void NormalBltMirror(Image*, int x, int y, const Rect&, const Color&) override
    {
        calls.push_back(StrFormat("NormalBltMirror %d,%d", x, y));
    }
    void AdditiveBltMirror(Image*, int x, int y, const Rect&, const Color&) override
    {
        calls.push_back(StrFormat("AdditiveBltMirror %d,%d", x, y));
    }
};

struct TransformedBlitTest : DisplayTest {
    std::unique_ptr<MemoryImage> Source(const std::vector<uint32_t>& pixels, int width, bool palettised = false)
    {
        auto image = std::make_unique<MemoryImage>(&app);
        image->SetBits(pixels.data(), width, int(pixels.size()) / width, true);
        if (palettised) {
            EXPECT_TRUE(image->Palletize());
        }
        return image;
    }
    DDImage& Screen() { return *display->GetScreenImage(); }
    uint32_t At(int x, int y) { return display->drawSurface->PixelAt(x, y); }
    std::vector<uint32_t> Row(int y, int from, int count)
    {
        std::vector<uint32_t> row;
        for (int x = from; x < from + count; ++x)
            row.push_back(At(x, y));
        return row;
    }
    void Paint(uint32_t value) { display->drawSurface->Fill({0, 0, 16, 16}, value); }
    // Where the brightest pixel of the top-left 32 x 32 lies.
    Point Brightest()
    {
        Point best;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if ((At(x, y) & 0xFF) > (At(best.x, best.y) & 0xFF))
                    best = Point(x, y);
        return best;
    }
};

const Rect kWholeScreen(0, 0, 1024, 768);

// One pixel drawn from a source of one colour onto a surface of one colour.
struct BlendCase {
    const char* name;
    plat::PixelFormat format;
    uint32_t texel;
    Color color;
    int mode;
    uint32_t before, after;
};

} // namespace

TEST_F(TransformedBlitTest, TheCardDrawsThemWithTheSameArguments)
{
    auto* card = new TransformRecordingD3D;
    display->d3dInterface.reset(card);
    display->is3D = true;
    ASSERT_EQ(display->Init(nullptr, true), RESULT_OK);
    auto source = Picture({0xFFFF0000, 0xFF00FF00}, 2);
    const Color tint(1, 2, 3, 4);

    Screen().BltRotated(source.get(), 1.5f, 2, Rect(0, 0, 2, 1), Rect(0, 0, 50, 40), tint, 1, 0.25, 1, 0.5f);
    Screen().StretchBlt(source.get(), Rect(1, 2, 8, 4), Rect(0, 0, 2, 1), Rect(0, 0, 50, 40), tint, 0, true);
    Screen().StretchBltMirror(source.get(), Rect(1, 2, 8, 4), Rect(0, 0, 2, 1), Rect(0, 0, 50, 40), tint, 0, false);
    Screen().BltMirror(source.get(), 3, 4, Rect(0, 0, 2, 1), tint, 1);
    EXPECT_EQ(card->calls, (std::vector<std::string>{
                               "BltRotated 1.5,2 clip 0,0,50,40 04010203 1 0.25 1,0.5 src 0,0,2,1",
                               "StretchBlt 1,2,8,4 src 0,0,2,1 clip 0,0,50,40 04010203 0 fast 1 mirror 0",
                               "StretchBlt 1,2,8,4 src 0,0,2,1 clip 0,0,50,40 04010203 0 fast 0 mirror 1",
                               "BltMirror 3,4 src 0,0,2,1 04010203 1 0",
                           }));
    EXPECT_TRUE(source->drawn);
}

// At angle 0 about the corner, at whole coordinates, each sample takes one texel with weight 254:
// the destination keeps 2/256 of itself (nothing in the packed 16-bit forms), and the source's
// first column and its last column and row are not drawn.
TEST_F(TransformedBlitTest, AtAngleZeroTheInnerTexelsLandInPlaceOnEveryFormat)
{
    std::vector<uint32_t> pixels;
    for (int i = 0; i < 20; ++i)
        pixels.push_back(kPalette[i % 7]);
    for (const plat::PixelFormat& format : kFormats)
        for (bool palettised : {false, true}) {
            Start(format);
            Paint(0);
            auto source = Source(pixels, 5, palettised);
            Screen().BltRotated(source.get(), 2, 1, Rect(0, 0, 5, 4), kWholeScreen, Color::White, 0, 0.0, 0, 0);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 8; ++x) {
                    uint32_t expected = 0;
                    if (x >= 3 && x <= 5 && y >= 1 && y <= 3) {
                        const uint32_t texel = pixels[size_t((y - 1) * 5 + (x - 2))] & 0xFFFFFF;
                        // 255 x 254 / 256 keeps 253 in an 8-bit field and the top of a narrower one.
                        expected = InFormat(format, format.bitsPerPixel == 32 ? texel / 255 * 253 : texel);
                    }
                    EXPECT_EQ(At(x, y), expected) << Name(format) << (palettised ? " palettised" : "") << " at "
                                                  << x << "," << y;
                }
        }
}

TEST_F(TransformedBlitTest, RotatedBlendsOnEachFormat)
{
    const plat::PixelFormat xrgb = plat::PixelFormat::XRGB8888(), xbgr = plat::PixelFormat::XBGR8888(),
                            rgb565 = plat::PixelFormat::RGB565(), rgb555 = plat::PixelFormat::RGB555(),
                            bgr565 = plat::PixelFormat::BGR565();
    const BlendCase cases[] = {
        {"packed 888 keeps 2/256", xrgb, 0xFF000000, Color::White, 0, 0xFFFFFF, 0x010101},
        {"generic keeps 2/256", xbgr, 0xFF000000, Color::White, 0, 0xFFFFFF, 0x010101},
        {"packed 565 keeps nothing", rgb565, 0xFF000000, Color::White, 0, 0xFFFF, 0},
        {"packed 555 keeps nothing", rgb555, 0xFF000000, Color::White, 0, 0x7FFF, 0},
        {"generic 16-bit", bgr565, 0xFF000000, Color::White, 0, 0xFFFF, 0},
        {"half alpha", xrgb, 0x80FF0000, Color::White, 0, 0x0000FF, 0x7E0080},
        {"colourised", xrgb, 0xFFFFFFFF, Color(255, 0, 0), 0, 0, 0xFC0000},
        {"colour alpha 0", xrgb, 0xFFFFFFFF, Color(255, 255, 255, 0), 0, 0x123456, 0x123456},
        {"colour alpha 0, 565", rgb565, 0xFFFFFFFF, Color(255, 255, 255, 0), 0, 0x1234, 0x1234},
        {"additive, colour alpha 0", xrgb, 0xFFFFFFFF, Color(255, 255, 255, 0), 1, 0x123456, 0x123456},
        {"additive", xrgb, 0xFF808080, Color::White, 1, 0, 0x7E7E7E},
        {"draw mode 2 adds", xrgb, 0xFF808080, Color::White, 2, 0, 0x7E7E7E},
        {"additive saturates", xrgb, 0xFF808080, Color::White, 1, 0xF0F0F0, 0xFFFFFF},
        {"additive 565", rgb565, 0xFFFFFFFF, Color::White, 1, 0, 0xF7FF},
    };
    for (const BlendCase& c : cases) {
        Start(c.format);
        Paint(c.before);
        // A 3 x 2 source draws the one pixel (1, 0) from its texel (1, 0).
        auto source = Source(std::vector<uint32_t>(6, c.texel), 3);
        Screen().BltRotated(source.get(), 0, 0, Rect(0, 0, 3, 2), kWholeScreen, c.color, c.mode, 0.0, 0, 0);
        EXPECT_EQ(Row(0, 0, 3), (std::vector<uint32_t>{c.before, c.after, c.before})) << c.name;
        EXPECT_EQ(At(1, 1), c.before) << c.name;
    }
}

TEST_F(TransformedBlitTest, APositiveAngleTurnsCounterClockwiseOnScreen)
{
    Start();
    // One white texel right of the centre (3, 3) of a black 7 x 7 picture, drawn with its centre at (13, 13).
    std::vector<uint32_t> pixels(49, 0xFF000000);
    pixels[3 * 7 + 4] = 0xFFFFFFFF;
    auto source = Source(pixels, 7);
    struct Case {
        double angle;
        Point lands;
    } cases[] = {{0.0, {14, 13}}, {std::numbers::pi / 2, {13, 12}}, {-std::numbers::pi / 2, {13, 14}}};
    for (const Case& c : cases) {
        display->ClearDDSurface(display->drawSurface.get());
        Screen().BltRotated(source.get(), 10, 10, Rect(0, 0, 7, 7), kWholeScreen, Color::White, 0, c.angle, 3, 3);
        EXPECT_EQ(Brightest(), c.lands) << c.angle;
        EXPECT_GT(At(c.lands.x, c.lands.y) & 0xFF, 0xF0u) << c.angle;
    }
}

TEST_F(TransformedBlitTest, RotatedBlitsClipToTheClipRectangleAndTheImage)
{
    Start();
    Paint(0);
    auto source = Source(std::vector<uint32_t>(64, 0xFFFFFFFF), 8);
    Screen().BltRotated(source.get(), 0, 0, Rect(0, 0, 8, 8), Rect(2, 0, 3, 16), Color::White, 0, 0.0, 0, 0);
    EXPECT_EQ(Row(0, 0, 6), (std::vector<uint32_t>{0, 0, 0xFDFDFD, 0xFDFDFD, 0xFDFDFD, 0}));

    // Far off the frame, partly or wholly: nothing is written outside it.
    Screen().BltRotated(source.get(), 1020, 764, Rect(0, 0, 8, 8), Rect(-100, -100, 2000, 2000), Color::White, 0,
                        0.3, 4, 4);
    Screen().BltRotated(source.get(), -5000, 10, Rect(0, 0, 8, 8), Rect(-9000, 0, 9000, 50), Color::White, 0, 0.3,
                        4, 4);
    EXPECT_NE(At(1022, 767), 0u);

    // The stretches too, and a source rectangle reaching past its image reads its edge.
    const Rect beyond(-100, -100, 2000, 2000);
    Screen().StretchBlt(source.get(), Rect(1020, 760, 16, 16), Rect(4, 4, 8, 8), beyond, Color::White, 0, true);
    Screen().StretchBltMirror(source.get(), Rect(-8, -8, 16, 16), Rect(0, 0, 8, 8), beyond, Color::White, 0, true);
    EXPECT_EQ(At(1023, 767), 0xFFFFFFFFu);
    EXPECT_EQ(At(0, 0), 0xFFFFFFFFu);
}

TEST_F(TransformedBlitTest, RotatedRoads)
{
    Start();
    auto source = Source(std::vector<uint32_t>(16, 0xFFFF0000), 4);

    // A picture with partly transparent pixels is drawn in memory, as a memory image draws it.
    const std::vector<uint32_t> translucent(36, 0x80102030);
    auto partly = Picture(translucent, 6);
    MemoryImage reference(&app);
    reference.SetBits(translucent.data(), 6, 6, true);
    partly->BltRotated(source.get(), 1, 1, Rect(0, 0, 4, 4), Rect(0, 0, 6, 6), Color::White, 0, 0.4, 2, 2);
    reference.BltRotated(source.get(), 1, 1, Rect(0, 0, 4, 4), Rect(0, 0, 6, 6), Color::White, 0, 0.4, 2, 2);
    EXPECT_EQ(partly->surface, nullptr);
    EXPECT_TRUE(std::equal(reference.GetBits(), reference.GetBits() + 36, partly->GetBits()));

    // On a surface, the memory copy goes: the surface holds the picture.
    auto plain = Picture(std::vector<uint32_t>(36, 0xFF000000), 6);
    ASSERT_TRUE(plain->GenerateDDSurface());
    plain->BltRotated(source.get(), 0, 0, Rect(0, 0, 4, 4), Rect(0, 0, 6, 6), Color::White, 0, 0.0, 0, 0);
    EXPECT_EQ(plain->bits, nullptr);
    EXPECT_EQ(plain->surface->PixelAt(1, 0), 0xFD0000u);

    // Write-only video memory: nothing drawn, nothing dropped.
    auto writeOnly = Picture(std::vector<uint32_t>(36, 0xFF000000), 6);
    ASSERT_TRUE(writeOnly->GenerateDDSurface());
    writeOnly->videoMemoryWriteOnly = true;
    source->drawn = false;
    writeOnly->BltRotated(source.get(), 0, 0, Rect(0, 0, 4, 4), Rect(0, 0, 6, 6), Color::White, 0, 0.0, 0, 0);
    EXPECT_TRUE(source->drawn);
    EXPECT_NE(writeOnly->bits, nullptr);
    EXPECT_EQ(writeOnly->surface->PixelAt(1, 0), 0u);

    // A failed lock: nothing drawn, nothing dropped.
    auto unlockable = Picture(std::vector<uint32_t>(36, 0xFF000000), 6);
    ASSERT_TRUE(unlockable->GenerateDDSurface());
    unlockable->surface->SetLocksFail(true);
    unlockable->BltRotated(source.get(), 0, 0, Rect(0, 0, 4, 4), Rect(0, 0, 6, 6), Color::White, 0, 0.0, 0, 0);
    EXPECT_NE(unlockable->bits, nullptr);
    unlockable->surface->SetLocksFail(false);
    EXPECT_EQ(unlockable->surface->PixelAt(1, 0), 0u);
}

// The nearest stretch samples under each destination pixel's top-left corner.
TEST_F(TransformedBlitTest, TheFastStretchSamplesTheCornerOnEveryFormat)
{
    const std::vector<uint32_t> pixels{kPalette[1], kPalette[2], kPalette[3], kPalette[4]};
    for (const plat::PixelFormat& format : kFormats)
        for (bool palettised : {false, true}) {
            Start(format);
            Paint(0);
            auto source = Source(pixels, 4, palettised);
            Screen().StretchBlt(source.get(), Rect(0, 0, 8, 1), Rect(0, 0, 4, 1), kWholeScreen, Color::White, 0, true);
            Screen().StretchBlt(source.get(), Rect(0, 1, 2, 1), Rect(0, 0, 4, 1), kWholeScreen, Color::White, 0, true);
            auto shown = [&](int i) { return InFormat(format, pixels[size_t(i)] & 0xFFFFFF); };
            const uint32_t alpha = format.bitsPerPixel == 32 ? 0xFF000000 : 0; // carried into 32-bit pixels
            std::vector<uint32_t> grown, shrunk{shown(0) | alpha, shown(2) | alpha};
            for (int i : {0, 0, 1, 1, 2, 2, 3, 3})
                grown.push_back(shown(i) | alpha);
            EXPECT_EQ(Row(0, 0, 8), grown) << Name(format) << palettised;
            EXPECT_EQ(Row(1, 0, 3), (std::vector<uint32_t>{shrunk[0], shrunk[1], 0})) << Name(format) << palettised;
        }
}

TEST_F(TransformedBlitTest, MirroredStretchesAreNearestAndClipTheLeftOfTheSource)
{
    const std::vector<uint32_t> pixels{kPalette[1], kPalette[2], kPalette[3], kPalette[4]};
    for (const plat::PixelFormat& format : {plat::PixelFormat::XRGB8888(), plat::PixelFormat::RGB565()}) {
        Start(format);
        Paint(0);
        auto source = Source(pixels, 4);
        auto shown = [&](int i) {
            return InFormat(format, pixels[size_t(i)] & 0xFFFFFF) | (format.bitsPerPixel == 32 ? 0xFF000000 : 0);
        };
        // The fast flag off still samples the nearest pixel.
        Screen().StretchBltMirror(source.get(), Rect(0, 0, 4, 1), Rect(0, 0, 4, 1), kWholeScreen, Color::White, 0,
                                  false);
        EXPECT_EQ(Row(0, 0, 4), (std::vector<uint32_t>{shown(3), shown(2), shown(1), shown(0)})) << Name(format);
        // The clip cuts the destination's right column: the source's left column goes.
        Screen().StretchBltMirror(source.get(), Rect(0, 1, 4, 1), Rect(0, 0, 4, 1), Rect(0, 0, 3, 16), Color::White,
                                  0, true);
        EXPECT_EQ(Row(1, 0, 4), (std::vector<uint32_t>{shown(3), shown(2), shown(1), 0})) << Name(format);
        // Twice as wide.
        Screen().StretchBltMirror(source.get(), Rect(0, 2, 8, 1), Rect(0, 0, 4, 1), kWholeScreen, Color::White, 0,
                                  true);
        EXPECT_EQ(Row(2, 0, 3), (std::vector<uint32_t>{shown(3), shown(3), shown(2)})) << Name(format);
    }
}

TEST_F(TransformedBlitTest, NearestStretchBlends)
{
    const plat::PixelFormat xrgb = plat::PixelFormat::XRGB8888(), rgb565 = plat::PixelFormat::RGB565();
    const BlendCase cases[] = {
        {"half alpha carries its alpha", xrgb, 0x80FF0000, Color::White, 0, 0x0000FF, 0x8080007F},
        {"half alpha, 565", rgb565, 0x80FF0000, Color::White, 0, 0x001F, 0x800F},
        {"colourised", xrgb, 0xFFFFFFFF, Color(255, 255, 255, 128), 0, 0, 0x7F7F7F},
        {"colour alpha 0", xrgb, 0xFFFFFFFF, Color(255, 255, 255, 0), 0, 0x123456, 0x123456},
        {"additive", xrgb, 0xFF404040, Color::White, 1, 0x202020, 0x606060},
        {"draw mode 2 adds", xrgb, 0xFF404040, Color::White, 2, 0x202020, 0x606060},
        {"additive saturates, 565", rgb565, 0xFFFFFFFF, Color::White, 1, 0x0841, 0xFFFF},
        {"additive colourised", xrgb, 0xFF808080, Color(255, 0, 0, 128), 1, 0, 0x400000},
        {"additive adds nothing for black", xrgb, 0x00000000, Color::White, 1, 0x123456, 0x123456},
    };
    for (const BlendCase& c : cases) {
        Start(c.format);
        Paint(c.before);
        auto source = Source({c.texel}, 1);
        Screen().StretchBlt(source.get(), Rect(0, 0, 2, 1), Rect(0, 0, 1, 1), kWholeScreen, c.color, c.mode, true);
        EXPECT_EQ(Row(0, 0, 3), (std::vector<uint32_t>{c.after, c.after, c.before})) << c.name;
    }
}

TEST_F(TransformedBlitTest, TheFastStretchOfAnOpaqueSurfaceKeepsTheLockCount)
{
    Start();
    Paint(0x444444);
    auto source = Picture({0xFFFF0000, 0x00000000}, 2);
    ASSERT_TRUE(source->GenerateDDSurface());
    ASSERT_TRUE(Screen().LockSurface());
    Screen().StretchBlt(source.get(), Rect(0, 0, 4, 2), Rect(0, 0, 2, 1), kWholeScreen, Color::White, 0, true);
    EXPECT_EQ(Screen().lockCount, 1);
    EXPECT_EQ(display->drawSurface->LockCount(), 1);
    Screen().UnlockSurface();
    // Nearest pixels; the see-through one is the source's key and is skipped.
    EXPECT_EQ(Row(0, 0, 5), (std::vector<uint32_t>{0xFF0000, 0xFF0000, 0x444444, 0x444444, 0x444444}));
    EXPECT_EQ(Row(1, 0, 2), (std::vector<uint32_t>{0xFF0000, 0xFF0000}));
}

TEST_F(TransformedBlitTest, TheSmoothStretchFiltersInMemoryAndBlitsWithTheColourAndMode)
{
    Start();
    auto source = Source({0xFFFFFFFF}, 1);
    Screen().StretchBlt(source.get(), Rect(0, 0, 2, 2), Rect(0, 0, 1, 1), kWholeScreen, Color::White, 0, false);
    EXPECT_EQ(Row(0, 0, 3), (std::vector<uint32_t>{0xFFFEFEFE, 0xFFFEFEFE, 0}));

    SpyDDImage target(display.get());
    target.SetBits(std::vector<uint32_t>(100, 0xFF000000).data(), 10, 10, true);
    for (int mode : {0, 1, 2})
        target.StretchBlt(source.get(), Rect(2, 3, 8, 8), Rect(0, 0, 1, 1), Rect(0, 0, 6, 10), Color(9, 8, 7), mode,
                          false);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"NormalBlt 2,3 4x7 ff090807", "AdditiveBlt 2,3 4x7 ff090807"}));
}

TEST_F(TransformedBlitTest, PicturesThatCannotGoOnASurfaceKeepTheirMemoryCopy)
{
    Start();
    auto source = Source({0xFFFF0000}, 1);
    auto partly = Picture(std::vector<uint32_t>(4, 0x80000000), 2);

    // Stretches draw them in memory.
    partly->StretchBlt(source.get(), Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), Rect(0, 0, 2, 2), Color::White, 0, true);
    partly->StretchBlt(source.get(), Rect(1, 0, 1, 1), Rect(0, 0, 1, 1), Rect(0, 0, 2, 2), Color::White, 0, false);
    ASSERT_NE(partly->bits, nullptr);
    EXPECT_EQ(partly->bits[0] & 0xFFFFFF, 0xFE0000u);
    EXPECT_EQ(partly->bits[1] & 0xFFFFFF, 0xFE0000u);

    // The mirrored blits have no memory road: they leave the picture as it is.
    partly->BltMirror(source.get(), 0, 1, Rect(0, 0, 1, 1), Color::White, 0);
    partly->StretchBltMirror(source.get(), Rect(1, 1, 1, 1), Rect(0, 0, 1, 1), Rect(0, 0, 2, 2), Color::White, 0,
                             true);
    ASSERT_NE(partly->bits, nullptr);
    EXPECT_EQ(partly->bits[2], 0x80000000u);
    EXPECT_EQ(partly->bits[3], 0x80000000u);
}

TEST_F(TransformedBlitTest, MirroredBlitsGoToTheSurfaceBlitterOfTheirMode)
{
    Start();
    auto source = Source({0xFFFF0000}, 1);
    SpyDDImage target(display.get());
    for (int mode : {0, 1, 2}) {
        target.SetBits(std::vector<uint32_t>(4, 0xFF000000).data(), 2, 2, true);
        target.BltMirror(source.get(), 1, 0, Rect(0, 0, 1, 1), Color::White, mode);
        EXPECT_EQ(target.bits, nullptr) << mode; // dropped whatever was drawn
    }
    EXPECT_EQ(target.calls, (std::vector<std::string>{"NormalBltMirror 1,0", "AdditiveBltMirror 1,0"}));
}

TEST_F(TransformedBlitTest, MirroredStretchedAndFloatDrawsReachTheScreen)
{
    Start();
    Paint(0);
    auto source = Source({kPalette[1], kPalette[3]}, 2);
    Graphics g(&Screen());
    g.SetFastStretch(true);
    g.DrawImageMirror(source.get(), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), true);
    EXPECT_EQ(Row(0, 0, 4), (std::vector<uint32_t>{0xFF0000FF, 0xFF0000FF, 0xFFFF0000, 0xFFFF0000}));

    auto square = Source(std::vector<uint32_t>(9, kPalette[0]), 3);
    Screen().BltF(square.get(), 5, 2, Rect(0, 0, 3, 3), kWholeScreen, Color::White, 0);
    EXPECT_EQ(Row(2, 5, 3), (std::vector<uint32_t>{0, 0xFDFDFD, 0}));
}
