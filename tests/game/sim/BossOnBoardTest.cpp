#include <gtest/gtest.h>

#include <cstdlib>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCBoss.h"
#include "game/sim/TCPeriodItem.h"

namespace simtest {
namespace {

constexpr const char* kConfig = R"(<root><perses><pers name="boss" move_speed="100" speed_add_upgrade="30"
    speed_add_bonus="20" bonus_speed_time3="5" bonus_speed_time4="8"/></perses>
  <period_items><period_item name="colamachine" timeout_min="0.5" timeout_max="0.5"/></period_items></root>)";

// The boss at the door, the cola machine 50 pixels away.
constexpr const char* kScene = R"(<root><objects>
  <object class="boss" name="boss" start_point="door"/>
  <object class="period_item" name="colamachine" thing="0200" rgn="0 0 10 0 10 10 0 10"/>
</objects>
<graphs><graph name="boss"><points><point name="door" x="0" y="0"/><point name="colamachine" x="50" y="0"/></points>
  <edges><edge p1="door" p2="colamachine"/></edges></graph></graphs></root>)";

constexpr const char* kLevel = R"(<level doc="cfg\scene01.xml" override_boss_speed="%s"><objects>
  <object name="boss"/><object name="colamachine"/></objects></level>)";

class BossOnBoard : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        WriteText("cfg/cfg.xml", kConfig);
        WriteText("cfg/scene01.xml", kScene);
        WriteLevel(2, "50");
        ASSERT_TRUE(board_.LoadBoardConfig());
        board_.SetShown(true);
    }
    void TearDown() override
    {
        board_.Shutdown();
        ItemWorld::TearDown();
    }
    static void WriteLevel(int number, const std::string& bossSpeed)
    {
        std::string text = kLevel;
        text.replace(text.find("%s"), 2, bossSpeed);
        if (bossSpeed.empty())
            text.replace(text.find(" override_boss_speed=\"\""), 23, "");
        WriteText("cfg/l00" + std::to_string(number) + ".xml", text);
    }
    TCBoss* Boss() const { return dynamic_cast<TCBoss*>(GetItemList().GetBoss()); }

    TCHeadlessBoardHost host_;
    TCBoard_Game3 board_{host_};
};

TEST_F(BossOnBoard, AClickedMachineIsWalkedToAndItsThingTakenAtTheLevelsSpeed)
{
    board_.StartLevelLoad(2, false);
    ASSERT_NE(Boss(), nullptr);
    EXPECT_FLOAT_EQ(Boss()->GetMoveSpeed(), 50.0f) << "the level's own speed";
    auto* cola = static_cast<TCPeriodItem*>(FindItemByName("colamachine"));
    for (int i = 0; i < 51; ++i)
        board_.Update();
    ASSERT_EQ(cola->GetState(), TCPeriodItem::kReady);

    board_.ClickItem(*cola);
    int steps = 0;
    while (Boss()->GetHandItem(TCBoss::kPrimary).empty() && steps < 1000) {
        board_.Update();
        ++steps;
    }
    EXPECT_EQ(Boss()->GetHandItem(TCBoss::kPrimary), "0200");
    EXPECT_NEAR(steps, 101, 2) << "50 pixels at 50 a second, then the trade";

    // The mini-game's speed bonus: a 3-chain, then a 4-chain while it runs.
    board_.ApplyMiniGameBonus(3, 1);
    EXPECT_FLOAT_EQ(Boss()->GetSpeedBonusLeft(), 5.0f);
    EXPECT_FLOAT_EQ(Boss()->GetMoveSpeed(), 70.0f);
    board_.ApplyMiniGameBonus(3, 2);
    EXPECT_FLOAT_EQ(Boss()->GetSpeedBonusLeft(), 8.0f);

    WriteLevel(3, "");
    board_.StartLevelLoad(3, false);
    EXPECT_FLOAT_EQ(Boss()->GetMoveSpeed(), 100.0f) << "the next level walks at the person's speed";
}

// Losing the display ends the game through exit() with a level still on the board: the objects
// must not outlive the registries their destructors leave.
TEST_F(BossOnBoard, AnExitWithTheLevelStillOnTheBoardEndsCleanly)
{
    EXPECT_EXIT(
        {
            board_.StartLevelLoad(2, false);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace simtest
