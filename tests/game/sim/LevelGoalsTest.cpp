#include <gtest/gtest.h>

#include <algorithm>

#include "BoardFixtures.h"
#include "game/sim/TCLevelGoals.h"
#include "game/sim/TutorialPort.h"

namespace {

using namespace simtest;

// Writes the tutorial events it receives.
class EventLog : public TCTutorialPort {
public:
    void ApplyRule(int event) override { events.push_back(event); }
    bool IsObjectAllowed(const std::string&) const override { return true; }
    std::vector<int> events;
};

class GoalsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetTutorialPort(nullptr);
        LevelGoals().SetExpertCheck(nullptr);
        LevelGoals().SetOnChanged(nullptr);
        pugi::xml_document empty;
        LevelGoals().Load(empty.append_child("level"));
    }
    static void Load(const char* level)
    {
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string(level));
        LevelGoals().Load(document.first_child());
    }

    LogCapture log_;
    ClockGuard clock_;
    Trace trace_;
    RecordingHost host_{trace_};
    RecordingBoard board_{host_, trace_};
};

TEST_F(GoalsTest, TasksCountDownToZeroAndCompleteOncePerKind)
{
    Load("<level><achparams coin='2' happy='1' clean='0' speed='0' ice='0'/></level>");
    int refreshes = 0;
    LevelGoals().SetOnChanged([&refreshes] { ++refreshes; });
    for (int task : {0, 0, 0, 1, 1, 2, -1, 5})
        LevelGoals().CountTask(task);
    EXPECT_EQ(LevelGoals().GetRemaining(0), 0);
    EXPECT_EQ(LevelGoals().GetRemaining(1), 0);
    EXPECT_EQ(LevelGoals().GetRemaining(2), 0);
    EXPECT_EQ(std::count(trace_.begin(), trace_.end(), "sound task_complete"), 2);
    EXPECT_EQ(refreshes, 8);
    EXPECT_TRUE(LevelGoals().AllTasksDone());
    LevelGoals().Reset();
    EXPECT_EQ(LevelGoals().GetRemaining(0), 2);
    EXPECT_FALSE(LevelGoals().AllTasksDone());
}

TEST_F(GoalsTest, MissingTargetsAreZeroWithAWarning)
{
    Load("<level/>");
    EXPECT_TRUE(LevelGoals().IsGoalMet(TCLevelGoals::kAllTasks));
    Load("<level><achparams coin='1'/></level>");
    EXPECT_EQ(LevelGoals().GetTarget(0), 1);
    EXPECT_EQ(LevelGoals().GetTarget(4), 0);
    const std::string text = log_.Text();
    EXPECT_NE(text.find("WARNING: no 'achparams'  in level."), std::string::npos);
    EXPECT_NE(text.find("WARNING: no attribute 'ice' in 'achparams'."), std::string::npos);
}

TEST_F(GoalsTest, EachGoalHasItsOwnTest)
{
    Load("<level><achparams coin='1' happy='0' clean='0' speed='0' ice='0'/></level>");
    bool expert = false;
    LevelGoals().SetExpertCheck([&expert] { return expert; });
    LevelGoals().Start();
    struct Row {
        bool clientGaveUp, workerBroke, expert, tasksDone;
        bool met[6];
    };
    const Row rows[] = {
        {false, false, false, false, {true, true, false, false, false, false}},
        {false, false, true, true, {true, true, true, true, true, false}},
        {true, false, true, true, {false, true, true, true, false, false}},
        {false, true, true, true, {true, false, true, true, false, false}},
    };
    for (const Row& row : rows) {
        LevelGoals().Start();
        LevelGoals().Reset();
        if (row.clientGaveUp)
            LevelGoals().ClearClientFlag();
        if (row.workerBroke)
            LevelGoals().ClearWorkerFlag();
        if (row.tasksDone)
            LevelGoals().CountTask(0);
        expert = row.expert;
        for (int goal = 0; goal < 6; ++goal)
            EXPECT_EQ(LevelGoals().IsGoalMet(goal), row.met[goal]) << "goal " << goal;
    }
}

TEST_F(GoalsTest, QuickServesChainIntoRushBonuses)
{
    EventLog events;
    SetTutorialPort(&events);
    pugi::xml_document config;
    ASSERT_TRUE(config.load_string("<root><bonus_config rush_timeout='2' start_count='3'/></root>"));
    TCRushBonus rush;
    rush.Load(config.child("root"));
    int rushes = 0;
    rush.SetOnRush([&rushes] { ++rushes; });
    auto wait = [&rush](float seconds) {
        gFrameTime = seconds;
        rush.Update();
        gFrameTime = 0.0f;
    };
    // Spaced by the timeout: never a chain.
    for (int serve = 0; serve < 5; ++serve) {
        rush.Count();
        wait(2.0f);
    }
    EXPECT_EQ(rushes, 0);
    EXPECT_EQ(events.events, std::vector<int>(5, 9));
    // Three quick serves trigger, a fourth again; a break starts over.
    for (int serve = 0; serve < 4; ++serve) {
        rush.Count();
        wait(1.9f);
    }
    EXPECT_EQ(rushes, 2);
    rush.Reset();
    rush.Count();
    EXPECT_EQ(rushes, 2);
    EXPECT_EQ(events.events.size(), 6u);
}

} // namespace
