#include "platform/CRand.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, MillisecondComparisonSurvivesTheWrap)
{
    EXPECT_TRUE(plat::MsBefore(0xFFFFFFF0u, 5u));
    EXPECT_FALSE(plat::MsBefore(5u, 0xFFFFFFF0u));
    EXPECT_FALSE(plat::MsBefore(7u, 7u));
}

TEST(Clock, SimulatedClockReplacesTheRealOneAndSleepAdvancesIt)
{
    plat::SimulatedClock fake;
    plat::SetClock(&fake);
    plat::SleepMs(250);
    EXPECT_EQ(plat::NowMs(), 250u);
    EXPECT_EQ(plat::NowNs(), 250000000u);
    plat::SetClock(nullptr);
    uint32_t before = plat::NowMs();
    plat::SleepMs(2);
    EXPECT_GE(plat::NowMs() - before, 2u);
}

TEST(CRand, FollowsTheClassicRecurrenceFromSeedOne)
{
    plat::CSRand(1);
    EXPECT_EQ(plat::CRand(), 41);
    EXPECT_EQ(plat::CRand(), 18467);
    EXPECT_EQ(plat::CRand(), 6334);
    plat::CSRand(1);
    EXPECT_EQ(plat::CRand(), 41);
}
