#include "engine/core/EngineHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/CRand.h"

namespace {

TEST(EngineHelpers, RandomIntExcludesTheUpperBoundExceptForASpanOfOne)
{
    plat::CSRand(7);
    std::set<int> pair, wide;
    for (int i = 0; i < 1000; ++i) {
        pair.insert(RandomInt(3, 4));
        wide.insert(RandomInt(3, 6));
    }
    EXPECT_EQ(pair, (std::set<int>{3, 4}));
    EXPECT_EQ(wide, (std::set<int>{3, 4, 5}));
    EXPECT_EQ(RandomInt(5, 5), 5);
    EXPECT_EQ(RandomInt(6, 3), 6);
}

TEST(EngineHelpers, RandomFloatStaysWithinItsBounds)
{
    plat::CSRand(11);
    float low = 3, high = 2;
    for (int i = 0; i < 10000; ++i) {
        float value = RandomFloat(2, 3);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    EXPECT_GE(low, 2.0f);
    EXPECT_LE(high, 3.0f);
    EXPECT_LT(low, 2.01f);
    EXPECT_GT(high, 2.99f);
}

TEST(EngineHelpers, RandomDrawsRepeatForTheSameSeed)
{
    plat::CSRand(42);
    const int first = RandomInt(0, 1000);
    const float second = RandomFloat(0, 1);
    plat::CSRand(42);
    EXPECT_EQ(RandomInt(0, 1000), first);
    EXPECT_EQ(RandomFloat(0, 1), second);
}

TEST(EngineHelpers, LinesMeetInScreenCoordinates)
{
    Nubra::Point point;
    // Rising from the origin and falling from (10, 0), they meet 5 above the axis: y = -5 on screen.
    ASSERT_TRUE(LineIntersection(0, 0, 45, 10, 0, 135, point));
    EXPECT_EQ(point, Nubra::Point(5, -5));
    ASSERT_TRUE(LineIntersection(0, 100, 0, 50, 0, -45, point));
    EXPECT_EQ(point, Nubra::Point(150, 100));
    point = {1, 1};
    EXPECT_FALSE(LineIntersection(0, 0, 30, 5, 5, 30, point));
    EXPECT_EQ(point, Nubra::Point(1, 1));
}

TEST(EngineHelpers, PairIdsAreOrderedOnlyWhenTheyAreFourDigitPairs)
{
    struct Case {
        const char* text;
        bool descending;
        const char* expected;
    };
    for (const Case& c : {Case{"0201", false, "0102"}, Case{"0102", false, "0102"}, Case{"0102", true, "0201"},
                          Case{"0100", false, "0100"}, Case{"123", false, "123"}, Case{"12a4", false, "12a4"},
                          Case{"", true, ""}})
        EXPECT_EQ(OrderPairId(c.text, c.descending), c.expected) << c.text;
}

} // namespace
