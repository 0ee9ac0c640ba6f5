#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "SimFixtures.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/ui/TCDialog.h"
#include "game/sim/TCHudView.h"
#include "game/sim/TCTutorialScript.h"

namespace {

using namespace simtest;
using Ids = std::set<std::string>;

// Notes the tutorial's messages as "+id" (shown) and "-id" (closed), one line per call.
class RecordingHud : public TCHudView {
public:
    void ShowDisplay(bool) override {}
    void StartLevelDisplay(bool) override {}
    void EndLevelDisplay() override {}
    void ShowGoalSplash() override {}
    void ShowExpertSplash() override {}
    void SetLives(int) override {}
    void ShowUpgradeButton(bool) override {}
    void ShowGlobalClean() override {}
    void ShowFreeze(float) override {}
    void ShowSmiles() override {}
    void RefreshAchievements(const TCTaskCounts&) override {}
    void ShowTutorialMessage(const std::string& id, bool show) override
    {
        calls += (calls.empty() ? "" : " ") + std::string(show ? "+" : "-") + id;
    }
    void HideTutorialMessages() override { messagesHidden = true; }
    void ShowSkipTutorial(bool show) override { skipShown = show; }
    void SetPointerAlpha(float alpha) override { alphas.push_back(alpha); }
    void ReleasePointer() override { released = true; }

    // The calls since the last time this was asked.
    std::string Take() { return std::exchange(calls, ""); }

    std::string calls;
    bool messagesHidden = false;
    bool skipShown = false;
    bool released = false;
    std::vector<float> alphas;
};

class RecordingLevel : public TCTutorialLevel {
public:
    void EnableMiniGamePiece(int piece) override { pieces.push_back(piece); }
    void EnableAllMiniGamePieces() override { ++piecesDisabled; }
    void ResetRushTime() override { ++rushResets; }
    void ResetTutorialScene() override { ++sceneResets; }

    std::vector<int> pieces;
    int piecesDisabled = 0;
    int rushResets = 0;
    int sceneResets = 0;
};

class TutorialTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tutorial_.SetHud(&hud_);
        tutorial_.SetLevel(&level_);
    }
    // One step of play as the board runs it.
    void Frame()
    {
        gFrameTime = 0.01f;
        AdvanceGameClock();
        tutorial_.Update();
    }
    // Frames until the rule index moves; false when it does not within the limit.
    bool FramesUntilNextRule(int limit = 300)
    {
        const int index = tutorial_.GetIndex();
        for (int i = 0; i < limit; ++i) {
            Frame();
            if (tutorial_.GetIndex() != index)
                return true;
        }
        return false;
    }
    bool AllAllowed() const
    {
        for (int action = 1; action <= 7; ++action)
            if (!tutorial_.IsActionAllowed(action))
                return false;
        return true;
    }

    ClockGuard clock_;
    RecordingHud hud_;
    RecordingLevel level_;
    TCTutorialScript tutorial_;
};

TEST_F(TutorialTest, WithoutAScriptEverythingIsAllowed)
{
    EXPECT_TRUE(AllAllowed());
    EXPECT_TRUE(tutorial_.IsObjectAllowed("anything"));
    EXPECT_EQ(tutorial_.NextBonusKind(), -1);
    tutorial_.ApplyRule(kTutorialClientSpawned);
    EXPECT_EQ(hud_.Take(), "");
}

// A script of four rules: a delay, a rule waiting for it, a rule with an alternative, an end.
constexpr TCTutorialRule kBreak[] = {{.trigger = kTutorialRushReset, .show = "again", .next = 3}};
constexpr TCTutorialRule kRules[] = {
    {.trigger = kTutorialTick, .delay = 0.25f, .forbid = {kTutorialActionWork}, .addClickable = "a;b"},
    {.trigger = kTutorialTick, .show = "m1", .removeClickable = "b"},
    {.trigger = kTutorialTargetGiven, .close = "m1", .alternatives = kBreak},
    {.trigger = kTutorialDialogClosed, .close = "again", .piece = 2},
};
constexpr int kKinds[] = {3, 1};
const TCTutorialScriptDef kSynthetic{kRules, kKinds};

