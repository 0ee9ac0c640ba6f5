#include <gtest/gtest.h>

#include <algorithm>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "engine/core/TCDebugSettings.h"
#include "game/sim/TCHudView.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCClient.h"
#include "game/sim/TCLevelScreens.h"
#include "game/sim/TCTutorialScript.h"

namespace simtest {
namespace {

// The shell's screens as a trace; the briefing pauses the board as the real one does.
class FakeScreens : public TCLevelScreens {
public:
    FakeScreens(Trace& trace, TCBoardCore& board) : trace_(trace), board_(board) {}
    void ShowGameBoard() override { board_.SetShown(true); }
    void ShowBriefing() override
    {
        trace_.push_back("briefing");
        if (briefingPauses)
            board_.Pause();
    }
    void ShowResult(Result result) override
    {
        trace_.push_back(result == Result::Success ? "success" : result == Result::Failure ? "failure" : "survival");
    }
    bool ShowComix(const std::string& name, std::function<void()> onEnd) override
    {
        trace_.push_back("comix " + name);
        comixEnd = std::move(onEnd);
        return true;
    }
    bool IsComixVisible() const override { return false; }
    void ShowMessageBox(const std::string& name) override { trace_.push_back("box " + name); }
    void ShowUpgradeShop() override { trace_.push_back("shop"); }
    bool IsLevelDialogVisible() const override { return dialogUp; }
    void ShowEscapeMenu() override { trace_.push_back("escape menu"); }
    void HideLevelDialogs() override { trace_.push_back("hide dialogs"); }
    void ClearMiniGame() override {}
    void LoadMiniGameLevel(pugi::xml_node) override {}
    void AddMiniGamePiece(int kind) override { trace_.push_back("piece " + std::to_string(kind)); }
    void EnableMiniGamePiece(int piece) override { trace_.push_back("enable piece " + std::to_string(piece)); }
    void EnableAllMiniGamePieces() override { trace_.push_back("pieces off"); }
    int EnterSurvivalScore(int money) override
    {
        trace_.push_back("score " + std::to_string(money));
        return rank;
    }
    void ShowSurvivalBoard() override { trace_.push_back("survival board"); }
    void ShowHiScores() override { trace_.push_back("hiscores"); }
    void ReportCareerResult(int code, int money, int level) override
    {
        trace_.push_back("career " + std::to_string(code) + " " + std::to_string(money) + " " + std::to_string(level));
    }
    bool IsNewestLevel(int) const override { return newest; }
    bool GetBonusHint(int kind) const override { return hints[kind]; }
    void SetBonusHint(int kind) override { hints[kind] = true; }
    void SaveProfile() override { trace_.push_back("save"); }

