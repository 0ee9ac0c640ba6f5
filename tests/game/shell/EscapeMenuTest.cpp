#include "game/shell/TCBoard_EscapeMenu.h"

#include "ShippedGame.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCBoard_Help.h"
#include "game/shell/TCBoard_Menu.h"
#include "game/shell/TCBoard_Options.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

using fixtures::Game;
using EscapeMenu = fixtures::ShippedContent;

constexpr int kEscape = 27;

void FinishLevelLoad(Game& game)
{
    game.WaitForLevelLoading();
    game.GetGameBoard()->OnLevelLoaded();
}

// A day of the career under way, with nothing over the board.
void StartDay(Game& game)
{
    ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    game.GetMainMenu()->TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    game.StartLevel(2, false);
    FinishLevelLoad(game);
    game.GetLevelScreens()->GetBriefing()->Hide();
    ASSERT_TRUE(game.GetGameBoard()->IsRunning());
    ASSERT_EQ(game.GetGameBoard()->GetPauseCount(), 0);
}

TCCandyWidget* MenuButton(Game& game, const char* name)
{
    TCCandyWidget* button = game.GetEscapeMenu()->GetInnerDialog()->FindChild("right_page")->FindChild(name);
    EXPECT_NE(button, nullptr) << name;
    return button;
}

// What the player does, and the board's pause count and the menu's visibility right after it.
struct Step {
    std::function<void(Game&)> act;
    int pauses;
    bool menuShown;
};

void PressEscape(Game& game) { game.widgetManager->KeyUp(kEscape); }
void OpenMenu(Game& game) { game.GetGameBoard()->KeyUp(kEscape); }
void PressDisplaysMenuButton(Game& game) { game.ClickOn(game.GetBoardWidget()->FindChild("hud")->FindChild("menu_btn")); }
std::function<void(Game&)> Press(const char* button)
{
    return [button](Game& game) { game.ClickOn(MenuButton(game, button)); };
}
std::function<void(Game&)> Answer(const char* button, bool yes)
{
    return [button, yes](Game& game) {
        game.actions = {[&game, yes] { yes ? game.ClickYes() : game.ClickNo(); }};
        game.ClickOn(MenuButton(game, button));
    };
}

TEST_F(EscapeMenu, EveryWayInAndOutKeepsThePausesBalanced)
{
    struct Case {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"escape opens and closes", {{OpenMenu, 1, true}, {PressEscape, 0, false}}},
        {"resume", {{OpenMenu, 1, true}, {Press("resume"), 0, false}}},
        {"the display's menu button", {{PressDisplaysMenuButton, 1, true}, {PressEscape, 0, false}}},
        {"options within",
         {{OpenMenu, 1, true},
          {Press("settings"), 1, true},
          {[](Game& game) { game.ClickOn(game.GetOptions()->FindChild("cancel")); }, 1, true},
          {Press("resume"), 0, false}}},
        {"help within, then escape on the board",
         {{OpenMenu, 1, true},
          {Press("help"), 1, true},
          {[](Game& game) { game.ClickOn(game.GetHelp()->FindChild("close")); }, 1, true},
          {PressEscape, 0, false}}},
        {"restart declined", {{OpenMenu, 1, true}, {Answer("restart", false), 1, true}, {Press("resume"), 0, false}}},
        {"quit declined", {{OpenMenu, 1, true}, {Answer("quit", false), 1, true}, {PressEscape, 0, false}}},
        {"restart", {{OpenMenu, 1, true}, {Answer("restart", true), 0, false}}},
        {"quit", {{OpenMenu, 1, true}, {Answer("quit", true), 0, false}}},
        {"shown and hidden twice over",
         {{OpenMenu, 1, true},
          {[](Game& game) { game.GetEscapeMenu()->Show(); }, 1, true},
          {[](Game& game) { game.GetEscapeMenu()->Hide(); }, 0, false},
          {[](Game& game) { game.GetEscapeMenu()->Hide(); }, 0, false}}},
    };
    for (const Case& c : cases) {
        Game game;
        StartDay(game);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            c.steps[i].act(game);
            EXPECT_EQ(game.GetGameBoard()->GetPauseCount(), c.steps[i].pauses) << c.name << ", step " << i;
            EXPECT_EQ(game.GetEscapeMenu()->visible, c.steps[i].menuShown) << c.name << ", step " << i;
        }
    }
}