TEST_F(TutorialTest, RulesFireOnTheirTriggerAfterTheDelayAndThroughAnAlternative)
{
    LogCapture log;
    tutorial_.Start(kSynthetic);
    EXPECT_EQ(tutorial_.GetIndex(), 1) << "the first tick fires at the start";
    EXPECT_EQ(tutorial_.GetClickable(), (Ids{"a", "b"}));
    EXPECT_FALSE(tutorial_.IsActionAllowed(kTutorialActionWork));
    EXPECT_TRUE(tutorial_.IsActionAllowed(kTutorialActionPatience));
    EXPECT_FALSE(tutorial_.IsObjectAllowed("c"));

    for (int i = 0; i < 20; ++i)
        Frame();
    EXPECT_EQ(tutorial_.GetIndex(), 1) << "the delay of 0.25 s still runs";
    ASSERT_TRUE(FramesUntilNextRule(10));
    EXPECT_EQ(hud_.Take(), "+m1");
    EXPECT_EQ(tutorial_.GetClickable(), Ids{"a"});

    tutorial_.ApplyRule(kTutorialClientLeft);
    Frame();
    EXPECT_EQ(tutorial_.GetIndex(), 2) << "an event that matches nothing changes nothing";
    EXPECT_EQ(hud_.Take(), "");

    tutorial_.ApplyRule(kTutorialRushReset);
    EXPECT_EQ(tutorial_.GetIndex(), 3);
    EXPECT_EQ(hud_.Take(), "+again");
    EXPECT_NE(log.Text().find("ApplyRule: 2(alt)"), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("ApplyRule: 1\n"), std::string::npos) << log.Text();

    EXPECT_EQ(tutorial_.NextBonusKind(), 3);
    hud_.skipShown = true;
    tutorial_.ApplyRule(kTutorialDialogClosed);
    EXPECT_EQ(hud_.Take(), "-again");
    EXPECT_EQ(level_.pieces, std::vector<int>{2});
    EXPECT_FALSE(tutorial_.IsRunning()) << "past the last rule the script ends";
    EXPECT_EQ(level_.piecesDisabled, 1);
    EXPECT_FALSE(hud_.skipShown);
    EXPECT_TRUE(AllAllowed());
    EXPECT_EQ(tutorial_.NextBonusKind(), -1);
}

// One event and what it leaves: the messages shown and closed, the clickable objects, the rule
// next. Event -1 stands for the frames of a pointer fade.
struct WalkStep {
    int event;
    const char* messages;
    Ids clickable;
    int next;
};

constexpr int kFade = -1;

