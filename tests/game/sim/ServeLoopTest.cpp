#include <gtest/gtest.h>

#include <algorithm>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCBoss.h"
#include "game/sim/TCClient.h"

namespace simtest {
namespace {

// A girl who loses a point of patience a second and thinks for a second; the boss at 200 px/s;
// a cola machine that is ready half a second after the start.
constexpr const char* kConfig = R"(<root><perses><pers name="boss" move_speed="200"/></perses>
  <clients patience_g_level="60" patience_y_level="30" patience_r_level="10">
  <client name="girl" client_patience_speed="1" client_decision_timeout="1" client_money01_g="30"
      client_money01_y="20" client_money01_r="10" client_losses_money="15" client_bonus_timeout="4"/></clients>
  <period_items><period_item name="colamachine" timeout_min="0.5" timeout_max="0.5"/></period_items></root>)";

// The door, the girl's place 100 px away and the machine 100 px beyond it.
constexpr const char* kScene = R"(<root><objects>
  <object class="boss" name="boss" start_point="door"/>
  <object class="client" name="client01"/>
  <object class="pickable" name="client_place01"/>
  <object class="period_item" name="colamachine" thing="0200"/>
</objects>
<graphs><graph name="boss"><points><point name="door" x="0" y="0"/><point name="client_place01" x="100" y="0"/>
  <point name="colamachine" x="100" y="100"/></points>
  <edges><edge p1="door" p2="client_place01"/><edge p1="client_place01" p2="colamachine"/></edges></graph></graphs></root>)";

constexpr const char* kLevel = R"(<level doc="cfg\scene01.xml"><objects><object name="boss"/><object name="client01"/>
  <object name="client_place01"/><object name="colamachine"/></objects><params normal="30" expert="50"/>
  <events_queue><time_point time="0" type="client" person1="girl"><param name="0200"/></time_point></events_queue>
</level>)";

class ServeLoop : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        WriteText("cfg/cfg.xml", kConfig);
        WriteText("cfg/scene01.xml", kScene);
        // Past the first day, whose lessons hold the game back.
        WriteText("cfg/l002.xml", kLevel);
        ASSERT_TRUE(board_.LoadBoardConfig());
        board_.SetShown(true);
    }
    void TearDown() override
    {
        board_.Shutdown();
        ItemWorld::TearDown();
    }
    // Steps until the condition holds; false when it never does within the limit.
    template <class Condition>
    bool RunUntil(Condition done, int limit = 1000)
    {
        for (int step = 0; step < limit && !done(); ++step)
            board_.Update();
        return done();
    }
    void Click(const std::string& name) { board_.ClickItem(*FindItemByName(name)); }

    Trace trace_;
    RecordingHost host_{trace_};
    TCBoard_Game3 board_{host_};
};

TEST_F(ServeLoop, TheBossTakesTheGirlsOrderFetchesAColaAndSheLeavesPaying)
{
    board_.StartLevelLoad(2, false);
    auto* girl = dynamic_cast<TCClient*>(FindItemByName("client01"));
    auto* boss = dynamic_cast<TCBoss*>(GetItemList().GetBoss());
    ASSERT_TRUE(girl && boss);
    ASSERT_TRUE(RunUntil([&] { return girl->IsWaiting(); }));

    Click("client_place01");
    ASSERT_TRUE(RunUntil([&] { return boss->GetTargets().empty() && !boss->IsBusy(); }));
    Click("colamachine");
    ASSERT_TRUE(RunUntil([&] { return boss->GetHandItem(TCIHands::kPrimary) == "0200"; }));
    ASSERT_TRUE(RunUntil([&] { return girl->GetWantedItem() == "0200"; })) << "she has thought it over";
    Click("client_place01");
    ASSERT_TRUE(RunUntil([&] { return board_.GetMoney() != 0; }));

    EXPECT_EQ(board_.GetMoney(), 30) << "still green";
    EXPECT_EQ(boss->GetHandItem(TCIHands::kPrimary), "");
    EXPECT_EQ(std::count(trace_.begin(), trace_.end(), "sound client_positiv"), 1);
    ASSERT_TRUE(RunUntil([&] { return board_.IsFinished(); }, 500));
    EXPECT_EQ(board_.GetResultCode(), TCBoard_Game3::kResultGoal);
}

} // namespace
} // namespace simtest