    bool briefingPauses = true;
    bool dialogUp = false;
    bool newest = true;
    int rank = 1;
    bool hints[5] = {};
    std::function<void()> comixEnd;

private:
    Trace& trace_;
    TCBoardCore& board_;
};

// What the level flow shows on the display, into the trace as "hud ...".
class TraceHud : public TCHudView {
public:
    explicit TraceHud(Trace& trace) : trace_(trace) {}
    void ShowDisplay(bool show) override { Note(show ? "shown" : "hidden"); }
    void StartLevelDisplay(bool survival) override { Note(survival ? "start survival" : "start career"); }
    void EndLevelDisplay() override { Note("end"); }
    void ShowGoalSplash() override { Note("goal splash"); }
    void ShowExpertSplash() override { Note("expert splash"); }
    void SetLives(int lives) override { Note("lives " + std::to_string(lives)); }
    void ShowUpgradeButton(bool show) override { Note(show ? "upgrade on" : "upgrade off"); }
    void ShowGlobalClean() override { Note("global clean"); }
    void ShowFreeze(float seconds) override { Note("freeze " + std::to_string(int(seconds))); }
    void ShowSmiles() override { Note("smiles"); }
    void RefreshAchievements(const TCTaskCounts& counts) override
    {
        Note("tasks " + std::to_string(counts[0].remaining) + "/" + std::to_string(counts[0].target));
    }
    void ShowTutorialMessage(const std::string& id, bool show) override { Note((show ? "+" : "-") + id); }
    void HideTutorialMessages() override { Note("messages hidden"); }
    void ShowSkipTutorial(bool show) override { Note(show ? "skip on" : "skip off"); }
    void SetPointerAlpha(float) override {}
    void ReleasePointer() override {}

private:
    void Note(const std::string& line) { trace_.push_back("hud " + line); }
    Trace& trace_;
};

constexpr const char* kConfig = R"(<root><level valBonusCoin3="10" valBonusCoin4="20" valBonusCoin3Upgrade="15"
  valBonusCoin4Upgrade="30" bonus_iceagetimeout="4"/><bonus_config rush_timeout="2" start_count="3"/>
  <upgrade><functional name="money" object="bonus" min_level="1" max_level="3"/></upgrade>
  <clients><client name="girl"/></clients></root>)";

class LevelFlowTest : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        WriteText("cfg/cfg.xml", kConfig);
        WriteText("cfg/scene.xml", "<root><objects><object class='client' name='client01'/></objects></root>");
        WriteLevel("");
        ASSERT_TRUE(board_.LoadBoardConfig());
        board_.SetLevelScreens(&screens_);
        // The first day's lessons hold the game back; they take part only where a test asks.
        DebugSettings().NoTutorial = true;
    }
    void TearDown() override
    {
        board_.Shutdown();
        DebugSettings().NoTutorial = false;
        ItemWorld::TearDown();
    }
    // A career level 1 with a bar place, goal 30 and expert 50 and the given attributes of its
    // element.
    static void WriteLevel(const std::string& attributes)
    {
        WriteText("cfg/l001.xml", "<level doc='cfg\\scene.xml' " + attributes +
                                      "><objects><object name='client01'/></objects><params normal='30' expert='50'/>"
                                  "<events_queue><time_point time='100' type='client' person1='girl'/></events_queue></level>");
    }
    void Step(float seconds)
    {
        for (int step = 0; step < static_cast<int>(seconds * 100.0f + 0.5f); ++step)
            board_.Update();
    }
    size_t Count(const std::string& line) const { return size_t(std::count(trace_.begin(), trace_.end(), line)); }

    Trace trace_;
    RecordingHost host_{trace_};
    TCBoard_Game3 board_{host_};
    FakeScreens screens_{trace_, board_};
};

TEST(LevelDay, FollowsTheCafeOfTheCareerLevel)
{
    const std::pair<int, int> rows[] = {{1, 1}, {15, 15}, {16, 1}, {35, 20}, {36, 1}, {59, 24}, {60, 1}};
    for (const auto& [level, day] : rows)
        EXPECT_EQ(TCBoard_Game3::CareerDay(level), day) << level;
}

TEST_F(LevelFlowTest, ACareerLevelStartsWithItsBriefingAndEndsInTheCareerResult)
{
    board_.StartLevelLoad(1, false);
    ASSERT_TRUE(board_.IsRunning());
    EXPECT_EQ(host_.textVars["normal"], 30);
    EXPECT_EQ(host_.textVars["expert"], 50);
    EXPECT_EQ(host_.textVars["cafe"], 1);
    EXPECT_EQ(host_.textVars["day"], 1);
    EXPECT_EQ(host_.music, "level1");
    EXPECT_EQ(Count("briefing"), 1u);
    // The briefing holds the level until it is closed.
    Step(1.0f);
    EXPECT_EQ(board_.GetLevelTime(), 0.0f);
    board_.Resume();

    Step(1.0f);
    EXPECT_FALSE(board_.IsLevelOverShown()) << "an arrival still waits in the queue";
    board_.GetEventQueue().Clear();
    board_.AddMoney(35);
    Step(0.01f);
    ASSERT_TRUE(board_.IsLevelOverShown());
    EXPECT_EQ(Count("success"), 1u);
    Step(1.9f);
    EXPECT_FALSE(board_.IsFinished());
    Step(0.2f);
    EXPECT_TRUE(board_.IsFinished());
    EXPECT_EQ(Count("career 1 35 1"), 1u);
    EXPECT_EQ(Count("save"), 1u);
    EXPECT_EQ(Count("shop"), 0u) << "the level offers no upgrade";
}

TEST_F(LevelFlowTest, WithoutScreensALevelPlaysStraightThrough)
{
    board_.SetLevelScreens(nullptr);
    board_.StartLevelLoad(1, false);
    Step(1.0f);
    EXPECT_NEAR(board_.GetLevelTime(), 1.0f, 0.001f);
    board_.SetVipLost();
    Step(2.1f);
    EXPECT_TRUE(board_.IsFinished());
    EXPECT_EQ(board_.GetResultCode(), TCBoard_Game3::kResultVipLost);
}

