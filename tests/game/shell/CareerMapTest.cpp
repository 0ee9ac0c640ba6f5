#include "game/shell/TCBoard_Career.h"

#include "ShippedGame.h"
#include "game/shell/ShellControls.h"
#include "game/sim/TCLevelGoals.h"

namespace {

using fixtures::Game;
using CareerMap = fixtures::ShippedContent;

TCCandyWidget& Control(TCBoard_Career& career, const std::string& name)
{
    TCCandyWidget* control = FindBelow(&career, name);
    if (!control)
        throw std::runtime_error("the career map has no " + name);
    return *control;
}

// The current player, new, with the career reached that far.
TCPlayerProfile& NewPlayer(int highest)
{
    EXPECT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    TCPlayerProfile& profile = TheProfileStore().CurrentProfile();
    profile.highestLevel = highest;
    return profile;
}

std::vector<uint8_t> Bytes(const TCPlayerProfile& profile)
{
    std::vector<uint8_t> bytes(pref::kRecordSize);
    EncodeProfile(profile, std::span<uint8_t, pref::kRecordSize>(bytes.data(), pref::kRecordSize));
    return bytes;
}

std::string DayName(const char* kind, int day)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s_%02d", kind, day);
    return name;
}

TEST(CareerMapLayout, TheDayMarkCentresOverItsButtonSlightlyUpAndLeft)
{
    const Nubra::Point at = TCBoard_Career::DayMarkPosition({100, 200, 40, 30}, 20, 20);
    EXPECT_EQ(at.x, 100 - 10 + 20 - 2);
    EXPECT_EQ(at.y, 200 - 10 + 15 - 4);
}

