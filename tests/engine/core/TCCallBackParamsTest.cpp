#include "engine/core/TCCallBackParams.h"

#include <gtest/gtest.h>

namespace {

TEST(TCCallBackParams, ValuesArriveInTheTypeAskedAndAbsentOnesKeepTheDefault)
{
    TCCallBackParams params;
    params.SetInt("count", 3);
    params.SetFloat("from", 0.5f);
    params.SetBool("loop", true);
    params.SetFloat("count", 2.75f); // replaces, with a new type

    float count = 0.0f, from = 0.0f;
    int truncated = 0;
    bool loop = false;
    EXPECT_TRUE(params.GetParam("count", count));
    EXPECT_TRUE(params.GetParam("count", truncated));
    EXPECT_TRUE(params.GetParam("from", from));
    EXPECT_TRUE(params.GetParam("loop", loop));
    EXPECT_EQ(count, 2.75f);
    EXPECT_EQ(truncated, 2);
    EXPECT_EQ(from, 0.5f);
    EXPECT_TRUE(loop);

    float missing = 1.0f;
    EXPECT_FALSE(params.GetParam("to", missing));
    EXPECT_EQ(missing, 1.0f);
}

} // namespace
