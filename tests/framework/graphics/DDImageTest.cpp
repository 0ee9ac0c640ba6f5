#include "DisplayFixtures.h"

using namespace NubraTest;

namespace {

// Logs which surface blitter a drawing operation reaches.
struct SpyDDImage : DDImage {
    std::vector<std::string> calls;
    using DDImage::DDImage;
    void NormalFillRect(const Rect& r, const Color& c) override
    {
        calls.push_back("NormalFillRect");
        DDImage::NormalFillRect(r, c);
    }
    void AdditiveFillRect(const Rect&, const Color&) override { calls.push_back("AdditiveFillRect"); }
    void NormalBlt(Image*, int, int, const Rect&, const Color&) override { calls.push_back("NormalBlt"); }
    void NormalDrawLine(double, double, double, double, const Color&) override { calls.push_back("NormalDrawLine"); }
};

constexpr uint32_t kOpaqueRed = 0xFFFF0000;
constexpr uint32_t kClear = 0x00000000;

// The frame's first row after `source` (one row) is blitted at its left over pixels `before`.
std::vector<uint32_t> BlitOntoFrame(DDInterface& display, MemoryImage& source, uint32_t before, const Color& color)
{
    const int w = source.GetWidth();
    display.drawSurface->Fill({0, 0, w, 1}, before);
    display.GetScreenImage()->Blt(&source, 0, 0, Rect(0, 0, w, 1), color, DRAWMODE_NORMAL);
    std::vector<uint32_t> row;
    for (int x = 0; x < w; ++x)
        row.push_back(display.drawSurface->PixelAt(x, 0));
    return row;
}

} // namespace

TEST_F(DisplayTest, OnlyOpaqueOrSeeThroughPicturesGetSurfaces)
{
    Start();
    auto partly = Picture({kOpaqueRed, 0x80FF0000}, 2);
    EXPECT_FALSE(partly->GenerateDDSurface());
    EXPECT_EQ(partly->GetSurface(), nullptr);

    auto opaque = Picture({kOpaqueRed, 0xFF00FF00}, 2);
    ASSERT_TRUE(opaque->GenerateDDSurface());
    EXPECT_EQ(SurfacePixels(*opaque->surface), (std::vector<uint32_t>{0xFF0000, 0x00FF00}));
    EXPECT_FALSE(opaque->surface->ColorKey().has_value());
}

TEST_F(DisplayTest, AColourKeyIsAColourNoVisiblePixelUses)
{
    for (auto format : {plat::PixelFormat::RGB565(), plat::PixelFormat::XRGB8888()}) {
        Start(format);
        // The see-through pixel is black, and so is a visible one: black cannot be the key.
        auto keyed = Picture({kClear, 0xFF000000, 0xFF000001, kOpaqueRed}, 4);
        ASSERT_TRUE(keyed->GenerateDDSurface());
        ASSERT_TRUE(keyed->surface->ColorKey().has_value());
        const uint32_t key = *keyed->surface->ColorKey();
        std::vector<uint32_t> stored = SurfacePixels(*keyed->surface);
        EXPECT_EQ(stored[0], key);
        for (size_t i = 1; i < stored.size(); ++i)
            EXPECT_NE(stored[i], key) << format.bitsPerPixel << " bits, pixel " << i;

        // Asked to, the first pixel's colour is the key and nothing is rewritten.
        auto first = std::make_unique<DDImage>(display.get());
        first->firstPixelIsColorKey = true;
        const std::vector<uint32_t> pixels{0xFF00FF00, kClear, kOpaqueRed};
        first->SetBits(pixels.data(), 3, 1, true);
        ASSERT_TRUE(first->GenerateDDSurfaceColorKeyed());
        EXPECT_EQ(*first->surface->ColorKey(), first->surface->PixelAt(0, 0));
        EXPECT_EQ(first->surface->PixelAt(1, 0), 0u);
    }
}

TEST_F(DisplayTest, PicturesReadBackFromA565SurfaceExactly)
{
    Start(plat::PixelFormat::RGB565());
    auto image = Picture({0xFFFFFFFF, 0xFF123456, 0xFF808080}, 3);
    ASSERT_TRUE(image->GenerateDDSurface());
    image->DeleteExtraBuffers();
    uint32_t* bits = image->GetBits();
    ASSERT_NE(bits, nullptr);
    // Channels keep their top bits: 5 of red and blue, 6 of green.
    EXPECT_EQ(bits[0], 0xFFF8FCF8u);
    EXPECT_EQ(bits[1], 0xFF103450u);
    EXPECT_EQ(bits[2], 0xFF808080u);
    EXPECT_EQ(bits[3], MemoryImage::kGuardWord);
}

