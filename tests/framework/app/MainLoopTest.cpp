// The fixed-step scheduler, run in simulated time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "framework/app/AppTestSupport.h"
#include "framework/app/NubraAppBase.h"
#include "framework/widgets/Widget.h"
#include "platform/MessageBox.h"

namespace {

using apptest::ScriptedEvents;
using apptest::SimulatedTime;

// An application whose start-up load is already done, which records its steps and presents.
class LoopApp : public Nubra::NubraAppBase {
public:
    LoopApp()
    {
        loadingThreadWanted = false;
        completionHandled = true;
    }

    bool Redraw() override
    {
        presents.push_back(plat::NowMs());
        stepsAtPresent.push_back(updateCount);
        if (onPresent)
            onPresent();
        return true;
    }

    void UpdateFrames() override
    {
        NubraAppBase::UpdateFrames();
        steps.push_back(plat::NowMs());
        if (onStep)
            onStep();
    }

    // Runs the loop until the first step after the simulated time endMs.
    void RunUntil(uint32_t endMs)
    {
        auto previous = onStep;
        onStep = [this, endMs, previous] {
            if (previous)
                previous();
            if (plat::MsBefore(endMs, plat::NowMs()))
                Shutdown();
        };
        Start();
    }

    std::vector<uint32_t> presents, stepsAtPresent, steps;
    std::function<void()> onStep, onPresent;
};

// A widget that is dirty after every update, so every draw presents.
struct BusyWidget : Nubra::Widget {
    BusyWidget() { widgetFlagsMod.addFlags = Nubra::kWidgetMarkDirtyEveryUpdate; }
};

// Waits for the next vertical blank of a display at the given rate.
void WaitForVBlank(plat::SimulatedClock& clock, double hz)
{
    auto period = uint64_t(std::llround(1e9 / hz));
    uint64_t now = clock.NowNs();
    clock.AdvanceNs((now / period + 1) * period - now);
}

// Simulated time, no system messages but those a test scripts, and the application.
class MainLoop : public testing::Test {
protected:
    // Every update then leaves something to draw.
    void KeepBusy() { app.widgetManager->AddWidget(&busy); }
    // Full screen, where the display's vertical sync may pace the steps.
    void UseVSync(int32_t hz)
    {
        app.vsyncTimingAllowed = true;
        app.physicallyWindowed = false;
        app.refreshRate = hz;
    }

