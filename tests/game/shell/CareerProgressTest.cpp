#include "ProfileStoreFixture.h"
#include "game/shell/CareerProgress.h"

namespace {

using namespace profiletest;

TEST(CareerProgress, LevelsMapToCafesAndDays)
{
    const std::vector<std::array<int, 3>> levelCafeDay = {
        {1, 1, 1}, {15, 1, 15}, {16, 2, 1}, {35, 2, 20}, {36, 3, 1}, {59, 3, 24}, {60, 3, 24}, {0, 1, 1}};
    for (auto [level, cafe, day] : levelCafeDay) {
        TCCafeDay found = CafeDayOfLevel(level);
        EXPECT_EQ(found.cafe, cafe) << level;
        EXPECT_EQ(found.day, day) << level;
        if (level >= 1 && level <= 59) {
            EXPECT_EQ(CafeLevelOffset(cafe) + day, level);
        }
    }
    EXPECT_EQ(NextCareerLevel(15), 16);
    EXPECT_EQ(NextCareerLevel(59), 0) << "the menu follows the last level";
    TCPlayerProfile profile;
    for (auto [highest, current] : std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {17, 17}, {59, 59}, {60, 59}}) {
        profile.highestLevel = highest;
        EXPECT_EQ(CurrentCareerLevel(profile), current) << highest << ": a complete career plays its last level";
    }
}

TEST(CareerProgress, CafesOpenAsTheCareerPassesTheirFirstLevel)
{
    TCPlayerProfile profile;
    EXPECT_TRUE(IsCafeOpen(profile, 1));
    EXPECT_FALSE(IsCafeOpen(profile, 2));
    EXPECT_EQ(OpenSurvivalCafe(profile, 2), 1);
    profile.highestLevel = 16;
    EXPECT_TRUE(IsCafeOpen(profile, 2));
    EXPECT_FALSE(IsCafeOpen(profile, 3));
    EXPECT_EQ(OpenSurvivalCafe(profile, 2), 2);
    EXPECT_EQ(OpenSurvivalCafe(profile, 3), 1);
    profile.highestLevel = 36;
    EXPECT_EQ(OpenSurvivalCafe(profile, 3), 3);
}

TEST_F(ProfileStoreTest, CareerResultsMoveProgressOnlyForWonLevels)
{
    using R = TCLevelResult;
    struct Case {
        const char* what;
        int highest;
        int level;
        R result;
        int32_t money;
        std::array<bool, 5> held;
        int highestAfter;
        int32_t bestAfter;
        bool expertAfter;
        int32_t tableTotal; // the career row of the player, 0 when none
    };
    // Every case starts with best 500 on levels 1..14 and 1000 on the level played.
    const std::vector<Case> cases = {
        {"the newest level won unlocks the next cafe", 15, 15, R::Goal, 1500, {}, 16, 1500, false, 14 * 500 + 1500},
        {"an older level unlocks nothing", 15, 3, R::Goal, 1200, {}, 15, 1200, false, 13 * 500 + 1200},
        {"less than the best: achievements still add", 15, 15, R::Goal, 10, {true, false, true}, 16, 1000, false, 0},
        {"expert without a new best", 15, 15, R::Expert, 10, {}, 16, 1000, true, 0},
        {"goal missed", 15, 15, R::GoalMissed, 5000, {true}, 15, 1000, false, 0},
        {"VIP lost", 15, 15, R::VipLost, 5000, {true}, 15, 1000, false, 0},
        {"the last level completes the career", 59, 59, R::Goal, 2000, {}, 60, 2000, false, 14 * 500 + 2000},
        {"no level 60", 59, 60, R::Goal, 2000, {}, 59, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TCProfileStore store(Path());
        store.CreateProfile(L"Ann");
        TCPlayerProfile& profile = store.CurrentProfile();
        profile.highestLevel = c.highest;
        std::fill(profile.bestScore.begin() + 1, profile.bestScore.begin() + 15, 500);
        if (c.level <= 59)
            profile.bestScore[size_t(c.level)] = 1000;
        profile.achievements[std::min(c.level, 59)][1] = 1;

        const int row = ApplyCareerResult(store, c.money, c.result, c.level, c.held);
        const size_t level = size_t(std::min(c.level, 59));
        EXPECT_EQ(profile.highestLevel, c.highestAfter);
        EXPECT_EQ(profile.expert[level] != 0, c.expertAfter);
        if (c.level <= 59) {
            EXPECT_EQ(profile.bestScore[level], c.bestAfter);
            const bool won = c.result == R::Expert || c.result == R::Goal;
            EXPECT_EQ(profile.achievements[level][0], won && c.held[0]);
            EXPECT_EQ(profile.achievements[level][1], 1) << "never cleared";
            EXPECT_EQ(profile.achievements[level][2], won && c.held[2]);
        }
        const TCHiScoreTable& table = store.GetHiScoreTable(false);
        if (c.tableTotal == 0) {
            EXPECT_EQ(row, 14);
        } else {
            ASSERT_LT(row, 14);
            EXPECT_EQ(NameText(table[size_t(row)].name), L"Ann");
            EXPECT_EQ(table[size_t(row)].score, c.tableTotal);
        }
    }
}

} // namespace
