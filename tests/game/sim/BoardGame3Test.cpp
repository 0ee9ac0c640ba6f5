#include <gtest/gtest.h>

#include <algorithm>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCClient.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCMoveItem.h"
#include "game/sim/TCZOrderSolver.h"

namespace simtest {
namespace {

constexpr const char* kConfig = R"(<root><perses><pers name="boss" move_speed="40"/></perses></root>)";

// A counter and a wall in the scene, the boss's floor graph between them; the level lists both
// and the boss, and leaves the scene's shelf out.
constexpr const char* kScene = R"(<root><objects>
  <object class="pickable" name="counter"><part name="top" order0_x="100" order0_y="300" order1_x="150"
      order1_y="300" order2_x="200" order2_y="300"/></object>
  <object class="item" name="wall"><part name="bricks" order0_x="0" order0_y="100" order1_x="100"
      order1_y="100" order2_x="200" order2_y="100"/></object>
  <object class="item" name="shelf"><part name="board"/></object>
</objects>
<graphs><graph name="boss"><points><point name="door" x="10" y="500"/><point name="till" x="150" y="320"/></points>
  <edges><edge p1="door" p2="till"/></edges></graph></graphs></root>)";

constexpr const char* kLevel = R"(<level doc="cfg\scene01.xml"><objects>
  <object name="counter"/><object name="wall"/><object name="boss"/></objects></level>)";

class BoardGame3Test : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        WriteText("cfg/cfg.xml", kConfig);
        WriteText("cfg/scene01.xml", kScene);
        WriteText("cfg/l001.xml", kLevel);
    }
    void TearDown() override
    {
        board_.Shutdown();
        ItemWorld::TearDown();
    }

    std::vector<std::string> ItemNames() const
    {
        std::vector<std::string> names;
        for (const auto& item : GetItemList().GetItems())
            names.push_back(item->GetName() + (item->IsActive() ? "+" : "-"));
        return names;
    }

    TCHeadlessBoardHost host_;
    TCBoard_Game3 board_{host_};
};

TEST_F(BoardGame3Test, ALevelLoadsHeadlessWithItsObjectsDepthOrderAndABoundWalker)
{
    // The walker stands in the list before the scene's objects, as the boss will once it has a class.
    auto* boss = static_cast<TCMoveItem*>(GetItemList().Add(std::make_unique<TCMoveItem>()));
    pugi::xml_document node;
    ASSERT_TRUE(node.load_string("<object name='boss' start_point='door'/>"));
    boss->LoadFromXml(node.first_child());

    ASSERT_TRUE(board_.LoadBoardConfig());
    board_.StartLevelLoad(1, false);

    EXPECT_TRUE(board_.IsRunning());
    EXPECT_EQ(ItemNames(), (std::vector<std::string>{"boss+", "counter+", "wall+", "shelf-"}));

    auto* solver = dynamic_cast<TCZOrderSolver*>(board_.GetZOrder());
    ASSERT_NE(solver, nullptr);
    solver->Rebuild();
    std::vector<std::string> order;
    for (const TCItemPart* part : solver->GetPartOrder())
        order.push_back(part->GetOwner().GetName() + ":" + part->GetName());
    EXPECT_LT(std::find(order.begin(), order.end(), "wall:bricks"), std::find(order.begin(), order.end(), "counter:top"))
        << "the wall's line lies above the counter's";

    ASSERT_NE(boss->GetPerson(), nullptr);
    EXPECT_FLOAT_EQ(boss->GetMoveSpeed(), 40.0f);
    EXPECT_EQ(boss->GetCurrentPoint(), "door");
    EXPECT_TRUE(boss->WalkTo("till")) << "the walker has the level's graph and a speed";
}

TEST_F(BoardGame3Test, ClientsComeInByTheConfigurationAndTheLevelsOverrides)
{
    WriteText("cfg/cfg.xml", R"(<root><clients><client name="girl" client_money01_r="7"/></clients>
        <level client_pause="0.5"/></root>)");
    WriteText("cfg/scene02.xml", R"(<root><objects><object class="client" name="client01"/>
        <object class="item" name="client_place01"/></objects></root>)");
    WriteText("cfg/l002.xml", R"(<level doc="cfg\scene02.xml">
        <objects><object name="client01"/><object name="client_place01"/></objects>
        <override_clients><client name="girl" client_start_stamina="70"/></override_clients>
        <events_queue><time_point time="0" type="family" person1="girl"/>
          <time_point time="0" type="client" person1="girl"><param name="0100"/></time_point></events_queue>
        </level>)");
    ASSERT_TRUE(board_.LoadBoardConfig());
    board_.SetShown(true);
    board_.StartLevelLoad(2, false);
    board_.Update();

    TCClient* client = FindClientByName("client01");
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->GetState(), TCClient::kWaiting);
    EXPECT_FLOAT_EQ(client->GetPatience(), 70.0f);
    EXPECT_FLOAT_EQ(board_.GetClientPause(), 0.5f);
    EXPECT_TRUE(board_.GetEventQueue().IsExhausted()) << "the family had no table to sit at";
    EXPECT_NE(log_.Text().find("ERROR: Arrival of type 'family' at 0.00 s dropped"), std::string::npos);

    board_.StartLevelLoad(1, false);
    EXPECT_FALSE(FindClientSkin("girl")->overridden) << "a level's overrides end with it";
}

TEST_F(BoardGame3Test, WithoutAConfigurationFileTheBoardSaysSo)
{
    std::filesystem::remove("cfg/cfg.xml");
    EXPECT_FALSE(board_.LoadBoardConfig());
    EXPECT_NE(log_.Text().find("ERROR: Cannot open cfg\\cfg.xml"), std::string::npos);
}

} // namespace
} // namespace simtest