    SimulatedTime time;
    ScriptedEvents events;
    LoopApp app;
    BusyWidget busy; // before the application goes
};

int LongestRunBetweenPresents(const LoopApp& app)
{
    int longest = 0;
    for (size_t i = 1; i < app.stepsAtPresent.size(); ++i)
        longest = std::max(longest, int(app.stepsAtPresent[i] - app.stepsAtPresent[i - 1]));
    return longest;
}

TEST_F(MainLoop, RunsOneHundredStepsASecondAndPresentsOnceASecondWhenNothingIsDirty)
{
    app.RunUntil(10000);

    EXPECT_NEAR(double(app.updateCount), 1000.0, 1.0);
    ASSERT_EQ(app.presents.size(), 10u);
    for (size_t i = 0; i < app.presents.size(); ++i)
        EXPECT_EQ(app.presents[i], 1000u * (i + 1)) << "present " << i;
}

TEST_F(MainLoop, CatchesUpAtMostTwentyStepsAfterAStall)
{
    uint32_t stallEnd = 0;
    app.onStep = [&] {
        if (app.updateCount == 50) {
            time.clock.AdvanceMs(2000);
            stallEnd = time.Now();
        }
    };
    app.RunUntil(4000);

    // The stalled step is recorded at its start; what follows at the same instant is catch-up.
    auto caughtUp = std::count(app.steps.begin(), app.steps.end(), stallEnd);
    EXPECT_LE(caughtUp, 20);
    EXPECT_GE(caughtUp, 19);
}

// A slow machine: each step takes longer than the period, so the loop is always behind and only
// the limit makes it draw.
class StepsBetweenDraws : public MainLoop, public testing::WithParamInterface<std::pair<double, int>> {};

TEST_P(StepsBetweenDraws, FollowTheMultiplier)
{
    auto [multiplier, limit] = GetParam();
    KeepBusy();
    app.updateMultiplier = multiplier;
    app.onStep = [&] { time.clock.AdvanceMs(25); };
    app.RunUntil(5000);

    ASSERT_GT(app.presents.size(), 10u);
    int longest = LongestRunBetweenPresents(app);
    EXPECT_LE(longest, limit);
    EXPECT_GE(longest, limit - 1);
}

INSTANTIATE_TEST_SUITE_P(MainLoop, StepsBetweenDraws,
                         testing::Values(std::pair{1.0, 10}, std::pair{1.5, 15}, std::pair{0.5, 5}));

class Halted : public MainLoop, public testing::WithParamInterface<bool> {};

TEST_P(Halted, NeitherUpdatesNorDrawsButKeepsPumpingMessages)
{
    KeepBusy();
    if (GetParam())
        app.paused = true;
    else
        app.updateMultiplier = 0.0;
    // The close request arrives through the pump, or the loop would never end.
    events.onPoll = [&](int polls) {
        if (polls == 100)
            events.pending.push_back({plat::MessageKind::Close});
    };
    app.Start();

    EXPECT_GE(events.polls, 100);
    EXPECT_EQ(app.updateCount, 0u);
    EXPECT_EQ(app.drawCount, 0u);
    EXPECT_TRUE(app.presents.empty());
    EXPECT_TRUE(app.closedByUser);
}

INSTANTIATE_TEST_SUITE_P(MainLoop, Halted, testing::Bool(), [](const auto& info) {
    return info.param ? "Paused" : "MultiplierZero";
});

TEST_F(MainLoop, VerticalSyncAtSixtyHertzRunsFiveStepsEveryThreePresents)
{
    KeepBusy();
    UseVSync(60);
    app.onPresent = [&] {
        WaitForVBlank(time.clock, 60.0);
        if (app.presents.size() == 601)
            app.Shutdown();
    };
    app.Start();

    ASSERT_EQ(app.stepsAtPresent.size(), 601u);
    EXPECT_NEAR(double(app.stepsAtPresent[600] - app.stepsAtPresent[0]), 1000.0, 1.0);
    EXPECT_FALSE(app.vsyncBroken);
}

TEST_F(MainLoop, AnUnknownRefreshRateCountsAsSixtyHertz)
{
    KeepBusy();
    UseVSync(0);
    app.onPresent = [&] { WaitForVBlank(time.clock, 60.0); };
    app.RunUntil(2000);

    EXPECT_NEAR(double(app.updateCount), 200.0, 2.0);
}

// Presents that return at once: the display's vertical sync does not pace the steps. Runs of
// 100 steps are "fast" unless the presents of one run are made slow.
class BrokenVSync : public MainLoop, public testing::WithParamInterface<std::pair<int, uint32_t>> {};

TEST_P(BrokenVSync, ThreeFastRunsInARowTurnVSyncTimingOff)
{
    // Plain variables: the clang that builds the fuzzing run cannot capture structured bindings.
    int slowRun = GetParam().first;
    uint32_t expectedStep = GetParam().second;
    KeepBusy();
    UseVSync(100);
    uint32_t brokenAtStep = 0;
    app.onPresent = [&] {
        if (int(app.updateCount / 100) + 1 == slowRun)
            time.clock.AdvanceMs(10);
    };
    app.onStep = [&] {
        if (app.vsyncBroken && brokenAtStep == 0)
            brokenAtStep = app.updateCount;
    };
    app.RunUntil(3000);

    EXPECT_EQ(brokenAtStep, expectedStep);
    // From then on the clock paces the steps.
    EXPECT_GE(app.steps.back(), 2990u);
}

INSTANTIATE_TEST_SUITE_P(MainLoop, BrokenVSync,
                         testing::Values(std::pair{0, 300u}, std::pair{2, 500u}));

TEST_F(MainLoop, KeepsItsPaceAcrossTheWrapOfTheMillisecondCounter)
{
    time.clock.AdvanceMs(0xFFFFFFFFu - 499);
    app.RunUntil(1500); // 2 s after the start, across the wrap

    EXPECT_NEAR(double(app.updateCount), 200.0, 1.0);
    ASSERT_EQ(app.presents.size(), 2u);
    EXPECT_EQ(app.presents[0], 500u);
}

TEST_F(MainLoop, TimeSpentInAMessageBoxIsNotCaughtUp)
{
    struct SlowReader : plat::FakeMessageBox {
        plat::MsgBoxResult Show(const std::string& t, const std::string& text, plat::MsgBoxButtons b,
                                plat::MsgBoxIcon i) override
        {
            clock->AdvanceMs(5000);
            return FakeMessageBox::Show(t, text, b, i);
        }
        plat::SimulatedClock* clock = nullptr;
    } reader;
    reader.clock = &time.clock;
    plat::SetMessageBoxService(&reader);
    uint32_t boxClosed = 0;
    app.onStep = [&] {
        if (app.updateCount == 10) {
            app.MsgBox(L"Read me slowly", L"Note", plat::MsgBoxButtons::Ok, plat::MsgBoxIcon::Information);
            boxClosed = time.Now();
        }
    };
    app.RunUntil(6000);
    plat::SetMessageBoxService(nullptr);

    // The step that showed the box ran before it; the next one comes a period after it closed.
    auto next = std::upper_bound(app.steps.begin(), app.steps.end(), boxClosed - 1);
    ASSERT_NE(next, app.steps.end());
    EXPECT_EQ(*next, boxClosed + 10);
}

// What a widget below saw of its own life; kept outside it, since it is deleted.
struct Life {
    bool destroyed = false;
    int updates = 0;
    bool askDeletion = true;
    bool aliveAfterNestedLoop = false;
    std::function<void()> nested; // a modal loop run inside its update
};

// Asks the application to delete it during its own update, then goes on using itself.
struct SelfDeleting : Nubra::Widget {
    explicit SelfDeleting(Life* life) : life(life) {}
    ~SelfDeleting() override { life->destroyed = true; }

