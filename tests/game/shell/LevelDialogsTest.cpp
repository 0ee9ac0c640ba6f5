#include "QuickLevel.h"
#include "ShippedGame.h"
#include "engine/core/TCDebugSettings.h"
#include "game/shell/ShellControls.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCBoard_Career.h"
#include "game/shell/TCBoard_Debriefing.h"
#include "game/shell/TCBoard_Upgrade.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCLevelGoals.h"

namespace {

using fixtures::Game;

// The shipped content whose days 2, 58 and 59 end at once, with a player whose newest day is 2.
class LevelDialogs : public fixtures::ShippedContent {
protected:
    void SetUp() override
    {
        ShippedContent::SetUp();
        content_ = std::make_unique<QuickLevelContent>(std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data",
                                                       std::initializer_list<int>{2, 58, 59});
        setenv("VELMIRA_DATA_ROOT", content_->Root().c_str(), 1);
        game_ = std::make_unique<Game>();
        ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
        TheProfileStore().CurrentProfile().highestLevel = 2;
    }
    void TearDown() override
    {
        game_.reset();
        content_.reset();
        ShippedContent::TearDown();
    }

    TCBoard_Game3& Board() { return *game_->GetGameBoard(); }
    TCBoard_Briefing& Briefing() { return *game_->GetLevelScreens()->GetBriefing(); }
    TCBoard_Debriefing& Debriefing(bool fail) { return *game_->GetLevelScreens()->GetDebriefing(fail); }
    TCCandyWidget& Control(const TCCandyWidget& dialog, const char* name)
    {
        TCCandyWidget* control = FindBelow(&dialog, name);
        if (!control)
            throw std::runtime_error(std::string("no control ") + name);
        return *control;
    }
    void Steps(int count)
    {
        for (int i = 0; i < count; ++i)
            game_->widgetManager->UpdateFrame();
    }
    // The day loaded from the career map, its briefing closed.
    void Play(int level)
    {
        game_->GetCareer()->StartCareerLevel(level);
        BeginLoadedDay(level);
    }
    void BeginLoadedDay(int level)
    {
        game_->WaitForLevelLoading();
        Board().OnLevelLoaded();
        ASSERT_TRUE(Board().IsRunning());
        ASSERT_EQ(Board().GetLevel(), level);
        ASSERT_TRUE(Briefing().visible);
        game_->ClickOn(&Control(Briefing(), "start"));
        ASSERT_EQ(Board().GetPauseCount(), 0);
    }
    // Plays the day out with that money; the result dialog comes at once, the result 2 s later.
    void EndDay(int money)
    {
        Board().AddMoney(money);
        Steps(1);
    }
    // A won newest day offers the shop first, announced by a box that the player closes; the
    // player leaves the shop as it comes.
    void WaitForResult()
    {
        game_->actions = {[this] { game_->Click(312 + 120 + 80, 264 + 188); }};
        for (int i = 0; i < 420; ++i) {
            Steps(1);
            if (game_->GetUpgradeShop()->visible)
                game_->GetUpgradeShop()->Hide();
        }
        game_->actions.clear();
    }