const WalkStep kMainWalk[] = {
    {1, "+tutorial1", {"client_place01"}, 2},
    {2, "-tutorial1", {}, 3},
    {4, "+tutorial2", {}, 4},
    {0, "+tutorial3", {"table01"}, 5},
    {2, "+tutorial4 -tutorial2 -tutorial3", {"table02"}, 6},
    {2, "+tutorial5 -tutorial4", {"table03"}, 7},
    {2, "+tutorial6 -tutorial5", {}, 8},
    {8, "+tutorial7 -tutorial6", {"table01"}, 9},
    {2, "+tutorial8 -tutorial7", {"client_place01"}, 10},
    {2, "-tutorial8", {}, 11},
    {3, "+tutorial9", {}, 12},
    {11, "+tutorial10 -tutorial9", {"wash_stand"}, 13},
    {10, "+tutorial11 -tutorial10", {"table01"}, 14},
    {10, "-tutorial11", {}, 15},
    {1, "+tutorial12", {"client_place02"}, 16},
    {4, "+tutorial13 -tutorial12", {}, 17},
    {0, "+tutorial14", {"table02"}, 18},
    {10, "+tutorial15 -tutorial14", {"table03"}, 19},
    {10, "+tutorial16 -tutorial15 -tutorial13", {"client_place02"}, 20},
    {2, "+tutorial17 -tutorial16", {"client_place02"}, 21},
    {11, "+tutorial18 -tutorial16 -tutorial17", {}, 22},
    {11, "+tutorial19 -tutorial18", {}, 23},
    {1, "", {}, 24},
    {0, "", {}, 25},
    {1, "", {}, 26},
    {0, "", {}, 27},
    {1, "", {}, 28},
    {0, "", {}, 29},
    {1, "", {}, 30},
    {0, "", {}, 31},
    {1, "", {}, 32},
    {0, "+tutorial20", {}, 33},
    {11, "+tutorial20a +tutorial20a1 -tutorial19 -tutorial20", {"table01"}, 34},
    {2, "+tutorial20a2 -tutorial20a1", {"table02"}, 35},
    {2, "+tutorial20a3 -tutorial20a2", {"table03"}, 36},
    {2, "+tutorial20a4 -tutorial20a3", {"client_place01"}, 37},
    // The chain breaks: the lesson is explained again behind a curtain and starts over.
    {9, "-tutorial20a4", {}, 42},
    {0, "-tutorial20a", {}, 43},
    {kFade, "+tutorial21b", {}, 44},
    {11, "-tutorial21b", {}, 45},
    {kFade, "+tutorial20a +tutorial20a1", {"table01"}, 34},
    {2, "+tutorial20a2 -tutorial20a1", {"table02"}, 35},
    {2, "+tutorial20a3 -tutorial20a2", {"table03"}, 36},
    {2, "+tutorial20a4 -tutorial20a3", {"client_place01"}, 37},
    {2, "+tutorial20a5 -tutorial20a4", {"client_place02"}, 38},
    {2, "+tutorial20a6 -tutorial20a5", {"client_place03"}, 39},
    {2, "+tutorial20a7 -tutorial20a6", {"client_sit_place02"}, 40},
    {2, "+tutorial20a8 -tutorial20a7", {"client_sit_place01"}, 41},
    {2, "+tutorial21a -tutorial20a8 -tutorial20a", {}, 46},
    {0, "+tutorial22", {}, 47},
    {6, "+tutorial23 -tutorial22 -tutorial21a", {}, 48},
    {11, "+tutorial24 -tutorial23", {}, 49},
    {11, "-tutorial24", {}, 50},
};

TEST_F(TutorialTest, TheFirstLevelsScriptWalksThroughItsLessons)
{
    tutorial_.StartForLevel(true);
    ASSERT_TRUE(tutorial_.IsRunning());
    EXPECT_TRUE(hud_.skipShown);
    EXPECT_EQ(tutorial_.GetIndex(), 1);
    EXPECT_EQ(tutorial_.GetForbidden(), (std::set<int>{1, 3, 4, 6}));
    EXPECT_TRUE(tutorial_.GetClickable().empty());
    EXPECT_FALSE(TutorialAllowsObject("table01"));

    for (const WalkStep& step : kMainWalk) {
        SCOPED_TRACE("event " + std::to_string(step.event) + " at rule " + std::to_string(tutorial_.GetIndex()));
        // The game reports through the port.
        if (step.event == kFade)
            ASSERT_TRUE(FramesUntilNextRule());
        else
            ApplyTutorialRule(step.event);
        EXPECT_EQ(hud_.Take(), step.messages);
        EXPECT_EQ(tutorial_.GetClickable(), step.clickable);
        EXPECT_EQ(tutorial_.IsRunning() ? tutorial_.GetIndex() : 50, step.next);
        if (step.next == 8) {
            EXPECT_EQ(tutorial_.GetForbidden(), (std::set<int>{1, 5, 6})) << "work and tidiness go on";
        }
    }
    EXPECT_FALSE(tutorial_.IsRunning());
    EXPECT_EQ(level_.rushResets, 2);
    EXPECT_EQ(level_.sceneResets, 1);
    EXPECT_EQ(level_.pieces, std::vector<int>{4});
    EXPECT_EQ(level_.piecesDisabled, 1);
    EXPECT_FALSE(hud_.skipShown);
}

