#include "engine/core/GameClock.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class GameClock : public ::testing::Test {
protected:
    void SetUp() override { ResetGameClock(); }
    void TearDown() override
    {
        SetTutorialGate(nullptr);
        gFrameTime = 0.0f;
        ResetGameClock();
    }
    static void Steps(int count, float frame)
    {
        gFrameTime = frame;
        for (int i = 0; i < count; ++i)
            AdvanceGameClock();
    }
};

TEST_F(GameClock, PausedStepsMoveNeitherClockNorDeadlines)
{
    TCTimeout timeout(true);
    SetTutorialGate([](int) { return true; });
    timeout.Set(1.0f);
    Steps(50, 0.0f);
    EXPECT_EQ(gGameClock, 0.0f);
    EXPECT_EQ(timeout.Remaining(), 1.0f);
}

TEST_F(GameClock, PendingIsStrictlyBeforeTheDeadline)
{
    TCTimeout timeout;
    EXPECT_FALSE(timeout.IsPending()) << "a never-set timeout";
    timeout.Set(0.0f);
    EXPECT_FALSE(timeout.IsPending());
    timeout.Set(0.5f);
    Steps(2, 0.25f);
    EXPECT_FALSE(timeout.IsPending()) << "clock equal to the deadline";
}

TEST_F(GameClock, ExtendRevivesOnlyPastTheClock)
{
    TCTimeout timeout;
    timeout.Set(0.5f);
    Steps(100, 0.01f); // clock ~1.0, deadline 0.5
    timeout.Extend(0.25f);
    EXPECT_FALSE(timeout.IsPending());
    timeout.Extend(0.5f);
    EXPECT_TRUE(timeout.IsPending());
}

TEST_F(GameClock, ForbiddenGameHoldsOnlyHeldTimeouts)
{
    int asked = -1;
    SetTutorialGate([&](int action) {
        asked = action;
        return true;
    });
    TCTimeout held(true), unheld(false);
    held.Set(3.0f);
    unheld.Set(3.0f);
    Steps(299, 0.01f);
    EXPECT_TRUE(unheld.IsPending());
    Steps(2, 0.01f);
    EXPECT_FALSE(unheld.IsPending());
    Steps(1000, 0.01f);
    EXPECT_TRUE(held.IsPending());
    EXPECT_NEAR(held.Remaining(), 3.0f, 1e-3f);
    EXPECT_EQ(asked, 7);

    SetTutorialGate([](int) { return false; });
    Steps(301, 0.01f);
    EXPECT_FALSE(held.IsPending());
}

TEST_F(GameClock, ALongRunOfStepsEndsAtTheirExactSumAndTheDeadlinesWithIt)
{
    TCTimeout lastMinute;
    lastMinute.Set(7140.0f);
    Steps(714000, 0.01f);
    EXPECT_EQ(gGameClock, 7140.0);
    EXPECT_FALSE(lastMinute.IsPending()) << "due on the step that reaches it, not a few late";
    lastMinute.Set(60.0f);
    Steps(5999, 0.01f);
    EXPECT_TRUE(lastMinute.IsPending());
    Steps(1, 0.01f);
    EXPECT_EQ(gGameClock, 7200.0);
    EXPECT_FALSE(lastMinute.IsPending());
}

TEST_F(GameClock, ResetCancelsEveryLiveTimeoutAfterRemovalsInTheMiddle)
{
    TCTimeout first(true), last(true);
    auto middle = std::make_unique<TCTimeout>(true);
    TCTimeout copy(*middle);
    for (TCTimeout* t : {&first, middle.get(), &last, &copy})
        t->Set(5.0f);
    middle.reset();

    SetTutorialGate([](int) { return true; });
    Steps(10, 0.01f);
    for (TCTimeout* t : {&first, &last, &copy})
        EXPECT_NEAR(t->Remaining(), 5.0f, 1e-4f) << "still held, so still registered";

    ResetGameClock();
    EXPECT_EQ(gGameClock, 0.0f);
    for (TCTimeout* t : {&first, &last, &copy}) {
        EXPECT_EQ(t->Remaining(), 0.0f);
        EXPECT_FALSE(t->IsPending());
    }
}

} // namespace