TEST_F(CareerMap, ResultsMoveTheCareerOnlyForWonLevelsAndOpenTheNextCafe)
{
    struct Case {
        const char* what;
        int highest, level, result, money;
        int highestAfter, bestAfter;
        bool expertAfter, cafe2Open;
    };
    // Every case starts with a best of 100 on the level played.
    const Case cases[] = {
        {"the newest level of cafe 1 won", 15, 15, 1, 500, 16, 500, false, true},
        {"an older level won unlocks nothing", 20, 15, 1, 500, 20, 500, false, true},
        {"expert without a new best", 3, 3, 0, 50, 4, 100, true, false},
        {"goal missed", 3, 3, 2, 900, 3, 100, false, false},
        {"VIP lost", 3, 3, 3, 900, 3, 100, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Game game;
        TCPlayerProfile& profile = NewPlayer(c.highest);
        profile.bestScore[size_t(c.level)] = 100;
        TCBoard_Career& career = *game.GetCareer();
        career.SetLevelSource([](int) { return true; });
        const TCPlayerProfile before = profile;

        career.SetLevelResult(c.money, c.result, c.level);
        EXPECT_EQ(profile.highestLevel, c.highestAfter);
        EXPECT_EQ(profile.bestScore[size_t(c.level)], c.bestAfter);
        EXPECT_EQ(profile.expert[size_t(c.level)] != 0, c.expertAfter);
        EXPECT_EQ(!Control(career, "cafe2_button").disabled, c.cafe2Open);
        EXPECT_EQ(game.GetTextVar("debrief_money"), std::to_wstring(c.money));
        if (c.result >= 2) {
            EXPECT_EQ(Bytes(profile), Bytes(before)) << "the record is untouched";
        }
    }
}

TEST_F(CareerMap, RefusesLevelsOutsideTheCareerAndTakesTheAwardsOfTheDay)
{
    Game game;
    TCPlayerProfile& profile = NewPlayer(5);
    profile.bestScore[3] = 100;
    TCBoard_Career& career = *game.GetCareer();
    const TCPlayerProfile before = profile;
    for (int level : {0, 60, 99})
        career.SetLevelResult(1000, 1, level);
    EXPECT_EQ(Bytes(profile), Bytes(before));

    LevelGoals().Start(); // both flags of a clean day hold
    LevelGoals().ClearWorkerFlag();
    career.SetLevelResult(50, 1, 3);
    EXPECT_EQ(profile.bestScore[3], 100) << "less than the best";
    EXPECT_EQ(profile.achievements[3][TCLevelGoals::kHappyClients], 1) << "awards still count";
    EXPECT_EQ(profile.achievements[3][TCLevelGoals::kCleanWorkers], 0);
}

TEST_F(CareerMap, AWonDayOpensTheNextDayThatTheContentHas)
{
    Game game;
    TCPlayerProfile& profile = NewPlayer(3);
    TCBoard_Career& career = *game.GetCareer();
    career.SetLevelSource([](int level) { return level <= 3 || level == 16 || level == 36; });

    career.SetLevelResult(500, 1, 3);
    EXPECT_EQ(profile.highestLevel, 16) << "days 4-15 are not in the content";
    EXPECT_FALSE(Control(career, "cafe2_button").disabled);
    EXPECT_EQ(career.NextPlayableLevel(3), 16);
    EXPECT_EQ(career.NextPlayableLevel(36), 0) << "the content ends there";
    career.SetLevelResult(500, 1, 36);
    EXPECT_EQ(profile.highestLevel, 16) << "an unopened day won by a developer's jump changes nothing";
}

TEST_F(CareerMap, ThePageShowsTheCafesDaysTheirBadgesAndMarksTheChosenOne)
{
    Game game;
    TCPlayerProfile& profile = NewPlayer(4);
    profile.bestScore[1] = 50;
    profile.bestScore[2] = 100;
    profile.expert[2] = 1;
    profile.achievements[2][0] = 1;
    TCBoard_Career& career = *game.GetCareer();
    career.SetLevelSource([](int) { return true; });
    game.GetMainMenu()->TurnToPage(&career, false, TCBoard_MainMenu::kTurnToCareer);
    ASSERT_TRUE(career.visible);
    EXPECT_EQ(career.GetSelectedLevel(), 4) << "the newest day first";

    struct Day {
        int day;
        bool shown, enabled, goal, expert;
    } days[] = {{1, true, true, true, false}, {2, true, true, false, true},   {3, true, true, false, false},
                {4, true, true, false, false}, {5, true, false, false, false}, {15, true, false, false, false},
                {16, false, false, false, false}};
    for (const Day& d : days) {
        SCOPED_TRACE(d.day);
        const TCCandyWidget& button = Control(career, DayName("day_button", d.day));
        EXPECT_EQ(button.visible, d.shown);
        EXPECT_EQ(Control(career, DayName("day_text", d.day)).visible, d.shown);
        if (d.shown) {
            EXPECT_EQ(!button.disabled, d.enabled);
        }
        EXPECT_EQ(Control(career, DayName("goal", d.day)).visible, d.goal);
        EXPECT_EQ(Control(career, DayName("expert", d.day)).visible, d.expert);
    }
    TCCandyWidget& mark = Control(career, "day_mark");
    const TCCandyWidget& fourth = Control(career, "day_button_04");
    const Nubra::Point at = TCBoard_Career::DayMarkPosition({fourth.x, fourth.y, fourth.width, fourth.height},
                                                            mark.width, mark.height);
    EXPECT_TRUE(mark.visible);
    EXPECT_EQ(mark.x, at.x);
    EXPECT_EQ(mark.y, at.y);
    EXPECT_EQ(game.GetTextVar("brief_debrief"), game.GetLocalization().GetText("breif_qq")) << "not won yet";

    game.ClickOn(&Control(career, "day_button_02"));
    EXPECT_EQ(career.GetSelectedLevel(), 2);
    EXPECT_EQ(game.GetTextVar("level_score"), L"100");
    EXPECT_EQ(game.GetTextVar("brief_debrief"), game.GetLocalization().GetText("breif_l2"));
    EXPECT_TRUE(Control(career, "achiev_flash_active").visible);
    EXPECT_FALSE(Control(career, "achiev_clean_active").visible);

    game.ClickOn(&Control(career, "back_button"));
    EXPECT_FALSE(career.visible);
    EXPECT_TRUE(game.GetMainMenu()->GetMainPage()->visible);
}

TEST_F(CareerMap, TheDayAfterTheLastOfTheCareerIsNone)
{
    Game game;
    NewPlayer(60);
    TCBoard_Career& career = *game.GetCareer();
    career.SetLevelSource([](int) { return true; });
    game.GetMainMenu()->TurnToPage(&career, false, TCBoard_MainMenu::kTurnToCareer);
    EXPECT_EQ(career.GetSelectedLevel(), 59) << "a complete career shows its last day";
    struct Case {
        int day, next;
    } cases[] = {{23, 59}, {24, 0}};
    for (const Case& c : cases) {
        game.ClickOn(&Control(career, "cafe3_button"));
        game.ClickOn(&Control(career, DayName("day_button", c.day)));
        ASSERT_EQ(career.GetSelectedLevel(), 35 + c.day);
        career.SelectNextDay();
        EXPECT_EQ(career.GetSelectedLevel(), c.next) << c.day;
    }
}

} // namespace