TEST_F(DisplayTest, LocksNestOnOneSurfaceLockAndAFailedLockDrawsNothing)
{
    Start();
    DDImage* screen = display->GetScreenImage();
    ASSERT_TRUE(screen->LockSurface());
    ASSERT_TRUE(screen->LockSurface());
    EXPECT_EQ(display->drawSurface->LockCount(), 1);
    screen->UnlockSurface();
    EXPECT_EQ(display->drawSurface->LockCount(), 1);
    screen->UnlockSurface();
    EXPECT_EQ(display->drawSurface->LockCount(), 0);

    display->drawSurface->SetLocksFail(true);
    screen->FillRect(Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL);
    display->drawSurface->SetLocksFail(false);
    EXPECT_EQ(display->drawSurface->PixelAt(0, 0), 0u);
}

TEST_F(DisplayTest, FillsOnEachFormat)
{
    struct Case {
        plat::PixelFormat format;
        Color color;
        int mode;
        uint32_t before, after;
    } cases[] = {
        {plat::PixelFormat::RGB565(), Color::White, DRAWMODE_NORMAL, 0, 0xFFFF},
        {plat::PixelFormat::XRGB8888(), Color::White, DRAWMODE_NORMAL, 0, 0xFEFEFE},
        {plat::PixelFormat::XBGR8888(), Color(255, 0, 0), DRAWMODE_NORMAL, 0, 0x0000FE},
        {plat::PixelFormat::RGB565(), Color(255, 255, 255, 0), DRAWMODE_NORMAL, 0x1234, 0x1234},
        {plat::PixelFormat::XRGB8888(), Color(255, 255, 255, 0), DRAWMODE_NORMAL, 0x123456, 0x123456},
        {plat::PixelFormat::XRGB8888(), Color(0, 0, 0, 128), DRAWMODE_NORMAL, 0xC8C8C8, 0x646464},
        {plat::PixelFormat::RGB565(), Color::White, DRAWMODE_ADDITIVE, 0xFFFF, 0xFFFF},
        {plat::PixelFormat::XRGB8888(), Color::White, DRAWMODE_ADDITIVE, 0xFFFFFF, 0xFFFFFF},
        {plat::PixelFormat::RGB555(), Color(255, 0, 0), DRAWMODE_ADDITIVE, 0x7C1F, 0x7C1F},
        {plat::PixelFormat::XRGB8888(), Color(16, 0, 0), DRAWMODE_ADDITIVE, 0xFF010203, 0x110203},
    };
    for (const Case& c : cases) {
        Start(c.format);
        DDImage* screen = display->GetScreenImage();
        display->drawSurface->Fill({0, 0, 2, 1}, c.before);
        screen->FillRect(Rect(0, 0, 1, 1), c.color, c.mode);
        EXPECT_EQ(display->drawSurface->PixelAt(0, 0), c.after)
            << c.format.bitsPerPixel << " bits, colour " << std::hex << c.color.ToInt() << " mode " << c.mode;
        EXPECT_EQ(display->drawSurface->PixelAt(1, 0), c.before & (c.format.bitsPerPixel == 16 ? 0xFFFF : ~0u));
    }
}

