// The game in its real window on a virtual X display, played by clicks sent through SDL: from
// the main menu by the career map into a day, through its briefing and result dialog and back to
// the menu; the player's file then holds the day's result and the next day open.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "VirtualDisplay.h"
#include "game/shell/QuickLevel.h"
#include "game/shell/ScriptedGame.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCBoard_Career.h"
#include "game/shell/TCBoard_Debriefing.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCBoard_Splash.h"
#include "game/shell/TCBoard_Upgrade.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCMessageBox.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

namespace fs = std::filesystem;

// Clicks go through SDL, as the window system would send them.
class CareerGame : public fixtures::ScriptedGame {
public:
    CareerGame() : ScriptedGame("CareerRoundTrip", std::chrono::seconds(20)) {}

    // A click at the middle of a widget.
    void ClickOn(const Nubra::Widget* widget)
    {
        const auto [x, y] = MiddleOf(widget);
        for (Uint32 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            SDL_Event event{};
            event.type = type;
            if (type == SDL_MOUSEMOTION) {
                event.motion.windowID = SDL_GetWindowID(window.Handle());
                event.motion.x = x;
                event.motion.y = y;
            } else {
                event.button.windowID = SDL_GetWindowID(window.Handle());
                event.button.button = SDL_BUTTON_LEFT;
                event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
                event.button.clicks = 1;
                event.button.x = x;
                event.button.y = y;
            }
            SDL_PushEvent(&event);
        }
    }
    TCCandyWidget* Control(const TCCandyWidget* screen, const char* name) { return FindBelow(screen, name); }
};

TEST(CareerRoundTrip, FromTheMenuThroughADayAndBackTheResultIsKept)
{
    if (!OnVirtualDisplay())
        GTEST_SKIP() << "needs a virtual X display (xvfb-run)";
    fixtures::PrivateHome data("XDG_DATA_HOME"), config("XDG_CONFIG_HOME");
    const fs::path shipped = fs::path(std::getenv("NUBRA_TEST_DATA")) / ".." / "data";
    QuickLevelContent content(shipped, {2});
    setenv("VELMIRA_DATA_ROOT", content.Root().c_str(), 1);
    const fs::path previous = fs::current_path();

    // A player whose newest day is the second, in a window: clicks land where they are aimed.
    TCProfileStore& store = TheProfileStore();
    store.Load();
    store.Header().windowed = 1;
    ASSERT_TRUE(store.CreateProfile(L"Ada"));
    store.CurrentProfile().highestLevel = 2;
    ASSERT_TRUE(store.SaveTables());

    int goal = 0;
    {
        CareerGame game;
        auto shown = [](const TCCandyWidget* widget) { return widget && widget->IsVisibleInTree(); };
        TCBoard_Career* career = nullptr;
        TCBoard_Debriefing* result = nullptr;
        game.steps = {
            {"the main menu",
             [&] {
                 return game.GetMainMenu() && shown(game.GetMainMenu()->GetMainPage()) && !shown(game.GetSplash()) &&
                        !game.GetMainMenu()->IsShowing();
             },
             [&] {
                 career = game.GetCareer();
                 game.ClickOn(game.Control(game.GetMainMenu(), "career"));
             }},
            {"the career map", [&] { return shown(career) && !career->IsShowing(); },
             [&] {
                 EXPECT_EQ(career->GetSelectedLevel(), 2) << "the newest day is offered";
                 game.ClickOn(game.Control(career, "play_button"));
             }},
            {"the day's briefing",
             [&] {
                 const TCBoard_Game3* board = game.GetGameBoard();
                 return board->IsRunning() && !board->IsLoading() && shown(game.GetLevelScreens()->GetBriefing());
             },
             [&] {
                 // The guests are this day's own business; the test hands over the takings.
                 goal = game.GetGameBoard()->GetGoal();
                 game.GetGameBoard()->AddMoney(goal);
                 result = game.GetLevelScreens()->GetDebriefing(false);
                 game.ClickOn(game.Control(game.GetLevelScreens()->GetBriefing(), "start"));
             }},
            {"the result dialog", [&] { return shown(result); },
             [&] { EXPECT_FALSE(result->IsResultRecorded()) << "the result is two seconds away"; }},
            {"the shop's announcement", [&] { return gConfirm1 && shown(gConfirm1); },
             [&] { game.ClickOn(game.Control(gConfirm1, "btn_yes")); }},
            {"the upgrade shop", [&] { return shown(game.GetUpgradeShop()) && !IsMessageBoxOpen(); },
             [&] { game.ClickOn(game.Control(game.GetUpgradeShop(), "close_button")); }},
            {"the result recorded", [&] { return result->IsResultRecorded() && !IsMessageBoxOpen(); },
             [&] { game.ClickOn(game.Control(result, "menu")); }},
            {"back at the main menu", [&] { return shown(game.GetMainMenu()->GetMainPage()) && !shown(result); },
             [&] {
                 game.quitBySystem = true;
                 game.Shutdown();
             }},
        };
        game.Init();
        game.Start();
        EXPECT_TRUE(game.Done());
    }
    fs::current_path(previous);
    unsetenv("VELMIRA_DATA_ROOT");

    TCProfileStore written(TCProfileStore::DefaultPath());
    ASSERT_TRUE(written.Load());
    ASSERT_TRUE(written.IsCurrentProfileValid());
    const TCPlayerProfile& player = written.CurrentProfile();
    EXPECT_EQ(NameText(player.name), L"Ada");
    EXPECT_EQ(player.bestScore[2], goal);
    EXPECT_GT(goal, 0);
    EXPECT_EQ(player.highestLevel, 3) << "the next day is open";
}

} // namespace
