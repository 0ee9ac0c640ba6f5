#include "ShippedGame.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCBoard_Menu.h"
#include "game/sim/TCEngineBoardHost.h"

namespace {

using fixtures::Game;
using StartUp = fixtures::ShippedContent;

TEST_F(StartUp, TheScreensLieInTheirOrderWithTheSplashOnTop)
{
    Game game(false);
    const std::vector<Nubra::Widget*> expected = {game.GetMenuBackground(), game.GetLoadScreen(), game.GetMainMenu(),
                                                  game.GetSplash()};
    std::vector<Nubra::Widget*> screens;
    for (Nubra::Widget* widget : game.widgetManager->children)
        if (std::find(expected.begin(), expected.end(), widget) != expected.end())
            screens.push_back(widget);
    EXPECT_EQ(screens, expected);
    EXPECT_EQ(game.widgetManager->children.back(), game.GetSplash());
    EXPECT_FALSE(game.GetMainMenu()->visible) << "the splash comes first";
}

TEST_F(StartUp, TheLoadScreenCoversALevelLoadAndLeavesWithIt)
{
    Game game;
    TCEngineBoardHost host(game);
    host.ShowLoadScreen(true);
    TCBoard_LoadScreen* load = game.GetLoadScreen();
    EXPECT_TRUE(load->visible);
    EXPECT_EQ(game.widgetManager->children.back(), load);
    EXPECT_EQ(game.widgetManager->focusWidget, load);
    EXPECT_FALSE(game.GetMenuBackground()->visible);
    ASSERT_NE(load->GetBackground(), nullptr);
    game.widgetManager->UpdateFrame();
    EXPECT_EQ(load->FindChild("text")->AsText()->GetDisplayedText(), L"Opening the cafe...");
    host.ShowLoadScreen(false);
    EXPECT_FALSE(load->visible);
}

} // namespace