TEST_F(DisplayTest, EachDrawingOperationTakesItsRoad)
{
    Start();
    auto source = Picture({kOpaqueRed}, 1);
    struct Case {
        const char* name;
        bool trans, alpha, drawToBits;
        const char* blitter; // empty: the memory image draws
    } cases[] = {
        {"plain", false, false, false, "NormalFillRect"},
        {"see-through", true, false, false, ""},
        {"partly transparent", false, true, false, ""},
        {"draws to bits", false, false, true, ""},
    };
    for (const Case& c : cases) {
        SpyDDImage image(display.get());
        const std::vector<uint32_t> pixels(4, kOpaqueRed);
        image.SetBits(pixels.data(), 2, 2, true);
        image.SetImageMode(c.trans, c.alpha);
        image.drawToBits = c.drawToBits;
        image.FillRect(Rect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL);
        EXPECT_EQ(image.calls.empty() ? "" : image.calls[0], std::string(c.blitter)) << c.name;
    }

    SpyDDImage plain(display.get());
    const std::vector<uint32_t> pixels(4, kOpaqueRed);
    plain.SetBits(pixels.data(), 2, 2, true);
    plain.Blt(source.get(), 0, 0, Rect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL);
    plain.DrawLine(0, 0, 1, 1, Color::White, DRAWMODE_NORMAL);
    plain.FillRect(Rect(0, 0, 1, 1), Color::White, DRAWMODE_ADDITIVE);
    EXPECT_EQ(plain.calls, (std::vector<std::string>{"NormalBlt", "NormalDrawLine", "AdditiveFillRect"}));
    EXPECT_TRUE(source->drawn);

    // With the card drawing, nothing but the frame itself goes on surfaces.
    display->is3D = true;
    plain.calls.clear();
    plain.FillRect(Rect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL);
    EXPECT_TRUE(plain.calls.empty());
}

