#include "game/sim/TBoard_Hud.h"

#include <gtest/gtest.h>

#include "SimFixtures.h"
#include "engine/core/TCTexture.h"
#include "engine/ui/TCText.h"
#include "engine/ui/UiFixture.h"
#include "game/sim/TCTutorialScript.h"

namespace {

class FakeBoard : public TCHudBoard {
public:
    int GetHudMoney() const override { return money; }
    int GetHudGoal() const override { return goal; }
    float GetHudProgress() const override { return progress; }
    void ClearGoalReached() override { ++goalCleared; }
    void OpenEscapeMenu() override { ++escapeMenus; }
    void OpenUpgradeShop() override { ++upgradeShops; }

    int money = 0;
    int goal = 100;
    float progress = 0.0f;
    int goalCleared = 0;
    int escapeMenus = 0;
    int upgradeShops = 0;
};

// A display with every element it knows, nested the way the layout nests them.
const char* const kHud = R"(<ui>
<element name="hud" type="tcdialog" width="1024" height="768">
  <element name="right_part" type="tcdialog" visible="1">
    <element name="goal_bkg" type="tctext"/><element name="goal_value" type="tctext"/>
    <element name="goal_text" type="tctext"/><element name="money_goal_value" type="tctext"/>
    <element name="money_goal_value_ghost" type="tctext"/>
    <element name="expert_bkg" type="tctext"/><element name="expert_value" type="tctext"/>
    <element name="expert_text" type="tctext"/><element name="money_expert_value" type="tctext"/>
    <element name="money_expert_value_ghost" type="tctext"/>
  </element>
  <element name="left_part" type="tcdialog">
    <element name="menu_btn" type="tcbutton" visible="1"/>
    <element name="clock" type="tctext" visible="1"/>
  </element>
  <element name="left_survival_part" type="tcdialog">
    <element name="clock" type="tctext" visible="1"/>
    <element name="survival_life" type="tcdialog" visible="1">
      <element name="life_0" type="tctext"/><element name="life_1" type="tctext"/>
      <element name="life_2" type="tctext"/><element name="life_3" type="tctext"/>
    </element>
  </element>
  <element name="upgrade_back" type="tctext"/><element name="upgrade_btn" type="tcbutton"/>
  <element name="goal_splash" type="tctext"/><element name="expert_splash" type="tctext"/>
  <element name="success_splash" type="tctext"/><element name="fail_splash" type="tctext"/>
  <element name="surv_end_splash" type="tctext"/>
  <element name="skip_tutorial_dlg" type="tcdialog"><element name="skip" type="tcbutton" visible="1"/></element>
  <element name="tutorial" type="tcdialog">
    <element name="tutorial1" type="tctutorial"/><element name="tutorial2" type="tctutorial"/>
  </element>
  <element name="tutor_reset_widget" type="tctext"/>
  <element name="freeze" type="tctext"/>
  <element name="smile01" type="tctext"><texture id="normal" texture="pic" fps="100" count="3"/></element>
  <element name="achievments" type="tcdialog" visible="1">
    <element name="achiev_1" type="tcdialog"><element name="achiev_pr" type="tctext" visible="1"/></element>
    <element name="achiev_1_ghost" type="tcdialog"><element name="achiev_pr" type="tctext" visible="1"/></element>
    <element name="achiev_2" type="tcdialog"><element name="achiev_pr" type="tctext" visible="1"/></element>
  </element>
</element>
</ui>)";

const char* const kGoalDisplay[] = {"goal_bkg", "goal_value", "goal_text", "money_goal_value",
                                    "money_goal_value_ghost"};
const char* const kExpertDisplay[] = {"expert_bkg", "expert_value", "expert_text", "money_expert_value",
                                      "money_expert_value_ghost"};

class HudTest : public fixtures::UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        for (const char* id : {"hud_watch00", "hud_watch01", "hud_watch02", "hud_upgrade_00", "hud_upgrade_01"})
            fake_.table.Add(id, std::string(id) + ".png");
    }
    TBoard_Hud* Build(const char* layout = kHud)
    {
        hud_ = OnScreen(new TBoard_Hud(nullptr, &engine_, &board_));
        hud_->Build(Xml(layout));
        return hud_;
    }
    TCCandyWidget* Element(const std::string& path)
    {
        TCCandyWidget* widget = hud_;
        size_t start = 0;
        while (widget && start <= path.size()) {
            const size_t end = path.find('/', start);
            widget = widget->FindChild(path.substr(start, end - start));
            start = end == std::string::npos ? path.size() + 1 : end + 1;
        }
        return widget;
    }
    bool Shown(const std::string& path)
    {
        TCCandyWidget* widget = Element(path);
        return widget && widget->visible;
    }
    // The file of the image the clock shows.
    std::string ClockImage(const char* part)
    {
        TCTexture* texture = Element(std::string(part) + "/clock")->GetTexture(0);
        const TCImageRef* frame = texture ? texture->GetCurrentFrame() : nullptr;
        return frame && frame->GetDesc() ? frame->GetDesc()->GetFile() : "";
    }

    simtest::ClockGuard clock_;
    FakeBoard board_;
    TBoard_Hud* hud_ = nullptr;
};

