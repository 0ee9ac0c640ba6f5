#include "game/shell/WelcomeDialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/core/TCCursorSet.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCTexture.h"
#include "engine/ui/TCText.h"
#include "framework/app/AppTestSupport.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCEngine3.h"

namespace {

class Game : public TCEngine3 {
public:
    bool ChangeDirHook(const std::string&) override { return true; }
};

// The shipped content, loaded as start-up loads it, with the first screen up.
TEST(WelcomeDialog, TheShippedScreenCountsTheCoffeesServed)
{
    const auto previous = std::filesystem::current_path();
    setenv("VELMIRA_DATA_ROOT", (std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data/").c_str(), 1);
    {
        Game game;
        game.productName = apptest::UniqueProduct("Welcome");
        game.GetLocalization().Load();
        game.LoadingThreadProc();
        game.LoadingThreadCompleted();
        WelcomeDialog* screen = nullptr;
        for (Nubra::Widget* widget : game.widgetManager->children)
            if (auto* welcome = dynamic_cast<WelcomeDialog*>(widget))
                screen = welcome;
        ASSERT_NE(screen, nullptr);
        EXPECT_TRUE(screen->visible);
        ASSERT_NE(screen->GetBackground(), nullptr);
        EXPECT_NE(screen->GetBackground()->GetCurrentFrame(), nullptr) << "the panel's image is declared";
        auto* money = screen->FindChild("money")->AsText();
        ASSERT_NE(money, nullptr);
        game.widgetManager->UpdateFrame();
        EXPECT_EQ(money->GetDisplayedText(), L"Money: 0");

        // "serve" lies at (30, 168) in the panel at (312, 264).
        game.widgetManager->MouseMove(400, 450);
        EXPECT_EQ(game.GetCursorSet().GetMode(), "active");
        game.widgetManager->MouseDown(400, 450, 1);
        game.widgetManager->MouseUp(400, 450, 1);
        game.widgetManager->UpdateFrame();
        EXPECT_EQ(money->GetDisplayedText(), L"Money: 25");
    }
    unsetenv("VELMIRA_DATA_ROOT");
    std::filesystem::current_path(previous);
}

} // namespace
