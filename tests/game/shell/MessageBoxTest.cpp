#include "game/shell/TCMessageBox.h"

#include "ShippedGame.h"

namespace {

using fixtures::Game;

using MessageBoxes = fixtures::ShippedContent;

TEST_F(MessageBoxes, AnswersReachTheQuestionAndTheScreenGetsItsFocusBack)
{
    struct Case {
        const char* what;
        std::function<void(Game&)> act;
        int result;
    } cases[] = {
        {"yes", [](Game& game) { game.ClickYes(); }, kMessageBoxYes},
        {"no", [](Game& game) { game.ClickNo(); }, kMessageBoxNo},
        {"a click beside the buttons, then the loop ends", [](Game& game) { game.Click(5, 5); }, kMessageBoxNoAnswer},
        {"a terminal's quit", [](Game& game) {
             game.quitBySystem = true;
             game.Shutdown();
         }, kMessageBoxNoAnswer},
    };
    for (const Case& c : cases) {
        Game game;
        ASSERT_NE(gConfirm2, nullptr);
        Nubra::Widget* screen = game.Screen();
        game.widgetManager->SetFocus(screen);
        ASSERT_EQ(game.widgetManager->focusWidget, screen);
        std::wstring asked;
        game.actions = {[&] { asked = game.Question(); }, [&] { c.act(game); }};
        EXPECT_EQ(ShowMessageBox2("delprof"), c.result) << c.what;
        EXPECT_EQ(asked, L"Delete this player?") << c.what;
        EXPECT_FALSE(IsMessageBoxOpen()) << c.what;
        if (!game.shutDown) {
            EXPECT_EQ(game.widgetManager->focusWidget, screen) << c.what;
        }
        EXPECT_FALSE(gBgDialog->visible) << c.what;
    }
}

TEST_F(MessageBoxes, TheOneButtonBoxAnswersYes)
{
    Game game;
    ASSERT_NE(gConfirm1, nullptr);
    game.actions = {[&] { game.Click(312 + 120 + 80, 264 + 188); }};
    EXPECT_EQ(ShowMessageBox1("upgrade"), kMessageBoxYes);
}

TEST_F(MessageBoxes, AQuitAskedWhileABoxIsOpenWaitsForThatAnswer)
{
    Game game;
    std::wstring askedAfterClose;
    game.actions = {[&] { game.Shutdown(); }, [&] { askedAfterClose = game.Question(); }, [&] { game.ClickYes(); }};
    EXPECT_EQ(ShowMessageBox2("delprof"), kMessageBoxYes) << "the profile question keeps its own answer";
    EXPECT_EQ(askedAfterClose, L"Delete this player?");
    EXPECT_FALSE(game.shutDown);

    // The next step asks to quit; declining changes nothing and writes nothing.
    std::wstring asked;
    bool updated = false;
    game.actions = {[&] { asked = game.Question(); }, [&] { game.ClickNo(); }};
    game.UpdateAppStep(updated);
    EXPECT_EQ(asked, L"Leave the cafe?");
    EXPECT_FALSE(game.shutDown);
    EXPECT_FALSE(PrefWritten());

    game.actions = {[&] { EXPECT_FALSE(PrefWritten()); }, [&] { game.ClickYes(); }};
    game.Shutdown();
    EXPECT_TRUE(game.shutDown);
    EXPECT_TRUE(PrefWritten()) << "saved on the way out";
}

TEST_F(MessageBoxes, CloseRequestsWaitForLoadingAndTheSplashButATerminalsQuitDoesNot)
{
    Game game;
    game.completionHandled = false;
    game.Shutdown();
    game.completionHandled = true;
    game.GetSplash()->SetVisible(true);
    game.Shutdown();
    EXPECT_EQ(game.steps, 0) << "nothing was asked";
    EXPECT_FALSE(game.shutDown);

    game.completionHandled = false;
    game.quitBySystem = true;
    game.Shutdown();
    EXPECT_EQ(game.steps, 0);
    EXPECT_TRUE(game.shutDown);
    EXPECT_TRUE(PrefWritten());
}

} // namespace