TEST_F(HudTest, TheGoalSplashGivesWayToTheExpertDisplayUntilMoneyFallsBelowTheGoal)
{
    Build()->StartLevelDisplay(false);
    hud_->ShowDisplay(true);
    for (const char* name : kGoalDisplay)
        EXPECT_TRUE(Shown("right_part/" + std::string(name))) << name;
    EXPECT_TRUE(Shown("left_part"));
    EXPECT_FALSE(Shown("left_survival_part"));

    board_.money = 120;
    hud_->ShowGoalSplash();
    EXPECT_TRUE(Shown("goal_splash"));
    Step();
    EXPECT_TRUE(hud_->IsExpertDisplayShown());
    for (const char* name : kExpertDisplay)
        EXPECT_TRUE(Shown("right_part/" + std::string(name))) << name;
    for (const char* name : kGoalDisplay)
        EXPECT_FALSE(Shown("right_part/" + std::string(name))) << name;
    EXPECT_EQ(board_.goalCleared, 0);

    board_.money = 90;
    Step();
    EXPECT_FALSE(hud_->IsExpertDisplayShown());
    EXPECT_TRUE(Shown("right_part/goal_value"));
    EXPECT_FALSE(Shown("right_part/expert_value"));
    EXPECT_EQ(board_.goalCleared, 1) << "so the board may show the splash again";
    Step();
    EXPECT_EQ(board_.goalCleared, 1);

    board_.money = 130;
    hud_->ShowGoalSplash();
    EXPECT_TRUE(hud_->IsExpertDisplayShown());
}

TEST_F(HudTest, InSurvivalTheGoalDisplayStays)
{
    Build()->StartLevelDisplay(true);
    hud_->ShowDisplay(true);
    EXPECT_TRUE(Shown("left_survival_part"));
    EXPECT_FALSE(Shown("left_part"));
    hud_->ShowGoalSplash();
    EXPECT_FALSE(hud_->IsExpertDisplayShown());
    EXPECT_TRUE(Shown("right_part/goal_value"));
}

