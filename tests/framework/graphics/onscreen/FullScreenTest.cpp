// Full screen on a display larger than the game: the window really covers the screen, the
// picture is scaled to fit with its shape kept and centred, and a click on the screen lands on
// the picture's pixel under it.
#include "framework/app/WindowTestApp.h"
#include "platform/Clock.h"
#include "platform/Events.h"

#include "VirtualDisplay.h"
#include "WindowShot.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace Nubra;

namespace {

constexpr int kScreenWidth = 1280; // the virtual display of the onscreen tests
constexpr int kScreenHeight = 1024;

// Runs the window's messages and draws until the condition holds; false when it never did.
bool RunUntil(apptest::WindowApp& app, const std::function<bool()>& done)
{
    for (int i = 0; i < 500; ++i) {
        plat::Message message;
        while (plat::PollMessage(message))
            app.WindowProc(message);
        app.ProcessDeferredMessages(false);
        app.probe->MarkDirty();
        app.DrawDirtyStuff();
        if (done())
            return true;
        plat::SleepMs(20);
    }
    return false;
}

bool Logged(const apptest::WindowApp& app, const std::string& entry)
{
    return std::find(app.log.begin(), app.log.end(), entry) != app.log.end();
}

} // namespace

TEST(FullScreen, CoversTheScreenLetterboxedAndMapsClicksBackToThePicture)
{
    if (!OnVirtualDisplay())
        GTEST_SKIP() << "needs a virtual X display (xvfb-run)";
    apptest::WindowApp app("FullScreen", false);
    app.probe->onDraw = [](Graphics* g) {
        g->SetColor(Color(255, 255, 255));
        g->FillRect(0, 0, 640, 480);
    };
    app.Init();
    ASSERT_TRUE(app.ddInterface && app.ddInterface->initialized) << app.ddInterface->errorText;
    ASSERT_FALSE(app.physicallyWindowed);
    app.window.Show();

    // No window manager here: the window gets the screen from the game, not from a manager.
    auto coversScreen = [&] {
        const ServerGeometry at = WindowGeometry(app.window.Handle());
        return at.x == 0 && at.y == 0 && at.width == kScreenWidth && at.height == kScreenHeight;
    };
    ASSERT_TRUE(RunUntil(app, coversScreen)) << "the window is " << WindowGeometry(app.window.Handle()).width << "x"
                                             << WindowGeometry(app.window.Handle()).height;

    // 640 x 480 doubles to 1280 x 960, with black bars of 32 rows above and below.
    const std::vector<uint32_t> shot = WindowShot(app.window.Handle(), kScreenWidth, kScreenHeight);
    ASSERT_EQ(shot.size(), size_t(kScreenWidth * kScreenHeight));
    auto at = [&shot](int x, int y) { return shot[size_t(y * kScreenWidth + x)]; };
    EXPECT_EQ(at(640, 31), 0u);
    EXPECT_GE(at(0, 32), 0xFEFEFEu); // white, less the software drawing's rounding
    EXPECT_GE(at(kScreenWidth - 1, 991), 0xFEFEFEu);
    EXPECT_EQ(at(640, 992), 0u);

    ServerClick(app.window.Handle(), 2 * 300 + 1, 32 + 2 * 200 + 1);
    EXPECT_TRUE(RunUntil(app, [&] { return Logged(app, "probe:down 300,200 b0 c1"); }));
}
