#include "ShippedGame.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCComix.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

using fixtures::Game;

class ShippedComix : public fixtures::ShippedContent {
protected:
    static TCComix& ComixOf(Game& game) { return *dynamic_cast<TCComix*>(game.GetBoardWidget()->FindChild("comix")); }
    // A player's career day, with the window active so that the strip's clock runs.
    static void StartDay(Game& game, int level)
    {
        game.hasFocus = true;
        ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
        StartLevel(game, level);
    }
    static void StartLevel(Game& game, int level)
    {
        game.StartLevel(level, false);
        game.WaitForLevelLoading();
        game.GetGameBoard()->OnLevelLoaded();
        game.GetLevelScreens()->GetBriefing()->Hide(); // the day begins
    }
    // Update steps until the last episode is over.
    static void PlayThrough(Game& game, TCComix& comix)
    {
        for (int step = 0; step < 100000 && size_t(comix.GetCurrentEpisode()) < comix.GetEpisodes().size(); ++step)
            game.widgetManager->UpdateFrame();
    }
};

TEST_F(ShippedComix, TheCareersFirstDayOpensWithItsStripAndPlaysOnceItIsClosed)
{
    Game game;
    StartDay(game, 1);
    TCBoard_Game3& board = *game.GetGameBoard();
    TCComix& comix = ComixOf(game);
    ASSERT_TRUE(comix.visible);
    EXPECT_EQ(comix.GetComixName(), "intro");
    EXPECT_TRUE(board.IsOverlayVisible()) << "the board draws none of its objects under the strip";
    EXPECT_EQ(board.GetPauseCount(), 1);
    ASSERT_EQ(comix.GetEpisodes().size(), 4u);
    EXPECT_EQ(comix.GetObjects().size(), 11u) << "every object of the shipped strip loads";

    game.widgetManager->UpdateFrame();
    EXPECT_GT(comix.GetTime(), 0.0f);
    game.Click(500, 300);
    EXPECT_EQ(comix.GetCurrentEpisode(), 1) << "a click beside the button skips the episode";
    PlayThrough(game, comix);

    // The last frame: the third caption is written in its light colour under the third panel, on
    // the black the strip clears to (the pack's pictures are made at build time, not found here).
    Nubra::MemoryImage screen;
    screen.Create(1024, 768);
    Nubra::Graphics g(&screen);
    comix.Draw(&g);
    int captionPixels = 0;
    for (int y = 545; y < 640; ++y)
        for (int x = 672; x < 972; ++x)
            captionPixels += (screen.GetBits()[y * 1024 + x] & 0xFFFFFF) > 0xC0C0C0u;
    EXPECT_GT(captionPixels, 50);

    EXPECT_TRUE(comix.visible) << "the last picture stays until the button";
    game.ClickOn(comix.FindChild("continue"));
    EXPECT_FALSE(comix.visible);
    EXPECT_FALSE(board.IsOverlayVisible());
    game.GetLevelScreens()->HideLevelDialogs();
    EXPECT_EQ(board.GetPauseCount(), 0);
    EXPECT_TRUE(board.IsRunning());
    EXPECT_TRUE(board.CanHandleInput());
}

TEST_F(ShippedComix, AfterAFinishStripTheNextLevelRunsUnpaused)
{
    Game game;
    StartDay(game, 15);
    TCBoard_Game3& board = *game.GetGameBoard();
    ASSERT_EQ(board.GetFinishComix(), "cafe1_done");
    int ended = 0;
    ASSERT_TRUE(game.GetLevelScreens()->ShowComix(board.GetFinishComix(), [&] {
        ++ended;
        StartLevel(game, 2);
    }));
    EXPECT_EQ(board.GetPauseCount(), 1);
    EXPECT_FALSE(game.GetLevelScreens()->ShowComix("no such strip", nullptr));
    PlayThrough(game, ComixOf(game));
    game.ClickOn(ComixOf(game).FindChild("continue"));
    EXPECT_EQ(ended, 1);
    game.GetLevelScreens()->HideLevelDialogs();
    EXPECT_EQ(board.GetLevel(), 2);
    EXPECT_EQ(board.GetPauseCount(), 0);
    EXPECT_TRUE(board.CanHandleInput());
}

} // namespace