    void Update() override
    {
        Widget::Update();
        ++life->updates;
        if (!life->askDeletion)
            return;
        life->askDeletion = false;
        manager->app->SafeDeleteWidget(this);
        if (life->nested) {
            life->nested();
            life->aliveAfterNestedLoop = !life->destroyed;
        }
        width = 1;
    }

    Life* life;
};

TEST_F(MainLoop, AWidgetDeletedDuringItsUpdateGoesOnlyAfterTheUpdateReturns)
{
    Life life;
    app.widgetManager->AddWidget(new SelfDeleting(&life));
    uint32_t destroyedAtStep = 0;
    app.onStep = [&] {
        if (life.destroyed && destroyedAtStep == 0)
            destroyedAtStep = app.updateCount;
    };
    app.RunUntil(200);

    // Alive when its step's update returned, gone before the next step.
    EXPECT_EQ(destroyedAtStep, 2u);
    EXPECT_EQ(life.updates, 1);
    EXPECT_TRUE(app.widgetManager->children.empty());
}

TEST_F(MainLoop, ADeletionAskedOutsideAModalLoopWaitsForTheOuterUpdate)
{
    Life outer, inner;
    inner.askDeletion = false; // only once the modal loop runs
    bool innerGoneInsideLoop = false;
    outer.nested = [&] {
        inner.askDeletion = true;
        app.UpdateApp(); // one nested step, in which inner asks for its deletion
        innerGoneInsideLoop = inner.destroyed;
    };
    app.widgetManager->AddWidget(new SelfDeleting(&outer));
    app.widgetManager->AddWidget(new SelfDeleting(&inner));
    app.RunUntil(200);

    EXPECT_TRUE(innerGoneInsideLoop);
    EXPECT_TRUE(outer.aliveAfterNestedLoop);
    EXPECT_TRUE(outer.destroyed);
    EXPECT_TRUE(app.widgetManager->children.empty());
}

TEST_F(MainLoop, AWidgetHandedOverTwiceIsDeletedOnce)
{
    Life life;
    auto* widget = new SelfDeleting(&life);
    app.SafeDeleteWidget(widget);
    app.SafeDeleteWidget(widget);
    app.ProcessSafeDeleteWidgets();
    EXPECT_TRUE(life.destroyed);
}

} // namespace