TEST_F(LevelFlowTest, ResultCodesFollowMoneyAndTheVipInThatOrder)
{
    screens_.briefingPauses = false;
    struct Row {
        bool vipLost;
        int money;
        int code;
    };
    const Row rows[] = {{true, 999, 3}, {false, 50, 0}, {false, 49, 1}, {false, 30, 1}, {false, 29, 2}, {false, 0, 2}};
    for (const Row& row : rows) {
        board_.StartLevelLoad(1, false);
        board_.AddMoney(row.money);
        if (row.vipLost)
            board_.SetVipLost();
        EXPECT_EQ(board_.GetResultCode(), row.code) << row.money;
    }
}

TEST_F(LevelFlowTest, TheExpertSplashWaitsForTheChangeAfterTheGoal)
{
    screens_.briefingPauses = false;
    board_.StartLevelLoad(1, false);
    board_.AddMoney(60);
    EXPECT_TRUE(board_.IsGoalReached());
    EXPECT_FALSE(board_.IsExpertReached());
    board_.AddMoney(0);
    EXPECT_TRUE(board_.IsExpertReached());
}

TEST_F(LevelFlowTest, TheUpgradeShopFollowsOnlyANewlyWonLevelThatOffersOne)
{
    screens_.briefingPauses = false;
    struct Row {
        const char* what;
        const char* attributes;
        bool newest, vipLost;
        int money;
        bool shop;
    };
    const Row rows[] = {
        {"won, newest, offered", "upgrade='func'", true, false, 30, true},
        {"nothing offered", "", true, false, 30, false},
        {"an older level", "upgrade='vis'", false, false, 30, false},
        {"goal missed", "upgrade='func'", true, false, 29, false},
        {"a VIP lost", "upgrade='func'", true, true, 60, false},
    };
    for (const Row& row : rows) {
        WriteLevel(row.attributes);
        screens_.newest = row.newest;
        board_.StartLevelLoad(1, false);
        board_.AddMoney(row.money);
        if (row.vipLost)
            board_.SetVipLost();
        trace_.clear();
        board_.AfterLevelResult();
        EXPECT_EQ(Count("shop"), row.shop ? 1u : 0u) << row.what;
        EXPECT_EQ(board_.IsFinished(), !row.shop) << row.what;
        if (row.shop) {
            EXPECT_EQ(trace_.front(), "box upgrade");
            board_.CloseUpgradeShop();
            EXPECT_TRUE(board_.IsFinished()) << "closing the shop finishes the level";
        }
    }
}

TEST_F(LevelFlowTest, AnAbandonedLevelIsNotFinishedByClosingTheShop)
{
    screens_.briefingPauses = false;
    board_.StartLevelLoad(1, false);
    board_.AbandonLevel();
    board_.CloseUpgradeShop();
    EXPECT_FALSE(board_.IsFinished());
    board_.StartLevelLoad(1, false);
    board_.CloseUpgradeShop();
    EXPECT_TRUE(board_.IsFinished()) << "a new level forgets the abandon";
}

TEST_F(LevelFlowTest, MiniGameBonusesPayCoinAndFreezeByStrength)
{
    screens_.briefingPauses = false;
    struct Row {
        int kind, strength;
        bool upgrade;
        int money;
        float freeze;
    };
    const Row rows[] = {
        {0, 1, false, 10, 0.0f}, {0, 2, false, 20, 0.0f}, {0, 1, true, 15, 0.0f},
        {0, 2, true, 30, 0.0f},  {4, 1, false, 0, 4.0f},  {4, 2, false, 0, 8.0f},
    };
    for (const Row& row : rows) {
        board_.StartLevelLoad(1, false);
        for (TCUpgrade& record : board_.GetUpgrades(TCUpgrade::kFunctional))
            board_.ApplyUpgrade(record, row.upgrade);
        board_.ApplyMiniGameBonus(row.kind, row.strength);
        EXPECT_EQ(board_.GetMoney(), row.money) << row.kind << "/" << row.strength;
        EXPECT_NEAR(board_.GetFreezeLeft(), row.freeze, 1e-4) << row.kind << "/" << row.strength;
        EXPECT_EQ(board_.IsFrozen(), row.freeze > 0.0f);
    }
    EXPECT_TRUE(screens_.hints[0]);
    EXPECT_TRUE(screens_.hints[4]);
    EXPECT_EQ(Count("sound minigame_coin"), 4u);
}

