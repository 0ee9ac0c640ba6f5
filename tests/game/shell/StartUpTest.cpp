#include <sstream>

#include "ShippedGame.h"
#include "engine/core/TCDebugSettings.h"
#include "game/shell/ShellControls.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCBoard_Career.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCBoard_Menu.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TBoard_Hud.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCEngineBoardHost.h"
#include "game/sim/TCTutorialScript.h"

namespace {

using fixtures::Game;
using StartUp = fixtures::ShippedContent;

TEST_F(StartUp, TheScreensLieInTheirOrderWithTheSplashOnTop)
{
    Game game(false);
    const std::vector<Nubra::Widget*> expected = {game.GetMenuBackground(), game.GetLoadScreen(), game.GetMainMenu(),
                                                  game.GetBoardWidget(), game.GetSplash()};
    std::vector<Nubra::Widget*> screens;
    for (Nubra::Widget* widget : game.widgetManager->children)
        if (std::find(expected.begin(), expected.end(), widget) != expected.end())
            screens.push_back(widget);
    EXPECT_EQ(screens, expected);
    EXPECT_EQ(game.widgetManager->children.back(), game.GetSplash());
    EXPECT_FALSE(game.GetMainMenu()->visible) << "the splash comes first";
    EXPECT_FALSE(game.GetBoardWidget()->visible);
    EXPECT_EQ(gGameBoard, game.GetGameBoard());
}

TEST_F(StartUp, TheMenuStartsTheCareersDayByItsMapBehindTheLoadScreen)
{
    Game game;
    TCBoard_MainMenu& menu = *game.GetMainMenu();
    ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    TheProfileStore().CurrentProfile().highestLevel = 3;
    menu.TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    game.ClickOn(menu.GetMainPage()->FindChild("career"));
    // The career goes by its map, which offers the newest day.
    ASSERT_TRUE(game.GetCareer()->visible);
    EXPECT_EQ(game.GetCareer()->GetSelectedLevel(), 3);
    game.ClickOn(FindBelow(game.GetCareer(), "play_button"));
    EXPECT_FALSE(menu.visible);
    EXPECT_FALSE(game.GetMenuBackground()->visible);
    EXPECT_TRUE(game.GetLoadScreen()->visible);
    EXPECT_TRUE(game.GetGameBoard()->IsLoading());
    game.FinishLevelLoad();
    EXPECT_FALSE(game.GetLoadScreen()->visible);
    EXPECT_TRUE(game.GetBoardWidget()->visible);
    EXPECT_EQ(game.widgetManager->focusWidget, game.GetBoardWidget());
    EXPECT_TRUE(game.GetGameBoard()->IsRunning());
    EXPECT_EQ(game.GetGameBoard()->GetLevel(), 3);
    EXPECT_FALSE(game.GetGameBoard()->IsSurvival());
}

TEST_F(StartUp, TheDevelopersSwitchGoesPastTheMenusIntoTheLevelItNames)
{
    struct Case {
        int scene;
        bool infinity;
        int careerCafe, careerLevel; // the day the career map then has chosen; 0: none
    } cases[] = {{20, false, 2, 20}, {40, false, 3, 40}, {7, false, 1, 7}, {2, true, 1, 0}};
    TCDebugSettings& settings = DebugSettings();
    for (const Case& c : cases) {
        settings.NoMainMenu = true;
        settings.DbgScene = c.scene;
        settings.InfinityGame = c.infinity;
        Game game(false);
        settings.NoMainMenu = false;
        settings.DbgScene = 1;
        settings.InfinityGame = false;
        EXPECT_FALSE(game.GetSplash()->visible) << c.scene;
        EXPECT_FALSE(game.GetMainMenu()->visible) << c.scene;
        game.FinishLevelLoad();
        EXPECT_EQ(game.GetGameBoard()->GetLevel(), c.scene);
        EXPECT_EQ(game.GetGameBoard()->IsSurvival(), c.infinity) << c.scene;
        EXPECT_EQ(game.GetCareer()->GetShownCafe(), c.careerCafe) << c.scene;
        EXPECT_EQ(game.GetCareer()->GetSelectedLevel(), c.careerLevel) << c.scene;
        game.actions = {[&] { game.ClickNo(); }};
        game.Shutdown();
        EXPECT_EQ(game.steps, 1) << "without a splash, a close asks at once";
    }
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

TEST_F(StartUp, ADayInPlayShowsTheDisplayAndTheCareerUsesThePlayersUpgrades)
{
    Game game;
    ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    TheProfileStore().CurrentProfile().upgrades.fill(1);
    game.StartLevel(3, false);
    game.FinishLevelLoad();
    TCCandyWidget* hud = game.GetBoardWidget()->FindChild("hud");
    ASSERT_NE(hud, nullptr);
    EXPECT_TRUE(hud->IsVisibleInTree());
    // By the panel they lie in; the menu button lies over both left panels.
    const std::pair<const char*, const char*> elements[] = {
        {"right_part", "money_goal_value"}, {"right_part", "goal_value"}, {"left_part", "clock"}, {nullptr, "menu_btn"}};
    for (const auto& [part, name] : elements) {
        TCCandyWidget* panel = part ? hud->FindChild(part) : hud;
        TCCandyWidget* element = panel ? panel->FindChild(name) : nullptr;
        ASSERT_NE(element, nullptr) << name;
        EXPECT_TRUE(element->IsVisibleInTree()) << name;
    }
    TCBoard_Game3& board = *game.GetGameBoard();
    ASSERT_FALSE(board.GetUpgrades(TCUpgrade::kFunctional).empty());
    TCUpgrade& record = board.GetUpgrades(TCUpgrade::kFunctional).front();
    EXPECT_EQ(board.GetUpgradeValue(record), 1) << "the career's upgrades are the player's";

    board.AbortLevel();
    game.StartLevel(1, true);
    game.FinishLevelLoad();
    EXPECT_EQ(board.GetUpgradeValue(record), 0) << "survival buys its own";
    EXPECT_TRUE(hud->FindChild("menu_btn")->IsVisibleInTree()) << "survival has its menu button too";
    EXPECT_TRUE(hud->FindChild("left_survival_part")->FindChild("clock")->IsVisibleInTree());
}

// Each tip shown just before a rule that waits for a closed tip must say when it is clicked, or
// the lessons wait for ever.
TEST_F(StartUp, EveryTipTheLessonsWaitOnAnswersAClick)
{
    Game game;
    ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    game.StartLevel(3, false);
    game.FinishLevelLoad();
    auto* hud = dynamic_cast<TBoard_Hud*>(game.GetBoardWidget()->FindChild("hud"));
    ASSERT_NE(hud, nullptr);
    int closed = 0;
    const std::function<void()> tutorialHears = TCTutorialDialog::onClosed;
    TCTutorialDialog::onClosed = [&closed] { ++closed; };
    for (int script = 0; script < kTutorialScriptCount; ++script) {
        const std::span<const TCTutorialRule> rules = GetTutorialScript(script).rules;
        for (size_t i = 1; i < rules.size(); ++i) {
            if (rules[i].trigger != kTutorialDialogClosed)
                continue;
            std::istringstream ids{std::string(rules[i - 1].show)};
            for (std::string id; std::getline(ids, id, ';');) {
                hud->ShowTutorialMessage(id, true);
                TCCandyWidget* tip = hud->FindChild("tutorial")->FindChild(id);
                ASSERT_NE(tip, nullptr) << id;
                const int before = closed;
                game.ClickOn(tip);
                EXPECT_EQ(closed, before + 1) << id;
                hud->ShowTutorialMessage(id, false);
            }
        }
    }
    TCTutorialDialog::onClosed = tutorialHears;
}

} // namespace