TEST_F(EscapeMenu, ComesUpInFrontWithTheKeyboardAndGivesItBack)
{
    Game game;
    StartDay(game);
    OpenMenu(game);
    EXPECT_EQ(game.widgetManager->children.back(), game.GetEscapeMenu());
    EXPECT_EQ(game.widgetManager->focusWidget, game.GetEscapeMenu());
    EXPECT_FALSE(game.GetGameBoard()->CanHandleInput());
    PressEscape(game);
    EXPECT_EQ(game.widgetManager->focusWidget, game.GetBoardWidget());
}

TEST_F(EscapeMenu, DeclinedQuestionsLeaveTheDayPausedUnderTheMenu)
{
    for (const char* button : {"restart", "quit"}) {
        Game game;
        StartDay(game);
        OpenMenu(game);
        std::wstring asked;
        game.actions = {[&] { asked = game.Question(); }, [&] { game.ClickNo(); }};
        game.ClickOn(MenuButton(game, button));
        EXPECT_EQ(asked, std::string(button) == "quit" ? L"Leave this day?" : L"Restart this day?");
        EXPECT_TRUE(game.GetEscapeMenu()->visible) << button;
        EXPECT_TRUE(game.GetGameBoard()->IsRunning()) << button;
        EXPECT_FALSE(game.GetGameBoard()->IsLoading()) << button;
        EXPECT_EQ(game.GetGameBoard()->GetPauseCount(), 1) << button;
    }
}

TEST_F(EscapeMenu, RestartLoadsTheSameDayAgainAndTheShopCannotFinishTheOldOne)
{
    Game game;
    StartDay(game);
    int shopsHidden = 0;
    game.GetEscapeMenu()->hideShop = [&] { ++shopsHidden; };
    OpenMenu(game);
    Answer("restart", true)(game);
    EXPECT_EQ(shopsHidden, 1);
    TCBoard_Game3& board = *game.GetGameBoard();
    EXPECT_TRUE(board.IsLoading());
    EXPECT_TRUE(game.GetLoadScreen()->visible);
    board.CloseUpgradeShop();
    EXPECT_FALSE(board.IsFinished()) << "the abandoned day is not carried on";
    FinishLevelLoad(game);
    EXPECT_TRUE(board.IsRunning());
    EXPECT_EQ(board.GetLevel(), 2);
    EXPECT_TRUE(game.GetLevelScreens()->GetBriefing()->visible) << "the day begins again with its briefing";
    EXPECT_EQ(board.GetPauseCount(), 1);
}

TEST_F(EscapeMenu, QuitLeavesTheDayForTheMainMenu)
{
    Game game;
    StartDay(game);
    int shopsHidden = 0;
    game.GetEscapeMenu()->hideShop = [&] { ++shopsHidden; };
    OpenMenu(game);
    Answer("quit", true)(game);
    TCBoard_Game3& board = *game.GetGameBoard();
    EXPECT_EQ(shopsHidden, 1);
    EXPECT_FALSE(board.IsRunning());
    EXPECT_FALSE(game.GetBoardWidget()->visible);
    EXPECT_TRUE(game.GetMainMenu()->visible);
    EXPECT_TRUE(game.GetMenuBackground()->visible);
    EXPECT_TRUE(game.GetMainMenu()->GetMainPage()->visible);
    board.CloseUpgradeShop();
    EXPECT_FALSE(board.IsFinished()) << "the abandoned day is not carried on";
}

} // namespace