TEST_F(TutorialTest, ThePointerCurtainFadesOverOneSecondEachWay)
{
    tutorial_.StartForLevel(true);
    for (const WalkStep& step : kMainWalk) {
        if (tutorial_.GetIndex() == 42)
            break;
        tutorial_.ApplyRule(step.event);
    }
    ASSERT_EQ(tutorial_.GetIndex(), 42);
    tutorial_.ApplyRule(kTutorialTick);
    ASSERT_TRUE(FramesUntilNextRule(200));
    ASSERT_GE(hud_.alphas.size(), 100u);
    EXPECT_LE(hud_.alphas.size(), 102u) << "about one second of frames";
    EXPECT_FLOAT_EQ(hud_.alphas.front(), 0.0f);
    EXPECT_FLOAT_EQ(hud_.alphas.back(), 1.0f) << "the curtain stays closed after fading out";
    EXPECT_LT(hud_.alphas[50], hud_.alphas[60]);

    hud_.alphas.clear();
    tutorial_.ApplyRule(kTutorialDialogClosed);
    EXPECT_FALSE(hud_.released);
    ASSERT_TRUE(FramesUntilNextRule(200));
    EXPECT_TRUE(hud_.released);
    EXPECT_FLOAT_EQ(hud_.alphas.front(), 1.0f);
    EXPECT_GT(hud_.alphas[50], hud_.alphas[60]);
    EXPECT_EQ(tutorial_.GetIndex(), 34);
}

TEST_F(TutorialTest, TheMainScriptHandsOutItsBonusKindsInOrder)
{
    tutorial_.StartForLevel(true);
    std::vector<int> kinds;
    for (int i = 0; i < 7; ++i)
        kinds.push_back(tutorial_.NextBonusKind());
    EXPECT_EQ(kinds, (std::vector<int>{0, 2, 2, 1, 2, 0, -1}));
}

TEST_F(TutorialTest, OnlyTheFirstLevelRunsTheMainScript)
{
    tutorial_.StartForLevel(false);
    EXPECT_FALSE(tutorial_.IsRunning());
    EXPECT_FALSE(hud_.skipShown);

    DebugSettings().NoTutorial = true;
    tutorial_.StartForLevel(true);
    DebugSettings().NoTutorial = false;
    EXPECT_FALSE(tutorial_.IsRunning()) << "the developer switch keeps tutorials off";
}

TEST_F(TutorialTest, ABonusTutorialHoldsTheGameUntilItsDialogIsClosed)
{
    const std::pair<int, const char*> kinds[] = {
        {0, "tutorial_bonus_coin"}, {1, "tutorial_bonus_happy"}, {3, "tutorial_bonus_speed"}, {4, "tutorial_bonus_ice"}};
    for (const auto& [kind, message] : kinds) {
        SCOPED_TRACE(message);
        tutorial_.StartBonusTutorial(kind);
        EXPECT_EQ(hud_.Take(), std::string("+") + message);
        for (int action = 1; action <= 7; ++action)
            EXPECT_FALSE(tutorial_.IsActionAllowed(action)) << action;
        EXPECT_TRUE(TutorialForbids(kTutorialActionRun)) << "the game clock hears it";

        // The tutorial dialog's button is how the player closes it.
        ASSERT_TRUE(TCTutorialDialog::onClosed);
        TCTutorialDialog::onClosed();
        EXPECT_EQ(hud_.Take(), std::string("-") + message);
        EXPECT_FALSE(tutorial_.IsRunning());
        EXPECT_TRUE(AllAllowed());
    }
}

TEST_F(TutorialTest, KindsWithoutABonusTutorialChangeNothing)
{
    tutorial_.StartForLevel(true);
    for (int kind : {-1, 2, 5, 100})
        tutorial_.StartBonusTutorial(kind);
    EXPECT_TRUE(tutorial_.IsRunning());
    EXPECT_EQ(tutorial_.GetIndex(), 1);
}

TEST_F(TutorialTest, StoppingHidesTheTutorialAndKeepsThePiecesOff)
{
    tutorial_.StartForLevel(true);
    tutorial_.ApplyRule(kTutorialClientSpawned);
    tutorial_.Stop();
    EXPECT_FALSE(tutorial_.IsRunning());
    EXPECT_TRUE(hud_.messagesHidden);
    EXPECT_FALSE(hud_.skipShown);
    EXPECT_EQ(level_.piecesDisabled, 1);
    EXPECT_TRUE(AllAllowed());
}

} // namespace