TEST_F(HudTest, TheClockFrameFollowsTheShareOfTheLevel)
{
    struct Case {
        float progress;
        int frames;
        int frame;
    };
    const Case cases[] = {{0.7f, 1, 0}, {0.0f, 5, 0}, {0.5f, 5, 2}, {1.0f, 5, 4}, {0.99f, 5, 3},
                          {1.5f, 5, 4}, {-0.2f, 5, 0}, {0.5f, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(TBoard_Hud::ClockFrameFor(c.progress, c.frames), c.frame) << c.progress << " of " << c.frames;
}

TEST_F(HudTest, EachModeShowsItsOwnClockFramesAndKeepsThemLoadedWhileShown)
{
    Build()->StartLevelDisplay(false);
    EXPECT_EQ(images_.Holders("hud_watch01.png"), 0);
    hud_->ShowDisplay(true);
    EXPECT_GT(images_.Holders("hud_watch01.png"), 0);
    EXPECT_EQ(images_.Holders("hud_upgrade_01.png"), 0);

    board_.progress = 0.6f;
    Step();
    EXPECT_EQ(hud_->GetClockFrame(), 1);
    EXPECT_EQ(ClockImage("left_part"), "hud_watch01.png");
    board_.progress = 1.0f;
    Step();
    EXPECT_EQ(ClockImage("left_part"), "hud_watch02.png");

    hud_->StartLevelDisplay(true);
    EXPECT_EQ(hud_->GetClockFrame(), -1);
    EXPECT_GT(images_.Holders("hud_upgrade_01.png"), 0) << "the survival list is locked in its place";
    EXPECT_EQ(images_.Holders("hud_watch00.png"), 0);
    Step();
    EXPECT_EQ(ClockImage("left_survival_part"), "hud_upgrade_01.png");

    hud_->SetVisible(false);
    EXPECT_EQ(images_.Holders("hud_upgrade_01.png"), 0);
}

TEST_F(HudTest, ExactlyOneLifeShows)
{
    Build()->StartLevelDisplay(true);
    for (int lives : {3, 2, 0, 1}) {
        hud_->SetLives(lives);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Shown("left_survival_part/survival_life/life_" + std::to_string(i)), i == lives)
                << lives << " lives, life_" << i;
    }
    hud_->EndLevelDisplay();
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(Shown("left_survival_part/survival_life/life_" + std::to_string(i)));
    EXPECT_EQ(hud_->GetLivesShown(), 0);
}

TEST_F(HudTest, TheEndOfALevelTakesItsDisplayDown)
{
    Build()->StartLevelDisplay(false);
    hud_->ShowDisplay(true);
    hud_->ShowGoalSplash();
    hud_->ShowExpertSplash();
    hud_->EndLevelDisplay();
    for (const char* name : {"goal_splash", "expert_splash", "left_part", "left_survival_part", "right_part/goal_value",
                             "right_part/expert_value"})
        EXPECT_FALSE(Shown(name)) << name;
    EXPECT_FALSE(hud_->IsExpertDisplayShown());
}

TEST_F(HudTest, ButtonsOpenTheMenuAndTheShopAndSkipTheTutorial)
{
    Build();
    auto press = [this](const std::string& dialog, const std::string& button) {
        Element(dialog)->AsDialog()->ButtonDepress(reinterpret_cast<intptr_t>(Element(dialog + "/" + button)));
    };
    press("left_part", "menu_btn");
    EXPECT_EQ(board_.escapeMenus, 1);
    hud_->ButtonDepress(reinterpret_cast<intptr_t>(Element("upgrade_btn")));
    EXPECT_EQ(board_.upgradeShops, 1);

    TCTutorialScript& tutorial = GetTutorial();
    tutorial.SetHud(hud_);
    tutorial.StartForLevel(true);
    ASSERT_TRUE(tutorial.IsRunning());
    EXPECT_TRUE(Shown("skip_tutorial_dlg"));
    tutorial.ApplyRule(kTutorialClientSpawned);
    EXPECT_TRUE(Shown("tutorial/tutorial1"));
    press("skip_tutorial_dlg", "skip");
    EXPECT_FALSE(tutorial.IsRunning());
    EXPECT_FALSE(Shown("skip_tutorial_dlg"));
    EXPECT_FALSE(Shown("tutorial/tutorial1"));
    tutorial.SetHud(nullptr);
    tutorial.Reset();
}

TEST_F(HudTest, IndicatorsHideWhenTheirTimeIsOver)
{
    Build()->StartLevelDisplay(false);
    hud_->ShowDisplay(true);
    hud_->ShowFreeze(0.05f);
    gFrameTime = 0.01f;
    for (int i = 0; i < 4; ++i) {
        AdvanceGameClock();
        Step();
    }
    EXPECT_TRUE(Shown("freeze"));
    for (int i = 0; i < 2; ++i) {
        AdvanceGameClock();
        Step();
    }
    EXPECT_FALSE(Shown("freeze"));

    hud_->ShowSmiles();
    Step();
    EXPECT_TRUE(Shown("smile01")) << "while its pictures play";
    Step(3);
    EXPECT_FALSE(Shown("smile01"));
}

TEST_F(HudTest, TheAchievementPanelShowsTheTasksOfTheLevel)
{
    Build();
    TCTaskCounts counts{};
    counts[0] = {3, 3};
    hud_->RefreshAchievements(counts);
    EXPECT_TRUE(Shown("achievments/achiev_1"));
    EXPECT_FALSE(Shown("achievments/achiev_2")) << "a kind without a task is left out";
    EXPECT_FALSE(Shown("achievments/achiev_1_ghost"));

    counts[0].remaining = 2;
    hud_->RefreshAchievements(counts);
    EXPECT_TRUE(Shown("achievments/achiev_1_ghost")) << "the counter moved";
    for (const char* entry : {"achiev_1", "achiev_1_ghost"})
        EXPECT_EQ(Element("achievments/" + std::string(entry) + "/achiev_pr")->AsText()->GetLabel(), L"2") << entry;
}

TEST_F(HudTest, TheDisplayDrawsOverTheMiniGameAndListsItsElements)
{
    Build();
    auto* miniGame = new TCDialog(hud_, &engine_);
    hud_->AddMiniGame(miniGame);
    EXPECT_EQ(hud_->children.front(), miniGame) << "everything else is brought in front of it";
    EXPECT_EQ(hud_->GetSceneListItem(1), Element("right_part"));
    EXPECT_NE(hud_->GetSceneListItem(hud_->GetSceneListSize()), nullptr);
    EXPECT_EQ(hud_->GetSceneListItem(0), nullptr);
    EXPECT_EQ(hud_->GetSceneListItem(hud_->GetSceneListSize() + 1), nullptr);
    for (int i = 1; i <= hud_->GetSceneListSize(); ++i)
        EXPECT_NE(hud_->GetSceneListItem(i), miniGame);
}

TEST_F(HudTest, AnAlmostEmptyLayoutTakesEveryCall)
{
    Build("<ui><element name='hud' type='tcdialog'/></ui>");
    hud_->ShowDisplay(true);
    hud_->StartLevelDisplay(true);
    hud_->SetLives(3);
    hud_->SetLives(7);
    hud_->ShowGoalSplash();
    hud_->ShowExpertSplash();
    hud_->ShowUpgradeButton(true);
    hud_->ShowGlobalClean();
    hud_->ShowFreeze(1.0f);
    hud_->ShowSmiles();
    hud_->RefreshAchievements({});
    hud_->ShowTutorialMessage("tutorial1", true);
    hud_->HideTutorialMessages();
    hud_->ShowSkipTutorial(true);
    hud_->SetPointerAlpha(0.5f);
    hud_->ReleasePointer();
    hud_->AddMiniGame(new TCDialog(hud_, &engine_));
    Step();
    hud_->EndLevelDisplay();
    EXPECT_EQ(hud_->GetClockFrame(), -1);
}

} // namespace