TEST_F(LevelFlowTest, QuickServesGrantBonusPieces)
{
    screens_.briefingPauses = false;
    board_.StartLevelLoad(1, false);
    for (int serve = 0; serve < 4; ++serve)
        board_.CountRushServe();
    EXPECT_EQ(Count("piece -1"), 2u);
}

TEST_F(LevelFlowTest, EscapeOpensTheMenuOrClosesWhatIsOpen)
{
    board_.KeyUp(27);
    screens_.dialogUp = true;
    board_.KeyUp(27);
    EXPECT_EQ(trace_, (Trace{"escape menu", "hide dialogs"}));
}

TEST_F(LevelFlowTest, AStartCutSceneComesBeforeTheBriefing)
{
    WriteText("cfg/l001.xml", "<level doc='cfg\\scene.xml' onstart_comix='intro'><params normal='30' expert='50'/></level>");
    board_.StartLevelLoad(1, false);
    EXPECT_EQ(Count("comix intro"), 1u);
    EXPECT_EQ(Count("briefing"), 0u);
    ASSERT_TRUE(screens_.comixEnd);
    screens_.comixEnd();
    EXPECT_EQ(Count("briefing"), 1u);
}

// The display follows a career level: prepared at the start, shown for play, the goal splash
// once per reach, the expert splash with the change after it, put away on leaving.
TEST_F(LevelFlowTest, TheDisplayFollowsACareerLevel)
{
    screens_.briefingPauses = false;
    TraceHud hud(trace_);
    board_.SetHud(&hud);
    board_.StartLevelLoad(1, false);
    EXPECT_LT(std::find(trace_.begin(), trace_.end(), "hud start career"),
              std::find(trace_.begin(), trace_.end(), "hud shown"));
    EXPECT_EQ(Count("hud upgrade off"), 1u);
    EXPECT_EQ(Count("hud tasks 0/0"), 1u) << "the task panel is filled at the start";

    board_.AddMoney(60);
    board_.AddMoney(0);
    board_.AddMoney(0);
    EXPECT_EQ(Count("hud goal splash"), 1u);
    EXPECT_EQ(Count("hud expert splash"), 1u);
    // Money fell back below the goal: the display clears the flag and the splash may come again.
    board_.AddMoney(-40);
    board_.ClearGoalReached();
    board_.AddMoney(20);
    EXPECT_EQ(Count("hud goal splash"), 2u);

    trace_.clear();
    board_.LeaveLevel();
    EXPECT_EQ(std::vector(trace_.begin(), trace_.begin() + 2), (Trace{"hud hidden", "hud end"}));
    board_.SetHud(nullptr);
}

TEST_F(LevelFlowTest, TheDisplayShowsBonusesAndTheTaskCounts)
{
    screens_.briefingPauses = false;
    TraceHud hud(trace_);
    board_.SetHud(&hud);
    WriteText("cfg/l001.xml", "<level doc='cfg\\scene.xml'><params normal='30' expert='50'/>"
                              "<achparams coin='2' happy='0' clean='0' speed='0' ice='0'/></level>");
    board_.StartLevelLoad(1, false);
    LevelGoals().CountTask(0);
    board_.ApplyMiniGameBonus(1, 1);
    board_.ApplyMiniGameBonus(2, 1);
    board_.ApplyMiniGameBonus(4, 2);
    for (const char* line : {"hud tasks 2/2", "hud tasks 1/2", "hud smiles", "hud global clean", "hud freeze 8"})
        EXPECT_EQ(Count(line), 1u) << line;
    // The developer's key puts every task back.
    ASSERT_TRUE(DebugSettings().hooks.resetGoals);
    DebugSettings().hooks.resetGoals();
    EXPECT_EQ(Count("hud tasks 2/2"), 2u);
    board_.SetHud(nullptr);
}

TEST_F(LevelFlowTest, SurvivalShowsLivesDaysAndTheUpgradeOnOffer)
{
    TraceHud hud(trace_);
    board_.SetHud(&hud);
    WriteText("cfg/e001.xml", "<level doc='cfg\\scene.xml'><stages><stage num='1' points='10'/>"
                              "<stage num='2' points='20' upgrade='func'/><stage num='3' points='30'/></stages></level>");
    board_.StartLevelLoad(1, true);
    ASSERT_TRUE(board_.IsRunning());
    EXPECT_EQ(Count("hud start survival"), 1u);
    EXPECT_EQ(Count("hud lives 3"), 1u);

    board_.LoseLife();
    board_.LoseLife();
    board_.LoseLife();
    board_.LoseLife();
    EXPECT_EQ(Count("hud lives 0"), 1u);
    EXPECT_EQ(Count("hud lives -1"), 0u) << "below 0 the level ends instead";

    trace_.clear();
    board_.AddMoney(10);
    EXPECT_EQ(Count("hud goal splash"), 1u) << "a new day";
    EXPECT_EQ(Count("hud upgrade on"), 1u) << "day 2 brings an upgrade";
    std::vector<TCUpgrade*> offered;
    board_.GetOfferedUpgrades(offered);
    EXPECT_EQ(Count("hud upgrade off"), 1u) << "nothing more pending";
    board_.SetHud(nullptr);
}

