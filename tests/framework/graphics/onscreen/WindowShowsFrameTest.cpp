// The program's window on a real (virtual) X display: what the widgets draw into the screen
// image is what a screenshot of the window shows.
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "platform/Clock.h"

#include "VirtualDisplay.h"
#include "WindowShot.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

using namespace Nubra;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// Bands of colour, a see-through sprite and a translucent fill: the copy, keyed and run roads.
class TestCard : public Widget {
public:
    TestCard()
    {
        const uint32_t ring[9] = {0xFFFFFF00, 0xFFFFFF00, 0xFFFFFF00, 0xFFFFFF00, 0,
                                  0xFFFFFF00, 0xFFFFFF00, 0xFFFFFF00, 0x80FF00FF};
        sprite.SetBits(ring, 3, 3, true);
    }
    void Draw(Graphics* g) override
    {
        const Color bands[] = {Color(255, 0, 0), Color(0, 255, 0), Color(0, 0, 255), Color(255, 255, 255)};
        for (int i = 0; i < 4; ++i) {
            g->SetColor(bands[i]);
            g->FillRect(i * kWidth / 4, 0, kWidth / 4, kHeight);
        }
        g->SetColor(Color(0, 0, 0, 128));
        g->FillRect(20, 100, 280, 40);
        for (int i = 0; i < 10; ++i)
            g->DrawImage(&sprite, 10 + i * 30, 200);
    }
    MemoryImage sprite;
};

class OnScreenApp : public NubraAppBase {
public:
    OnScreenApp()
    {
        productName = "OnScreen-" + std::to_string(getpid());
        width = kWidth;
        height = kHeight;
        windowed = true; // full screen would scale the frame to the desktop
        loadingThreadWanted = false;
    }
};

// Presents until the window is on the screen and has taken a frame; then its picture.
std::vector<uint32_t> ShowFrames(NubraAppBase& app, Widget& card)
{
    for (int i = 0; i < 20; ++i) {
        SDL_PumpEvents();
        card.MarkDirty();
        app.DrawDirtyStuff();
        plat::SleepMs(20);
    }
    return WindowShot(app.window.Handle(), kWidth, kHeight);
}

} // namespace

TEST(OnScreen, TheWindowShowsWhatTheWidgetsDrewIntoTheScreenImage)
{
    if (!OnVirtualDisplay())
        GTEST_SKIP() << "needs a virtual X display (xvfb-run)";
    OnScreenApp app;
    app.Init();
    ASSERT_TRUE(app.ddInterface && app.ddInterface->initialized) << app.ddInterface->errorText;
    const bool cardAvailable = app.Is3DAccelerated();
    app.Set3DAcceleration(false, true); // first the software roads
    // which present without the graphics card too
    SDL_RendererInfo presenting{};
    ASSERT_EQ(SDL_GetRendererInfo(app.ddInterface->GetPresenter()->Renderer(), &presenting), 0) << SDL_GetError();
    EXPECT_TRUE(presenting.flags & SDL_RENDERER_SOFTWARE) << presenting.name;
    TestCard card;
    card.Resize(0, 0, kWidth, kHeight);
    app.widgetManager->AddWidget(&card);
    app.window.Show();

    std::vector<uint32_t> shot = ShowFrames(app, card);
    ASSERT_EQ(shot.size(), size_t(kWidth * kHeight));
    auto at = [&shot](int x, int y) { return shot[size_t(y * kWidth + x)]; };

    const plat::Surface& frame = *app.ddInterface->drawSurface;
    int differing = 0;
    for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px)
            differing += at(px, py) != (frame.PixelAt(px, py) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
    // And the frame holds the card: a band, the translucent fill over it, the sprite's hole.
    EXPECT_EQ(at(5, 5), 0xFE0000u);
    EXPECT_EQ(at(5 + kWidth / 4, 120), 0x007F00u);
    EXPECT_EQ(at(11, 201), 0xFE0000u);
    EXPECT_EQ(at(10, 200), 0xFFFF00u);

    // The same card drawn by the graphics card, where the display has one (GL on the virtual
    // display): its own rounding, the same picture.
    if (cardAvailable) {
        app.Set3DAcceleration(true, true);
        ASSERT_TRUE(app.Is3DAccelerated()) << app.ddInterface->errorText;
        shot = ShowFrames(app, card);
        EXPECT_EQ(at(5, 5), 0xFF0000u);
        EXPECT_NEAR(int(at(5 + kWidth / 4, 120) >> 8 & 0xFF), 0x7F, 1);
        EXPECT_EQ(at(11, 201), 0xFF0000u);
        EXPECT_EQ(at(10, 200), 0xFFFF00u);
        EXPECT_TRUE(app.Is3DAccelerated()) << "no step failed";
    }
    app.widgetManager->RemoveWidget(&card);
}
