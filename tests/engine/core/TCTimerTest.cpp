#include "engine/core/TCTimer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Call {
    int id;
    float progress;
    bool operator==(const Call&) const = default;
};

std::vector<Call> gCalls;

int Record(const TCCallbackRecord* record)
{
    gCalls.push_back({record->id, record->progress});
    return 1;
}

std::ostream& operator<<(std::ostream& out, const Call& call) { return out << "{" << call.id << ", " << call.progress << "}"; }

TCTimerControl Control(uint32_t kind, int id, float start, float end = 0.0f, TCControlCallback function = Record)
{
    TCTimerControl control;
    control.kind = kind | TCTimerControl::HasFunction;
    control.id = id;
    control.start = start;
    control.end = end;
    control.function = function;
    control.active = true;
    return control;
}

class Timer : public ::testing::Test {
protected:
    void SetUp() override { gCalls.clear(); }

    void Start(TCTimer::Type type, float duration, TCTimer::Direction direction = TCTimer::Forward)
    {
        TCTimer::Params params;
        params.mask = TCTimer::Params::Duration | TCTimer::Params::Dir | TCTimer::Params::TimerType;
        params.duration = duration;
        params.direction = direction;
        params.type = type;
        params.active = true;
        timer.SetParams(params);
    }
    std::vector<Call> Step(double dt)
    {
        gCalls.clear();
        timer.Update(dt);
        return gCalls;
    }

    TCTimer timer{nullptr};
};

