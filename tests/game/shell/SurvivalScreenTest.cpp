#include "game/shell/TCBoard_Survival.h"

#include <algorithm>

#include "ShippedGame.h"
#include "game/shell/ShellControls.h"
#include "game/shell/TCBoard_Menu.h"
#include "game/sim/TCBoard_Game.h"

namespace {

using fixtures::Game;
using SurvivalScreen = fixtures::ShippedContent;

TCCandyWidget* Control(TCCandyWidget* root, const std::string& name)
{
    TCCandyWidget* found = FindBelow(root, name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A player whose career has reached that level, on the survival page.
TCBoard_Survival& OpenSurvival(Game& game, int highestLevel)
{
    EXPECT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    TheProfileStore().CurrentProfile().highestLevel = highestLevel;
    TCBoard_MainMenu& menu = *game.GetMainMenu();
    menu.TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    game.ClickOn(menu.GetMainPage()->FindChild("survival"));
    return *game.GetSurvival();
}

TEST_F(SurvivalScreen, CafesOpenWithTheCareerAndAClosedChoiceFallsBackToTheFirst)
{
    struct Case {
        int highest;
        std::vector<bool> open;
        int chosenAfterThird; // after clicking the third cafe
    } cases[] = {{1, {true, false, false}, 1}, {16, {true, true, false}, 1}, {36, {true, true, true}, 3}};
    for (const Case& c : cases) {
        Game game;
        TCBoard_Survival& survival = OpenSurvival(game, c.highest);
        ASSERT_TRUE(survival.visible) << c.highest;
        for (int cafe = 1; cafe <= 3; ++cafe) {
            const std::string prefix = "cafe" + std::to_string(cafe);
            EXPECT_EQ(!Control(&survival, prefix + "_button")->disabled, c.open[size_t(cafe - 1)]) << c.highest;
            EXPECT_EQ(!Control(&survival, prefix + "_small_photo")->disabled, c.open[size_t(cafe - 1)]) << c.highest;
        }
        game.ClickOn(Control(&survival, "cafe3_small_photo"));
        EXPECT_EQ(survival.GetChosenCafe(), c.chosenAfterThird) << c.highest;
        // A choice the player may no longer make is dropped at the next refresh.
        survival.ChooseCafe(2);
        EXPECT_EQ(survival.GetChosenCafe(), c.open[1] ? 2 : 1) << c.highest;
        for (int cafe = 1; cafe <= 3; ++cafe)
            for (const char* part : {"_photo", "_head", "_desc"}) {
                const std::string name = "cafe" + std::to_string(cafe) + part;
                EXPECT_EQ(Control(&survival, name)->visible, cafe == survival.GetChosenCafe()) << name;
            }
    }
}

TEST_F(SurvivalScreen, IsAPageOfTheMenuBookThatLeadsBackOrIntoTheChosenCafe)
{
    Game game;
    TCBoard_Survival& survival = OpenSurvival(game, 40);
    TCBoard_MainMenu& menu = *game.GetMainMenu();
    EXPECT_EQ(menu.GetPage(), &survival);
    EXPECT_FALSE(menu.GetMainPage()->visible);

    game.ClickOn(Control(&survival, "cancel_button"));
    EXPECT_FALSE(survival.visible);
    EXPECT_TRUE(menu.GetMainPage()->visible);
    EXPECT_FALSE(game.GetGameBoard()->IsLoading()) << "nothing started";

    game.ClickOn(menu.GetMainPage()->FindChild("survival"));
    game.ClickOn(Control(&survival, "cafe3_button"));
    game.ClickOn(Control(&survival, "play_button"));
    EXPECT_FALSE(survival.visible);
    EXPECT_FALSE(menu.visible);
    EXPECT_TRUE(game.GetLoadScreen()->visible);
    game.FinishLevelLoad();
    TCBoard_Game3& board = *game.GetGameBoard();
    EXPECT_TRUE(board.IsRunning());
    EXPECT_TRUE(board.IsSurvival());
    EXPECT_EQ(board.GetLevel(), 3) << "survival levels are numbered by their cafe";
    EXPECT_EQ(menu.GetPage(), nullptr) << "the book is back on its main page for the menu's return";
}

// Plays the day with nobody serving until the cafe closes and its result is handled.
void PlayUntilFinished(Game& game)
{
    TCBoard_Game3& board = *game.GetGameBoard();
    for (int step = 0; step < 100 * 60 * 10 && !board.IsFinished(); ++step)
        game.widgetManager->UpdateFrame();
    ASSERT_TRUE(board.IsFinished());
}

TEST_F(SurvivalScreen, ADayWithTakingsEntersTheHiScoresAndOneWithoutLeadsBackToTheCafes)
{
    for (int takings : {0, 900}) {
        Game game;
        ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
        game.StartLevel(1, true);
        game.BeginDay();
        game.GetGameBoard()->AddMoney(takings);
        PlayUntilFinished(game);
        EXPECT_FALSE(game.GetBoardWidget()->visible) << takings;
        EXPECT_TRUE(game.GetMenuBackground()->visible) << takings;
        const TCHiScoreTable& table = TheProfileStore().GetHiScoreTable(true);
        const bool listed = std::any_of(table.begin(), table.end(), [](const TCHiScoreRow& row) {
            return NameText(row.name) == L"Ada";
        });
        EXPECT_EQ(listed, takings > 0) << takings;
        EXPECT_EQ(game.GetSurvival()->visible, takings == 0) << "a day without takings makes no table";
        EXPECT_TRUE(PrefWritten()) << takings;
    }
}

} // namespace