TEST_F(DisplayTest, TheFrameDrawnByTheCardHandsEveryOperationToIt)
{
    auto* card = new RecordingD3D;
    display->d3dInterface.reset(card);
    display->is3D = true;
    ASSERT_EQ(display->Init(nullptr, true), RESULT_OK);
    DDImage* screen = display->GetScreenImage();
    ASSERT_TRUE(screen->Check3D());
    EXPECT_FALSE(screen->LockSurface());
    auto source = Picture({kOpaqueRed}, 1);

    screen->FillRect(Rect(1, 2, 3, 4), Color(1, 2, 3, 4), DRAWMODE_ADDITIVE);
    screen->DrawLine(0.5, 1, 7, 8, Color::White, DRAWMODE_NORMAL);
    screen->Blt(source.get(), 5, 6, Rect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL);
    screen->BltF(source.get(), 5.5f, 6, Rect(0, 0, 1, 1), Rect(0, 0, 100, 100), Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(card->calls, (std::vector<std::string>{
                               "FillRect 1,2,3,4 04010203 1",
                               "DrawLine 0.5,1 7,8 0",
                               "Blt 5,6 0,0,1,1 ffffffff 0 0",
                               "Blt 5.5,6 0,0,1,1 ffffffff 0 1",
                           }));
}

TEST_F(DisplayTest, AHorizontalLineFillsTheSamePixelsEitherWay)
{
    Start();
    DDImage* screen = display->GetScreenImage();
    screen->DrawLine(5.7, 1, 1.2, 1, Color::White, DRAWMODE_NORMAL);
    std::vector<uint32_t> leftward;
    for (int x = 0; x < 8; ++x)
        leftward.push_back(display->drawSurface->PixelAt(x, 1));
    display->ClearDDSurface(display->drawSurface.get());
    screen->DrawLine(1.2, 1, 5.7, 1, Color::White, DRAWMODE_NORMAL);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(display->drawSurface->PixelAt(x, 1), leftward[size_t(x)]) << x;
    EXPECT_EQ(leftward, (std::vector<uint32_t>{0, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0xFEFEFE, 0, 0}));
}

TEST_F(DisplayTest, BlitsOntoA32BitSurface)
{
    Start();
    struct Case {
        const char* name;
        std::vector<uint32_t> source;
        Color color;
        uint32_t before;
        std::vector<uint32_t> after;
    } cases[] = {
        {"copy", {kOpaqueRed, 0xFF0000FF}, Color::White, 0x333333, {0xFFFF0000, 0xFF0000FF}},
        {"keyed copy", {kClear, 0xFF0000FF}, Color::White, 0x333333, {0x333333, 0xFF0000FF}},
        {"white run", {kClear, 0x80FFFFFF}, Color(255, 255, 255, 255), 0, {0, 0x80808080}},
        {"grey, alpha 0", {kOpaqueRed, kOpaqueRed}, Color(255, 255, 255, 0), 0xAA123456, {0x123456, 0x123456}},
        {"grey", {0xFFFFFFFF, kClear}, Color(128, 128, 128), 0, {0x7F7F7F, 0}},
        {"coloured", {0xFFFFFFFF, kClear}, Color(255, 0, 0), 0x00FF00, {0xFE0000, 0x00FF00}},
    };
    for (const Case& c : cases) {
        auto source = std::make_unique<MemoryImage>(&app);
        source->SetBits(c.source.data(), 2, 1, true);
        EXPECT_EQ(BlitOntoFrame(*display, *source, c.before, c.color), c.after) << c.name;
    }
}

TEST_F(DisplayTest, APalettisedSourcesSeeThroughIndexWritesNothing)
{
    Start();
    auto source = std::make_unique<MemoryImage>(&app);
    const std::vector<uint32_t> pixels{kClear, 0x80FFFFFF, kClear};
    source->SetBits(pixels.data(), 3, 1, true);
    ASSERT_TRUE(source->Palletize());
    std::vector<uint32_t> row = BlitOntoFrame(*display, *source, 0x102030, Color::White);
    EXPECT_EQ(row[0], 0x102030u);
    EXPECT_NE(row[1], 0x102030u);
    EXPECT_EQ(row[2], 0x102030u);
}

TEST_F(DisplayTest, SurfaceSourcesAreCopiedBySurfaceBlitsEvenIntoALockedFrame)
{
    Start();
    auto source = Picture({kClear, 0xFF00FF00}, 2);
    ASSERT_TRUE(source->GenerateDDSurface());
    DDImage* screen = display->GetScreenImage();
    display->drawSurface->Fill({0, 0, 2, 1}, 0x444444);
    ASSERT_TRUE(screen->LockSurface());
    screen->Blt(source.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(screen->lockCount, 1);
    EXPECT_EQ(display->drawSurface->LockCount(), 1);
    screen->UnlockSurface();
    EXPECT_EQ(display->drawSurface->PixelAt(0, 0), 0x444444u); // the key is skipped
    EXPECT_EQ(display->drawSurface->PixelAt(1, 0), 0x00FF00u);
}

TEST_F(DisplayTest, TheOptionFlagBlendsEveryPixelByItsAlpha)
{
    Start();
    auto source = std::make_unique<MemoryImage>(&app);
    const std::vector<uint32_t> pixels{0x80FF0000, 0x00FFFFFF, 0xFF00FF00};
    source->SetBits(pixels.data(), 3, 1, true);
    source->SetOptionFlag(true);
    EXPECT_EQ(BlitOntoFrame(*display, *source, 0xFF0000FF, Color::White),
              (std::vector<uint32_t>{0x7F007F, 0x0000FF, 0x00FE00}));
}

TEST_F(DisplayTest, ImagesOutlivingTheDisplayKeepTheirPictureInMemory)
{
    Start();
    auto image = Picture({kOpaqueRed, 0xFF00FF00}, 2);
    ASSERT_TRUE(image->GenerateDDSurface());
    image->DeleteExtraBuffers(); // only the surface holds the picture now
    display.reset();
    EXPECT_EQ(image->display, nullptr);
    EXPECT_FALSE(image->GenerateDDSurface());
    image->FillRect(Rect(1, 0, 1, 1), Color(0, 0, 255), DRAWMODE_NORMAL);
    uint32_t* bits = image->GetBits();
    EXPECT_EQ(bits[0], kOpaqueRed);
    EXPECT_NE(bits[1], 0xFF00FF00u); // drawn in memory
}

TEST_F(DisplayTest, TheFrameKeepsItsSurfaceWhenItsMemoryCopyChanges)
{
    Start();
    DDImage* screen = display->GetScreenImage();
    screen->GetBits();
    screen->BitsChanged();
    EXPECT_EQ(screen->surface, display->drawSurface);
}

TEST_F(DisplayTest, APictureThatCannotHaveASurfaceTakesMatrixBlitsInMemory)
{
    Start();
    auto target = Picture({0x80000000, 0x80000000, 0x80000000, 0x80000000}, 2); // partly transparent
    auto source = Picture({kOpaqueRed, kOpaqueRed, kOpaqueRed, kOpaqueRed}, 2);
    target->BltMatrix(source.get(), 0, 0, Matrix3(), Rect(0, 0, 2, 2), Color::White, DRAWMODE_NORMAL,
                      Rect(0, 0, 2, 2), false, nullptr);
    EXPECT_EQ(target->surface, nullptr);
    EXPECT_EQ(target->GetBits()[0], kOpaqueRed);
}