    std::unique_ptr<QuickLevelContent> content_;
    std::unique_ptr<Game> game_;
};

TEST_F(LevelDialogs, TheBriefingHoldsOnePauseWhileShownAndNamesTheDaysGoals)
{
    game_->GetCareer()->StartCareerLevel(2);
    game_->WaitForLevelLoading();
    Board().OnLevelLoaded();
    ASSERT_TRUE(Briefing().visible);
    EXPECT_EQ(Board().GetPauseCount(), 1);
    Briefing().Show();
    EXPECT_EQ(Board().GetPauseCount(), 1) << "shown again, still one pause";
    const TCLocalization& texts = game_->GetLocalization();
    EXPECT_EQ(Control(Briefing(), "goal_text").AsText()->GetLabel(), texts.GetText("mn04_goal"));
    EXPECT_EQ(Control(Briefing(), "level_intro_text").AsText()->GetLabel(), texts.GetText("breif_text_l02"));
    EXPECT_EQ(game_->GetTextVar("cafe"), L"1");
    EXPECT_EQ(game_->GetTextVar("currentday"), L"2");
    game_->ClickOn(&Control(Briefing(), "start"));
    EXPECT_FALSE(Briefing().visible);
    EXPECT_EQ(Board().GetPauseCount(), 0);
    Briefing().Hide();
    EXPECT_EQ(Board().GetPauseCount(), 0) << "hidden again, no stray resume";

    // Survival speaks of the endless day.
    game_->StartLevel(1, true);
    game_->WaitForLevelLoading();
    Board().OnLevelLoaded();
    ASSERT_TRUE(Briefing().visible);
    EXPECT_EQ(Control(Briefing(), "goal_text").AsText()->GetLabel(), texts.GetText("mn04_endless_goal"));
    EXPECT_EQ(Control(Briefing(), "settings_text").AsText()->GetLabel(), texts.GetText("mn04_endless_ready"));
    EXPECT_EQ(Control(Briefing(), "level_intro_text").AsText()->GetLabel(), texts.GetText("ebreif_text_l01"));
}

TEST_F(LevelDialogs, TheResultDialogWaitsForTheResultThenGoesOnToTheNextDay)
{
    Play(2);
    EndDay(Board().GetGoal());
    TCBoard_Debriefing& won = Debriefing(false);
    ASSERT_TRUE(won.visible);
    EXPECT_FALSE(won.IsResultRecorded());
    for (const char* button : {"start", "menu"}) {
        game_->ClickOn(&Control(won, button));
        EXPECT_TRUE(won.visible) << button << " waits for the result";
    }
    EXPECT_EQ(TheProfileStore().CurrentProfile().highestLevel, 2);

    WaitForResult();
    ASSERT_TRUE(won.IsResultRecorded());
    const TCPlayerProfile& profile = TheProfileStore().CurrentProfile();
    EXPECT_EQ(profile.highestLevel, 3);
    EXPECT_EQ(profile.bestScore[2], Board().GetGoal());
    EXPECT_TRUE(PrefWritten());

    game_->ClickOn(&Control(won, "start"));
    EXPECT_FALSE(won.visible);
    game_->WaitForLevelLoading();
    Board().OnLevelLoaded();
    EXPECT_EQ(Board().GetLevel(), 3);
    EXPECT_EQ(game_->GetCareer()->GetSelectedLevel(), 3);
}

TEST_F(LevelDialogs, ADayTheDevelopersSwitchStartsGoesOnToTheNextDayWhenWon)
{
    game_.reset();
    TCDebugSettings& settings = DebugSettings();
    settings.NoMainMenu = true;
    settings.DbgScene = 2;
    game_ = std::make_unique<Game>(false);
    settings.NoMainMenu = false;
    settings.DbgScene = 1;
    BeginLoadedDay(2);
    EndDay(Board().GetGoal());
    WaitForResult();
    ASSERT_TRUE(Debriefing(false).IsResultRecorded());

    game_->ClickOn(&Control(Debriefing(false), "start"));
    EXPECT_FALSE(game_->GetMainMenu()->visible);
    game_->WaitForLevelLoading();
    Board().OnLevelLoaded();
    EXPECT_EQ(Board().GetLevel(), 3);
}

TEST_F(LevelDialogs, AFailedDayIsPlayedAgainFromEitherButton)
{
    for (const char* button : {"replay", "start"}) {
        SCOPED_TRACE(button);
        Play(2);
        EndDay(0);
        TCBoard_Debriefing& fail = Debriefing(true);
        ASSERT_TRUE(fail.visible);
        EXPECT_FALSE(Debriefing(false).visible);
        WaitForResult();
        ASSERT_TRUE(fail.IsResultRecorded());
        EXPECT_EQ(TheProfileStore().CurrentProfile().highestLevel, 2);
        // The hidden "start" of the layout acts as "replay" does.
        fail.OnButtonClick(reinterpret_cast<intptr_t>(&Control(fail, button)));
        EXPECT_FALSE(fail.visible);
        game_->WaitForLevelLoading();
        Board().OnLevelLoaded();
        EXPECT_EQ(Board().GetLevel(), 2) << "the same day, not the locked next one";
        game_->ClickOn(&Control(Briefing(), "start"));
        Board().AbortLevel();
    }
}

TEST_F(LevelDialogs, MenuLeavesTheDayForTheMainPage)
{
    game_->GetMainMenu()->TurnToPage(game_->GetCareer(), false, TCBoard_MainMenu::kTurnToCareer);
    Play(2);
    EndDay(Board().GetGoal());
    WaitForResult();
    game_->ClickOn(&Control(Debriefing(false), "menu"));
    EXPECT_FALSE(Debriefing(false).visible);
    EXPECT_FALSE(game_->GetBoardWidget()->visible);
    EXPECT_FALSE(Board().IsRunning());
    EXPECT_TRUE(game_->GetMainMenu()->visible);
    EXPECT_TRUE(game_->GetMainMenu()->GetMainPage()->visible) << "the book is back on its main page";
    EXPECT_FALSE(game_->GetCareer()->visible);
}

TEST_F(LevelDialogs, AfterTheCareersLastDayTheMenuFollowsWithNoDayChosen)
{
    struct Case {
        int level, next;
    } cases[] = {{58, 59}, {59, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        TheProfileStore().CurrentProfile().highestLevel = c.level;
        Play(c.level);
        EndDay(Board().GetGoal());
        WaitForResult();
        game_->ClickOn(&Control(Debriefing(false), "start"));
        if (c.next == 0) {
            EXPECT_TRUE(game_->GetMainMenu()->visible);
            EXPECT_EQ(game_->GetCareer()->GetSelectedLevel(), 0);
            EXPECT_EQ(TheProfileStore().CurrentProfile().highestLevel, 60);
        } else {
            game_->WaitForLevelLoading();
            Board().OnLevelLoaded();
            EXPECT_EQ(Board().GetLevel(), c.next);
        }
    }
}

TEST_F(LevelDialogs, AwardsComeOneASecondAfterTwoSecondsAndNameThemselvesOnHover)
{
    Play(2);
    std::vector<std::string> sounds;
    TCBoard_Debriefing& won = Debriefing(false);
    won.playSound = [&sounds](const std::string& name) { sounds.push_back(name); };
    // Goal but not expert money: happy guests, clean staff and the day's (no) tasks.
    EndDay(Board().GetGoal());
    ASSERT_EQ(won.GetAwardCount(), 3);
    const std::pair<int, int> shownAfter[] = {{190, 0}, {20, 1}, {80, 1}, {20, 2}, {100, 3}, {300, 3}};
    for (auto [steps, shown] : shownAfter) {
        Steps(steps);
        EXPECT_EQ(won.GetAwardsShown(), shown);
        EXPECT_EQ(sounds.size(), size_t(shown));
    }
    EXPECT_EQ(sounds.front(), "debriefing_awards");
    TCCandyWidget& happy = Control(won, "award_icon_0");
    EXPECT_TRUE(happy.visible);
    EXPECT_FALSE(Control(won, "award_icon_2").visible) << "no expert money";
    happy.MouseEnter();
    EXPECT_EQ(Control(won, "label_achiev").AsText()->GetLabel(), game_->GetLocalization().GetText("ach_title_0"));
    happy.MouseLeave();
    EXPECT_EQ(Control(won, "label_achiev").AsText()->GetLabel(), L"");
    EXPECT_EQ(Control(won, "label_achiev_about").AsText()->GetLabel(), L"");
}

} // namespace
