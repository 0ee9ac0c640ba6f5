// The game on a real (virtual) display: the career's first day opens with its comic strip, and a
// screenshot of the strip's last frame shows its page, panels and captions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "VirtualDisplay.h"
#include "engine/core/TCDebugSettings.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/ScriptedGame.h"
#include "game/shell/TCComix.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCProfileStore.h"
#include "game/sim/TCBoard_Game.h"

namespace {

// Goes straight into the first day, skips the strip to its last frame, lets it draw and takes
// the screenshot; then the run ends.
class ComixShot : public fixtures::WindowedGame {
public:
    ComixShot() : WindowedGame("ComixShot") {}
    void ReadFromRegistry() override
    {
        TCEngine3::ReadFromRegistry();
        windowed = true;
    }
    void UpdateFrames() override
    {
        TCEngine3::UpdateFrames();
        if (++frames > kGiveUpFrames)
            return End();
        TCComix* comix = GetBoardWidget() ? dynamic_cast<TCComix*>(GetBoardWidget()->FindChild("comix")) : nullptr;
        if (!comix || !comix->visible)
            return;
        if (size_t(comix->GetCurrentEpisode()) < comix->GetEpisodes().size())
            return comix->Skip();
        // A few frames for the last one to reach the screen.
        if (++lastFrames < 10)
            return;
        shot = TakeScreenshot();
        auto* screen = dynamic_cast<Nubra::MemoryImage*>(widgetManager->screenImage);
        if (screen && screen->GetBits())
            pixels.assign(screen->GetBits(), screen->GetBits() + screen->GetWidth() * screen->GetHeight());
        End();
    }

    static constexpr int kGiveUpFrames = 3000;
    int frames = 0;
    int lastFrames = 0;
    bool shot = false;
    std::vector<uint32_t> pixels;

private:
    void End()
    {
        quitBySystem = true;
        Shutdown();
    }
};

TEST(ComixOnScreen, TheFirstDaysStripReachesTheScreen)
{
    if (!OnVirtualDisplay())
        GTEST_SKIP() << "needs a virtual display";
    // The laid-out pack beside the tests, with the pictures made at build time.
    const std::string pack = (std::filesystem::current_path() / ".." / "game").string() + "/";
    ASSERT_TRUE(std::filesystem::exists(pack + "gfx/comix/page.png")) << pack;
    setenv("VELMIRA_DATA_ROOT", pack.c_str(), 1);
    // Settings and a player's file of the test's own, whatever other tests left behind: a window
    // drawn in software, the screen that can be read back.
    fixtures::PrivateHome data("XDG_DATA_HOME"), config("XDG_CONFIG_HOME");
    TheProfileStore().Load();
    TheProfileStore().Header().windowed = 1;
    ASSERT_TRUE(TheProfileStore().SaveTables());
    DebugSettings().NoMainMenu = true;
    DebugSettings().DbgScene = 1;
    auto* game = new ComixShot();
    game->RegistryWriteBoolean("Is3D", false);
    game->Init();
    game->Start();
    DebugSettings().NoMainMenu = false;
    EXPECT_LT(game->frames, ComixShot::kGiveUpFrames) << "the strip never showed its last frame";
    EXPECT_TRUE(game->shot);
    ASSERT_EQ(game->pixels.size(), size_t(1024 * 768));
    const auto at = [&](int x, int y) { return game->pixels[size_t(y) * 1024 + size_t(x)] & 0xFFFFFFu; };
    EXPECT_EQ(at(20, 300), 0x3A2418u) << "the page";
    EXPECT_EQ(at(54, 300), 0x5A341Eu) << "the first panel's frame, slid in to its place";
    EXPECT_EQ(at(700, 140), 0xF6EBD6u) << "the third panel's page";
    int captionPixels = 0;
    for (int y = 545; y < 640; ++y)
        for (int x = 672; x < 972; ++x)
            captionPixels += at(x, y) > 0xC0C0C0u;
    EXPECT_GT(captionPixels, 50) << "the third caption";
    delete game;
    unsetenv("VELMIRA_DATA_ROOT");
}

} // namespace