// Only the first career level runs the lessons; leaving the level ends them, and the rush bonus
// hands out the running script's kinds before random ones.
TEST_F(LevelFlowTest, TheFirstCareerLevelRunsTheLessons)
{
    DebugSettings().NoTutorial = false;
    screens_.briefingPauses = false;
    TraceHud hud(trace_);
    board_.SetHud(&hud);
    board_.StartLevelLoad(1, false);
    EXPECT_TRUE(GetTutorial().IsRunning());
    EXPECT_EQ(Count("hud skip on"), 1u);
    board_.AbortLevel();
    EXPECT_FALSE(GetTutorial().IsRunning());
    EXPECT_EQ(Count("hud messages hidden"), 1u) << "no tip outlives its day";
    EXPECT_EQ(Count("hud skip off"), 1u);

    WriteText("cfg/l002.xml", "<level doc='cfg\\scene.xml'><params normal='30' expert='50'/></level>");
    board_.StartLevelLoad(2, false);
    EXPECT_FALSE(GetTutorial().IsRunning());

    static constexpr TCTutorialRule kWait[] = {{.trigger = kTutorialTrayUsed}};
    static constexpr int kKinds[] = {3};
    static constexpr TCTutorialScriptDef kScript{kWait, kKinds};
    GetTutorial().Start(kScript);
    for (int serve = 0; serve < 4; ++serve)
        board_.CountRushServe();
    EXPECT_EQ(Count("piece 3"), 1u);
    EXPECT_EQ(Count("piece -1"), 1u);
    board_.SetHud(nullptr);
}

TEST_F(LevelFlowTest, ACareerBonusTeachesItselfOnceAndNotDuringALesson)
{
    DebugSettings().NoTutorial = false;
    screens_.briefingPauses = false;
    WriteText("cfg/l002.xml", "<level doc='cfg\\scene.xml'><params normal='30' expert='50'/></level>");
    board_.StartLevelLoad(2, false);
    board_.ApplyMiniGameBonus(0, 1);
    EXPECT_TRUE(screens_.hints[0]);
    EXPECT_TRUE(GetTutorial().IsRunning()) << "the coin bonus's own lesson";
    EXPECT_FALSE(GetTutorial().IsActionAllowed(kTutorialActionRun)) << "it holds the game until read";

    board_.ApplyMiniGameBonus(4, 1);
    EXPECT_FALSE(screens_.hints[4]) << "the ice lesson waits for a bonus outside the coin lesson";
    board_.LeaveLevel();
}

TEST_F(LevelFlowTest, TheLessonsReachTheMiniGameAndSetTheSceneAgain)
{
    screens_.briefingPauses = false;
    board_.StartLevelLoad(1, false);
    TCEvent arrival;
    arrival.type = "client";
    arrival.persons[0] = "girl";
    arrival.orders = {"0100"};
    ASSERT_TRUE(board_.SpawnEvent(arrival));
    auto* girl = dynamic_cast<TCClient*>(FindItemByName("client01"));
    ASSERT_TRUE(girl && girl->GetState() != TCClient::kGone);
    board_.ResetTutorialScene();
    EXPECT_EQ(girl->GetState(), TCClient::kGone);
    EXPECT_TRUE(girl->IsActive()) << "her place stays in play, empty";

    board_.EnableMiniGamePiece(4);
    GetTutorial().Stop();
    EXPECT_EQ(Count("enable piece 4"), 1u);
    EXPECT_EQ(Count("pieces off"), 1u);
}

TEST_F(LevelFlowTest, ReadingTheConfigurationAgainForgetsALostVip)
{
    board_.StartLevelLoad(1, false);
    board_.SetVipLost();
    board_.LoadBoardConfig();
    EXPECT_FALSE(board_.IsVipLost());
}

} // namespace
} // namespace simtest
