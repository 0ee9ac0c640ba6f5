#pragma once
// The game with the shipped content, built as start-up builds it, and steps that play the
// player's actions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/EffectFile.h"
#include "engine/core/TCLocalization.h"
#include "engine/ui/TCText.h"
#include "framework/app/AppTestSupport.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCBoard_Splash.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCMessageBox.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TCBoard_Game3.h"

namespace fixtures {

// The game with the shipped content on screen, whose steps play the player's actions one a step.
class Game : public TCEngine3 {
public:
    // With skipSplash the main menu is up at once.
    explicit Game(bool skipSplash = true)
    {
        productName = apptest::UniqueProduct("Shipped");
        GetLocalization().Load();
        LoadEffects();
        LoadingThreadProc();
        LoadingThreadCompleted();
        completionHandled = true;
        if (skipSplash) {
            GetSplash()->SetVisible(false);
            ShowMainMenu();
        }
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
    void OpenURL(const std::string& address, bool) override { opened.push_back(address); }
    void Click(int x, int y)
    {
        widgetManager->MouseMove(x, y);
        widgetManager->MouseDown(x, y, 1);
        widgetManager->MouseUp(x, y, 1);
    }
    // The middle of a widget wherever it lies in the tree.
    void ClickOn(const Nubra::Widget* widget)
    {
        const Nubra::Point origin = widget->GetAbsPos();
        Click(origin.x + widget->width / 2, origin.y + widget->height / 2);
    }
    // The boxes lie at (312, 264); their buttons at y 168, "yes" at x 30, "no" at x 210, and the
    // one-button box's at x 120.
    void ClickYes() { Click(312 + 30 + 80, 264 + 188); }
    void ClickNo() { Click(312 + 210 + 80, 264 + 188); }
    void ClickOk() { Click(312 + 120 + 80, 264 + 188); }
    // The level the board loads once the loading thread is done, as the main loop hands it back.
    void FinishLevelLoad()
    {
        WaitForLevelLoading();
        GetGameBoard()->OnLevelLoaded();
    }
    // The loaded day under way: its briefing, which holds the board paused, closed.
    void BeginDay()
    {
        FinishLevelLoad();
        GetLevelScreens()->GetBriefing()->Hide();
    }
    // The first screen, below the boxes.
    Nubra::Widget* Screen() { return GetMainMenu(); }
    std::wstring Question() { return gConfirm2->FindChild("text1")->AsText()->GetLabel(); }

    std::deque<std::function<void()>> actions;
    int steps = 0;
    std::vector<std::string> opened;
};

class ShippedContent : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        setenv("VELMIRA_DATA_ROOT", (std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data/").c_str(), 1);
        // The store lives as long as the process: each test starts from no file and no player.
        std::filesystem::remove(TheProfileStore().Path());
        TheProfileStore().Load();
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

} // namespace fixtures
