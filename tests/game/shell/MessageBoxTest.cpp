#include "game/shell/TCMessageBox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>

#include "engine/core/TCLocalization.h"
#include "engine/ui/TCText.h"
#include "framework/app/AppTestSupport.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/WelcomeDialog.h"

namespace {

// The game with the shipped content on screen, whose steps play the player's actions one a step.
class Game : public TCEngine3 {
public:
    Game()
    {
        productName = apptest::UniqueProduct("Boxes");
        GetLocalization().Load();
        LoadingThreadProc();
        LoadingThreadCompleted();
        completionHandled = true;
    }
    bool ChangeDirHook(const std::string&) override { return true; }
    bool UpdateAppStep(bool& updated) override
    {
        AskPendingQuit();
        updated = true;
        if (leaveUpdateLoop || actions.empty())
            return false;
        ++steps;
        auto action = actions.front();
        actions.pop_front();
        action();
        widgetManager->UpdateFrame();
        return !leaveUpdateLoop;
    }
    void Click(int x, int y)
    {
        widgetManager->MouseMove(x, y);
        widgetManager->MouseDown(x, y, 1);
        widgetManager->MouseUp(x, y, 1);
    }
    // The boxes lie at (312, 264); their buttons at y 168, "yes" at x 30, "no" at x 210.
    void ClickYes() { Click(312 + 30 + 80, 264 + 188); }
    void ClickNo() { Click(312 + 210 + 80, 264 + 188); }
    // The first screen, below the boxes.
    Nubra::Widget* Screen()
    {
        for (Nubra::Widget* widget : widgetManager->children)
            if (dynamic_cast<WelcomeDialog*>(widget))
                return widget;
        return nullptr;
    }
    std::wstring Question() { return gConfirm2->FindChild("text1")->AsText()->GetLabel(); }

    std::deque<std::function<void()>> actions;
    int steps = 0;
};

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        setenv("VELMIRA_DATA_ROOT", (std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data/").c_str(), 1);
        std::filesystem::remove(TheProfileStore().Path());
    }
    void TearDown() override
    {
        unsetenv("VELMIRA_DATA_ROOT");
        std::filesystem::current_path(previous_);
    }
    bool PrefWritten() const { return std::filesystem::exists(TheProfileStore().Path()); }

    std::filesystem::path previous_;
};

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
    Nubra::Widget* splash = game.Screen();
    game.SetSplash(splash);
    splash->visible = true;
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
