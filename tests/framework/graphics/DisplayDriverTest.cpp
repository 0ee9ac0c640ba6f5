#include "DisplayFixtures.h"

#include "framework/graphics/Graphics.h"

using namespace NubraTest;

TEST(DisplayResultNames, EveryCodeHasAName)
{
    const char* expected[] = {"RESULT_OK",           "RESULT_FAIL",           "RESULT_DD_CREATE_FAIL",
                              "RESULT_SURFACE_FAIL", "RESULT_EXCLUSIVE_FAIL", "RESULT_DISPCHANGE_FAIL",
                              "RESULT_INVALID_COLORDEPTH", "RESULT_UNKNOWN"};
    for (int code = 0; code <= 7; ++code)
        EXPECT_EQ(DDInterface::ResultToString(code), expected[code]);
    EXPECT_EQ(DDInterface::ResultToString(-1), "RESULT_UNKNOWN");
}

TEST(AspectRatioOrder, NarrowerMeansASmallerWidthPerHeight)
{
    struct Case {
        AspectRatio left, right;
        bool narrower;
    } cases[] = {
        {{4, 3}, {16, 10}, true}, {{4, 3}, {16, 9}, true},  {{16, 9}, {16, 9}, false},
        {{8, 6}, {4, 3}, false},  {{16, 9}, {4, 3}, false}, {{1920, 1080}, {16, 9}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.left < c.right, c.narrower) << c.left.numerator << ":" << c.left.denominator;
}

TEST_F(DisplayTest, PixelFormatsGiveShiftsWidthsAndTables)
{
    struct Case {
        plat::PixelFormat format;
        int bits[3], shifts[3];
        bool rgbOrder;
    } cases[] = {
        {plat::PixelFormat::RGB565(), {5, 6, 5}, {11, 5, 0}, true},
        {plat::PixelFormat::RGB555(), {5, 5, 5}, {10, 5, 0}, true},
        {plat::PixelFormat::XRGB8888(), {8, 8, 8}, {16, 8, 0}, true},
        {plat::PixelFormat::XBGR8888(), {8, 8, 8}, {0, 8, 16}, false},
        {plat::PixelFormat::BGR565(), {5, 6, 5}, {0, 5, 11}, false},
    };
    for (const Case& c : cases) {
        Start(c.format);
        EXPECT_EQ(display->rgbBits, c.format.bitsPerPixel);
        EXPECT_EQ((std::vector<int>{display->redBits, display->greenBits, display->blueBits}),
                  (std::vector<int>(c.bits, c.bits + 3)));
        EXPECT_EQ((std::vector<int>{display->redShift, display->greenShift, display->blueShift}),
                  (std::vector<int>(c.shifts, c.shifts + 3)));
        EXPECT_EQ(display->rgbOrder, c.rgbOrder);
        const uint32_t greenMax = (1u << c.bits[1]) - 1;
        ASSERT_EQ(display->greenAddTable.size(), 2 * greenMax + 1);
        EXPECT_EQ(display->greenAddTable[greenMax - 1], greenMax - 1);
        EXPECT_EQ(display->greenAddTable[2 * greenMax], greenMax);
        EXPECT_EQ(display->redConvertTable[255], c.format.redMask);
        EXPECT_EQ(display->redConvertTable[128], (128 * c.format.redMask / 255) & c.format.redMask);
    }
}

TEST_F(DisplayTest, DesktopsOfOtherDepthsCannotShowAWindow)
{
    headless->desktop.format = {24, 0xFF0000, 0xFF00, 0xFF};
    EXPECT_EQ(display->Init(nullptr, true), RESULT_INVALID_COLORDEPTH);
    EXPECT_FALSE(display->initialized);
    EXPECT_NE(display->errorText.find("24 bits"), std::string::npos) << display->errorText;

    app.colorDepth = 24; // full screen shows the depth asked for, whatever the desktop's
    EXPECT_EQ(display->Init(nullptr, false), RESULT_INVALID_COLORDEPTH);
    app.colorDepth = 32;
    EXPECT_EQ(display->Init(nullptr, false), RESULT_OK);
}

TEST_F(DisplayTest, RefreshRatesOutsideSixtyToAHundredAreClampedAndFlagged)
{
    struct Case {
        int reported;
        uint32_t used, msPerFrame;
        bool flagged;
    } cases[] = {{0, 60, 16, true}, {50, 60, 16, true}, {75, 75, 13, false}, {120, 100, 10, true}};
    for (const Case& c : cases) {
        app.refreshRateUnknown = false;
        headless->desktop.refreshRate = c.reported;
        Start();
        EXPECT_EQ(display->refreshRate, c.used) << c.reported;
        EXPECT_EQ(display->millisecondsPerFrame, c.msPerFrame) << c.reported;
        EXPECT_EQ(app.refreshRateUnknown, c.flagged) << c.reported;
    }
}

TEST_F(DisplayTest, FullScreenPlacesANarrowerFrameInTheMiddleOfTheDesktop)
{
    headless->desktop.width = 1920;
    headless->desktop.height = 1080;
    ASSERT_EQ(display->Init(nullptr, false), RESULT_OK);
    EXPECT_TRUE(headless->fullScreen);
    EXPECT_TRUE(display->letterboxed);
    EXPECT_EQ(display->presentationRect, Rect(240, 0, 1440, 1080));
    EXPECT_EQ(app.presentationRect, display->presentationRect);
    EXPECT_EQ(display->width, 1024);

    app.stretchToWideScreen = true;
    ASSERT_EQ(display->Init(nullptr, false), RESULT_OK);
    EXPECT_EQ(display->width, 1365); // 16 x 768 / 9
    EXPECT_EQ(display->GetScreenImage()->GetWidth(), 1365);
    EXPECT_EQ(display->presentationRect, Rect(0, 0, 1920, 1080));
}

TEST_F(DisplayTest, AFrameAsWideAsTheDesktopIsNotLetterboxed)
{
    headless->desktop.width = 1280;
    headless->desktop.height = 1024; // 5:4 is narrower than 4:3
    ASSERT_EQ(display->Init(nullptr, false), RESULT_OK);
    EXPECT_FALSE(display->letterboxed);
    EXPECT_EQ(display->presentationRect, Rect(0, 0, 1024, 768));
}

TEST_F(DisplayTest, AForcedWindowAspectWidensTheWindow)
{
    app.windowAspectForced = true;
    app.windowAspect.Set(16, 9);
    ASSERT_EQ(display->Init(nullptr, true), RESULT_OK);
    EXPECT_FALSE(headless->fullScreen);
    EXPECT_EQ(headless->clientWidth, 1365);
    EXPECT_EQ(headless->clientHeight, 768);
    EXPECT_EQ(display->presentationRect, Rect(170, 0, 1024, 768));

    app.stretchToWideScreen = true;
    ASSERT_EQ(display->Init(nullptr, true), RESULT_OK);
    EXPECT_EQ(display->width, 1365);
    EXPECT_EQ(display->presentationRect, Rect(0, 0, 1365, 768));

    app.windowAspect.Set(8, 6); // equal to the frame's: nothing to widen
    ASSERT_EQ(display->Init(nullptr, true), RESULT_OK);
    EXPECT_FALSE(display->letterboxed);
}

TEST_F(DisplayTest, FailuresNameTheStepAndLeaveTheDisplayDown)
{
    headless->failFullScreen = true;
    EXPECT_EQ(display->Init(nullptr, false), RESULT_EXCLUSIVE_FAIL);
    EXPECT_EQ(display->errorText, "SDL_SetWindowFullscreen: refused");

    headless->failStart = true;
    EXPECT_EQ(display->Init(nullptr, true), RESULT_DD_CREATE_FAIL);
    EXPECT_EQ(display->errorText, "SDL_CreateRenderer: no renderer");
    EXPECT_FALSE(display->Redraw());

    DDInterface windowless(&app);
    EXPECT_EQ(windowless.Init(nullptr, true), RESULT_DD_CREATE_FAIL);
}

TEST_F(DisplayTest, TheGraphicsCardsRoadFailingToStartIsReportedAfterTheRest)
{
    display->is3D = true;
    EXPECT_EQ(display->Init(nullptr, true), RESULT_3D_INIT_FAIL);
    EXPECT_EQ(display->errorText.rfind("3D init error: ", 0), 0u) << display->errorText;
    EXPECT_NE(display->GetScreenImage(), nullptr);
    display->is3D = false;
    EXPECT_EQ(display->Init(nullptr, true), RESULT_OK);
    EXPECT_EQ(display->initCount, 1u);
}

TEST_F(DisplayTest, RedrawShowsTheScreenImageInThePresentationRectangle)
{
    headless->desktop.width = 2048;
    headless->desktop.height = 768;
    app.width = 4;
    app.height = 3;
    ASSERT_EQ(display->Init(nullptr, false), RESULT_OK);
    Graphics g(display->GetScreenImage());
    g.SetColor(Color(255, 0, 0));
    g.FillRect(0, 0, 2, 3);
    g.SetColor(Color(0, 0, 255));
    g.FillRect(2, 0, 2, 3);
    ASSERT_TRUE(display->Redraw());

    EXPECT_EQ(headless->lastTo, (plat::PixelRect{512, 0, 1024, 768}));
    EXPECT_EQ(headless->ShownPixel(511, 300), 0u); // the bars stay black
    EXPECT_EQ(headless->ShownPixel(512, 300) & 0xFFFFFF, 0xFE0000u);
    EXPECT_EQ(headless->ShownPixel(1535, 767) & 0xFFFFFF, 0x0000FEu);
    EXPECT_EQ(headless->ShownPixel(1536, 0), 0u);
}

TEST_F(DisplayTest, VideoOnlyDrawingGoesToAWriteOnlySurfaceThatIsShown)
{
    Start();
    display->SetVideoOnlyDraw(true);
    DDImage* screen = display->GetScreenImage();
    ASSERT_TRUE(display->secondarySurface);
    EXPECT_TRUE(screen->videoMemoryWriteOnly);
    EXPECT_EQ(screen->GetBits(), nullptr); // never read back
    screen->FillRect(Rect(0, 0, 1, 1), Color(0, 255, 0), DRAWMODE_NORMAL); // fills skip write-only surfaces
    ASSERT_TRUE(display->Redraw());
    EXPECT_EQ(headless->ShownPixel(0, 0), 0u);
}

TEST_F(DisplayTest, TheSameCursorImageTwiceChangesNothing)
{
    Start();
    auto arrow = Picture(std::vector<uint32_t>(4, 0xFF000000), 2);
    EXPECT_TRUE(display->SetCursorImage(arrow.get()));
    EXPECT_FALSE(display->SetCursorImage(arrow.get()));
    EXPECT_TRUE(display->SetCursorImage(nullptr));
}