TEST_F(Timer, RangeCallsEntryProgressAndExitOnceEachWay)
{
    struct Case {
        TCTimer::Direction direction;
        std::vector<std::vector<Call>> steps;
    };
    const Case cases[] = {
        {TCTimer::Forward, {{{7, 0.0f}, {7, 0.0f}}, {{7, 0.5f}}, {{7, 1.0f}}, {}}},
        {TCTimer::Backward, {{{7, 1.0f}, {7, 1.0f}}, {{7, 0.5f}}, {{7, 0.0f}}, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction);
        timer.ClearControls();
        timer.AddControl(Control(TCTimerControl::Range, 7, 0.25f, 0.75f));
        Start(TCTimer::Usual, 1.0f, c.direction);
        timer.Restart();
        for (const auto& expected : c.steps)
            EXPECT_EQ(Step(0.25), expected);
        EXPECT_TRUE(timer.IsFinished());
        EXPECT_EQ(Step(0.25), std::vector<Call>{}) << "a finished timer stays put";
    }
}

TEST_F(Timer, AStepOverAWholeRangeGivesBothBoundariesOnly)
{
    timer.AddControl(Control(TCTimerControl::Range, 1, 0.25f, 0.5f));
    timer.AddControl(Control(TCTimerControl::Point, 2, 0.6f));
    Start(TCTimer::Usual, 1.0f);
    EXPECT_EQ(Step(0.7), (std::vector<Call>{{1, 0.0f}, {1, 1.0f}, {2, 0.7f}}));
}

TEST_F(Timer, PointAtTheStartFiresOnTheZeroStepAndTheFirstStep)
{
    timer.AddControl(Control(TCTimerControl::Point, 3, 0.0f));
    Start(TCTimer::Usual, 1.0f);
    EXPECT_EQ(Step(0.0), (std::vector<Call>{{3, 0.0f}}));
    EXPECT_EQ(Step(0.01), (std::vector<Call>{{3, 0.01f}}));
    EXPECT_EQ(Step(0.01), std::vector<Call>{});
}

TEST_F(Timer, RestartGoesBackToTheStartOfItsDirection)
{
    timer.AddControl(Control(TCTimerControl::Point, 4, 1.0f));
    Start(TCTimer::Usual, 1.0f, TCTimer::Backward);
    Step(2.0);
    ASSERT_TRUE(timer.IsFinished());
    timer.Restart();
    EXPECT_FALSE(timer.IsFinished());
    EXPECT_EQ(timer.GetPosition(), 1.0);
    EXPECT_EQ(Step(0.0), (std::vector<Call>{{4, 1.0f}}));
}

TEST_F(Timer, EndOfTimelineByType)
{
    struct Case {
        TCTimer::Type type;
        float duration;
        double position; // start position, forward
        double dt;
        double expected;
        bool forwardAfter;
    };
    const Case cases[] = {
        {TCTimer::Cycle, 1.0f, 0.0, 2.5, 0.5, true},
        {TCTimer::PingPong, 1.0f, 0.9, 0.3, 0.8, false},
        {TCTimer::PingPong, 1.0f, 0.0, 2.5, 0.5, true}, // two reflections
        {TCTimer::Usual, 1.0f, 0.0, 2.5, 1.0, true},    // stops at the first end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " +" << c.dt);
        Start(c.type, c.duration);
        if (c.position > 0.0)
            Step(c.position);
        Step(c.dt);
        EXPECT_NEAR(timer.GetPosition(), c.expected, 1e-6);
        EXPECT_EQ(timer.IsRunningForward(), c.forwardAfter);
    }
}

TEST_F(Timer, CycleFiresItsStartPointOnEveryWrap)
{
    timer.AddControl(Control(TCTimerControl::Point, 5, 0.0f));
    Start(TCTimer::Cycle, 1.0f);
    Step(0.5);
    EXPECT_EQ(Step(2.0), (std::vector<Call>{{5, 0.5f}, {5, 0.5f}})) << "a point reports the position reached";
}

TEST_F(Timer, EndlessAndTinyDurationsEndTheirStep)
{
    Start(TCTimer::Usual, 1.0f);
    TCTimer::Params endless;
    endless.mask = TCTimer::Params::Duration;
    endless.duration = TCTimer::kEndless;
    timer.SetParams(endless);
    timer.SetActive(true);
    Step(0.5);
    EXPECT_EQ(timer.GetPosition(), 0.5);

    Start(TCTimer::PingPong, 1e-7f);
    Step(1e6);
    EXPECT_GE(timer.GetPosition(), 0.0);
    EXPECT_LE(timer.GetPosition(), 1e-7);
}

TEST_F(Timer, ParamsGuardActivityAndHold)
{
    TCTimer::Params params;
    params.mask = TCTimer::Params::Duration;
    params.duration = 0.0f;
    params.active = true;
    timer.SetParams(params);
    EXPECT_FALSE(timer.IsActive());

    params.mask = TCTimer::Params::Duration | TCTimer::Params::Hold;
    params.duration = 2.0f;
    timer.SetParams(params);
    TCTimer::Params read;
    read.mask = TCTimer::Params::Duration | TCTimer::Params::TimerType;
    timer.GetParams(read);
    EXPECT_EQ(read.mask, 0u);
    EXPECT_EQ(read.duration, 0.0f) << "a held timer reports only its active flag";
    EXPECT_TRUE(read.active);
}

// A callback that changes its own timer's parameters ends what the step had left to do.
TCTimer* gRestarted = nullptr;
int ShortenTimer(const TCCallbackRecord*)
{
    TCTimer::Params params;
    params.mask = TCTimer::Params::Duration;
    params.duration = 1e-9f;
    params.active = true;
    gRestarted->SetParams(params);
    return 1;
}

TEST_F(Timer, ChangingParamsFromACallbackEndsTheStep)
{
    gRestarted = &timer;
    timer.AddControl(Control(TCTimerControl::Point, 6, 1.0f, 0.0f, ShortenTimer));
    Start(TCTimer::Cycle, 1.0f);
    Step(100.0);
    EXPECT_EQ(timer.GetPosition(), 0.0);
    EXPECT_TRUE(timer.IsActive());
}

TEST_F(Timer, ControlsWithoutFunctionsKeepTheirBookkeeping)
{
    TCTimerControl silent = Control(TCTimerControl::Range, 8, 0.0f, 0.5f);
    silent.kind = TCTimerControl::Range; // function not marked as given
    timer.AddControl(silent);
    TCTimerControl inactive = Control(TCTimerControl::Point, 9, 0.1f);
    inactive.active = false;
    timer.AddControl(inactive);
    timer.AddControl(Control(0, 10, 0.1f)); // neither point nor range
    Start(TCTimer::Usual, 1.0f);
    EXPECT_EQ(Step(0.25), std::vector<Call>{});
    EXPECT_TRUE(timer.GetControls()[0].inside);

    EXPECT_TRUE(timer.SetControlActive(9, true));
    EXPECT_TRUE(timer.ReplaceControl(Control(TCTimerControl::Range, 8, 0.0f, 0.5f)));
    EXPECT_FALSE(timer.GetControls()[0].inside);
    EXPECT_TRUE(timer.RemoveControl(10));
    EXPECT_FALSE(timer.RemoveControl(10));
    timer.Restart();
    EXPECT_EQ(Step(0.25), (std::vector<Call>{{8, 0.0f}, {8, 0.5f}, {9, 0.25f}}));
}

} // namespace
