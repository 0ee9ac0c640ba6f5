// The whole game in a real window: the player picks survival from the main menu by clicks,
// chooses a cafe, plays a day until the cafe closes, and the takings stand in the hi-score table
// and in the file the game saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "VirtualDisplay.h"
#include "game/shell/PrefFile.h"
#include "game/shell/ScriptedGame.h"
#include "game/shell/ShellControls.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCBoard_Splash.h"
#include "game/shell/TCBoard_Survival.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCProfileStore.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

// Clicks come as the window system reports them.
class SurvivalGame : public fixtures::ScriptedGame {
public:
    SurvivalGame() : ScriptedGame("SurvivalDay", std::chrono::seconds(120)) {}

    // A click at the middle of the widget.
    void ClickOn(const Nubra::Widget* widget)
    {
        const auto [x, y] = MiddleOf(widget);
        for (plat::MessageKind kind : {plat::MessageKind::MouseMove, plat::MessageKind::LButtonDown, plat::MessageKind::LButtonUp})
            input.pending.push_back({kind, x, y});
    }
    bool Idle() const { return input.pending.empty(); }

    apptest::ScriptedEvents input;
};

TCHiScoreTable StoredSurvivalTable()
{
    std::ifstream file(TheProfileStore().Path(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (bytes.size() < pref::kHeaderSize + pref::kTableSize)
        return {};
    return DecodeTable(std::span(bytes).subspan(pref::kHeaderSize, pref::kTableSize));
}

bool Holds(const TCHiScoreTable& table, const std::wstring& name, int32_t score)
{
    return std::any_of(table.begin(), table.end(),
                       [&](const TCHiScoreRow& row) { return NameText(row.name) == name && row.score == score; });
}

TEST(SurvivalDay, FromTheMainMenuByClicksToTheHiScoreTable)
{
    if (!OnVirtualDisplay())
        GTEST_SKIP() << "needs a display";
    constexpr int kTakings = 777;
    const auto previous = std::filesystem::current_path();
    // The pack as the build lays it beside the game, with the pictures drawn for it.
    setenv("VELMIRA_DATA_ROOT", (previous / "../game/").c_str(), 1);
    // The game's file of its own, apart from the headless tests' that may run meanwhile. The
    // store takes its folder on first use, so no other test may run before this one in this
    // program.
    setenv("XDG_DATA_HOME", (std::string(std::getenv("XDG_DATA_HOME")) + "/survival-day").c_str(), 1);
    // A player who plays in a window; the career has not yet opened the other cafes.
    std::filesystem::remove(TheProfileStore().Path());
    TheProfileStore().Load();
    TheProfileStore().Header().windowed = 1;
    ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));

    auto* game = new SurvivalGame();
    TCBoard_Game3* board = nullptr;
    game->steps = {
        {"the splash", [&] { return game->GetSplash() && game->GetSplash()->visible; }, nullptr},
        {"the main menu, clicking through the splash",
         [&] {
             if (game->GetMainMenu()->visible && !game->GetSplash()->visible)
                 return true;
             if (game->Idle())
                 game->ClickOn(game->GetSplash());
             return false;
         },
         [&] { game->ClickOn(game->GetMainMenu()->GetMainPage()->FindChild("survival")); }},
        {"the survival screen", [&] { return game->GetSurvival()->visible && game->Idle(); },
         [&] { game->ClickOn(FindBelow(game->GetSurvival(), "cafe1_button")); }},
        {"the first cafe chosen", [&] { return game->Idle(); },
         [&] { game->ClickOn(FindBelow(game->GetSurvival(), "play_button")); }},
        {"the day's briefing",
         [&] {
             board = game->GetGameBoard();
             return board->IsRunning() && game->GetLevelScreens()->GetBriefing()->IsVisibleInTree() && game->Idle();
         },
         [&] { game->ClickOn(FindBelow(game->GetLevelScreens()->GetBriefing(), "start")); }},
        {"the day under way",
         [&] {
             board = game->GetGameBoard();
             return board->IsRunning() && game->GetBoardWidget()->visible;
         },
         [&] {
             EXPECT_TRUE(board->IsSurvival());
             EXPECT_EQ(board->GetLevel(), 1);
             // What the day's served guests paid; nobody serves the rest, so the cafe closes.
             board->AddMoney(kTakings);
             game->updateMultiplier = 50.0;
         }},
        {"the cafe closed and the result handled", [&] { return board->IsFinished(); },
         [&] {
             game->updateMultiplier = 1.0;
             game->EndRun();
         }},
    };
    game->Init();
    game->Start();
    const bool done = game->Done();
    delete game;
    unsetenv("VELMIRA_DATA_ROOT");
    std::filesystem::current_path(previous);

    ASSERT_TRUE(done);
    EXPECT_TRUE(Holds(TheProfileStore().GetHiScoreTable(true), L"Ada", kTakings));
    EXPECT_TRUE(Holds(StoredSurvivalTable(), L"Ada", kTakings)) << "saved as the day ended";
}

} // namespace
