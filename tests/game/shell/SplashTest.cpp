#include "game/shell/TCBoard_Splash.h"

#include "ShippedGame.h"
#include "engine/core/TCCursorSet.h"
#include "platform/VirtualKeys.h"

namespace {

using fixtures::Game;
using Splash = fixtures::ShippedContent;

// Steps until the page index moves or the splash ends; the steps taken.
int StepUntilNextPage(Game& game, int limit = 1000)
{
    TCBoard_Splash* splash = game.GetSplash();
    const size_t page = splash->GetPageIndex();
    int steps = 0;
    while (splash->visible && splash->GetPageIndex() == page && steps < limit) {
        game.widgetManager->UpdateFrame();
        ++steps;
    }
    return steps;
}

TEST_F(Splash, ThePagesFollowOneAnotherThenTheFirstScreenComesUp)
{
    Game game(false);
    TCBoard_Splash* splash = game.GetSplash();
    ASSERT_EQ(splash->GetPageCount(), 2u);
    EXPECT_TRUE(splash->visible);
    EXPECT_FALSE(game.Screen()->visible);
    EXPECT_EQ(game.widgetManager->children.back(), splash) << "on top of every screen";
    EXPECT_EQ(game.widgetManager->focusWidget, splash);

    EXPECT_GT(StepUntilNextPage(game), 100) << "the first page stays for its effect's time";
    EXPECT_EQ(splash->GetPageIndex(), 1u);
    StepUntilNextPage(game);
    EXPECT_FALSE(splash->visible);
    EXPECT_TRUE(game.Screen()->visible);
}

TEST_F(Splash, AKeyOrAClickSkipsAPageAtTheNextStep)
{
    Game game(false);
    TCBoard_Splash* splash = game.GetSplash();
    game.widgetManager->UpdateFrame();
    game.widgetManager->KeyDown(plat::kVkSpace);
    EXPECT_EQ(StepUntilNextPage(game), 1);
    EXPECT_EQ(splash->GetPageIndex(), 1u);
    game.widgetManager->UpdateFrame();
    game.widgetManager->MouseDown(5, 5, 1);
    EXPECT_EQ(StepUntilNextPage(game), 1);
    EXPECT_FALSE(splash->visible) << "the last page skipped ends the splash";
    EXPECT_TRUE(game.Screen()->visible);
}

TEST_F(Splash, OnlyChildrenWithEffectsArePagesAndNoPagesEndAtOnce)
{
    Game game;
    pugi::xml_document ui;
    ASSERT_TRUE(ui.load_string(R"(<root><element name="splash" type="tcdialog" width="1024" height="768">
        <element name="still" type="tctext" width="10" height="10" visible="1"/>
        <element name="blank" type="tctext" width="10" height="10" visible="1" effect="blank"/>
      </element></root>)"));
    auto* splash = new TCBoard_Splash(&game, ui.child("root"));
    EXPECT_EQ(splash->GetPageCount(), 0u);
    EXPECT_FALSE(splash->FindChild("still")->visible);
    bool ended = false;
    splash->onEnded = [&] { ended = true; };
    game.widgetManager->AddWidget(splash);
    splash->Show();
    EXPECT_FALSE(splash->visible);
    EXPECT_TRUE(ended);
}

} // namespace
