#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "game/sim/CafeConfig.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCMoveItem.h"

namespace simtest {
namespace {

TCUpgrade Record(int kind, const std::string& object, const std::string& name, int minLevel = 1, int maxLevel = 3)
{
    TCUpgrade record;
    record.kind = kind;
    record.object = object;
    record.name = name;
    record.minLevel = minLevel;
    record.maxLevel = maxLevel;
    return record;
}

TEST(UpgradeBytes, EachOwnableRecordHasItsByteAndNoOtherHasOne)
{
    constexpr int F = TCUpgrade::kFunctional, V = TCUpgrade::kVisual;
    const struct {
        TCUpgrade record;
        int worker;
        int byte;
    } rows[] = {
        {Record(F, "worker1", "tidiness"), 1, 0},   {Record(F, "worker6", "tidiness"), 6, 5},
        {Record(F, "worker1", "speed"), 1, 6},      {Record(F, "worker6", "speed"), 6, 11},
        {Record(F, "boss", "speed"), 0, 12},        {Record(F, "bonus", "money"), 0, 13},
        {Record(V, "floor", "x", 1), 0, 14},        {Record(V, "client_table", "x", 1), 0, 18},
        {Record(V, "floor", "x", 2), 0, 19},        {Record(V, "bar", "x", 2), 0, 21},
        {Record(V, "client_table", "x", 3), 0, 28},
        // Out of range: none would alias another upgrade's byte or write past the last.
        {Record(F, "worker7", "tidiness"), 7, -1},  {Record(F, "worker7", "speed"), 7, -1},
        {Record(F, "ghost", "speed"), 0, -1},       {Record(F, "boss", "money"), 0, -1},
        {Record(F, "worker1", "colour"), 1, -1},    {Record(V, "floor", "x", 0), 0, -1},
        {Record(V, "decor", "x", 4), 0, -1},        {Record(V, "roof", "x", 1), 0, -1},
        {Record(0, "boss", "speed"), 0, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(UpgradeByteIndex(row.record, row.worker), row.byte)
            << row.record.kind << " " << row.record.object << " " << row.record.name << " " << row.record.minLevel;
}

TEST(CafeOfLevel, CareerLevelsFallIntoTheirCafes)
{
    const struct {
        int level;
        bool survival;
        int cafe;
    } rows[] = {{1, false, 1},  {15, false, 1}, {16, false, 2},  {35, false, 2},  {36, false, 3}, {59, false, 3},
                {60, false, 3}, {150, false, 1}, {250, false, 2}, {300, false, 3}, {2, true, 2}};
    for (const auto& row : rows)
        EXPECT_EQ(CafeOfLevel(row.level, row.survival), row.cafe) << row.level << " " << row.survival;
}

TEST(EventSkins, AStandingGuestNeedsTwentyEightTexturesAndAFamilyMemberForty)
{
    const std::vector<std::string> client = EventSkinTextureIds("client", "c1");
    const std::vector<std::string> family = EventSkinTextureIds("family", "f2");
    EXPECT_EQ(client.size(), 28u);
    EXPECT_EQ(family.size(), 40u);
    EXPECT_EQ(client.front(), "tex\\client_stand_downc1tldirect_green");
    EXPECT_NE(std::find(client.begin(), client.end(), "tex\\client_stand_headc1tlidle_yellow02"), client.end());
    EXPECT_NE(std::find(family.begin(), family.end(), "tex\\client_sitting_upf2tlscandal"), family.end());
    EXPECT_EQ(family.back(), "tex\\client_sitting_headf2tlscandal02");
    EXPECT_TRUE(EventSkinTextureIds("boss", "b").empty());
}

// An object that notes the skins and events an upgrade gives it.
class UpgradeTarget : public TCItem {
public:
    UpgradeTarget(Trace& trace, const std::string& name) : trace_(trace) { name_ = name; }
    void ApplyUpgrade(const std::string& skin) override { trace_.push_back(name_ + " skin '" + skin + "'"); }
    void RunEvent(const char* event) override { trace_.push_back(name_ + " " + event); }

private:
    Trace& trace_;
};

// The workers' table as the board finds it: worker<n> has index n and the item of that name.
class UpgradeBoard : public TCBoard_Game3 {
public:
    using TCBoard_Game3::TCBoard_Game3;
    std::optional<UpgradeWorker> FindUpgradeWorker(const std::string& name) const override
    {
        const auto found = workers.find(name);
        if (found == workers.end())
            return std::nullopt;
        return UpgradeWorker{found->second, FindItemByName(name)};
    }
    std::map<std::string, int> workers;
};

constexpr const char* kConfig = R"(<root>
  <perses><pers name="boss" move_speed="40"/></perses>
  <level valBonusCoin3="30" valBonusCoin4Upgrade="80" bonus_iceagetimeout="4.5" client_pause="1.25"/>
  <upgrade>
    <functional name="tidiness" object="worker1" min_level="1" max_level="3"/>
    <functional name="speed" object="worker2" min_level="1" max_level="3"/>
    <functional name="speed" object="boss" min_level="1" max_level="3"/>
    <functional name="money" object="bonus" min_level="1" max_level="1"/>
    <functional name="tidiness" object="worker9" min_level="1" max_level="3"/>
    <visual name="floor2" object="floor" min_level="2" max_level="3"><object name="tiles"/></visual>
    <visual name="floor1" object="floor" min_level="1" max_level="3"><object name="tiles"/><object name="rug"/></visual>
    <visual name="bar1" object="bar" min_level="1" max_level="1"><object name="counter"/></visual>
  </upgrade>
</root>)";

// A board configured from kConfig in a scratch folder, with a career level of cafe 1 loaded.
class CafeConfigTest : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        WriteText("cfg/cfg.xml", kConfig);
        WriteText("cfg/scene.xml", "<root/>");
        board_.workers = {{"worker1", 1}, {"worker2", 2}, {"worker9", 9}};
        ASSERT_TRUE(board_.LoadBoardConfig());
    }
    void TearDown() override
    {
        board_.Shutdown();
        ItemWorld::TearDown();
    }
    void LoadLevel(int level, const std::string& inside = "", const std::string& attributes = "",
                   bool survival = false)
    {
        WriteText(std::string(survival ? "cfg/e" : "cfg/l") + (level < 10 ? "00" : "0") + std::to_string(level) + ".xml",
                  "<level doc='cfg/scene.xml' " + attributes + ">" + inside + "</level>");
        board_.StartLevelLoad(level, survival);
    }
    UpgradeTarget* AddTarget(const std::string& name)
    {
        return static_cast<UpgradeTarget*>(GetItemList().Add(std::make_unique<UpgradeTarget>(trace_, name)));
    }
    std::vector<std::string> Offered()
    {
        std::vector<TCUpgrade*> offered;
        const int count = board_.GetOfferedUpgrades(offered);
        EXPECT_EQ(count, int(offered.size()));
        std::vector<std::string> names;
        for (const TCUpgrade* record : offered)
            names.push_back(record->object + "." + record->name);
        return names;
    }

    Trace trace_;
    TCHeadlessBoardHost host_;
    UpgradeBoard board_{host_};
};

using Names = std::vector<std::string>;

TEST_F(CafeConfigTest, TheConfigurationGivesTheLevelParametersAndBothUpgradeListsInFileOrder)
{
    EXPECT_EQ(gLevelParams.valBonusCoin3, 30);
    EXPECT_EQ(gLevelParams.valBonusCoin4, 0) << "a missing value is 0";
    EXPECT_EQ(gLevelParams.valBonusCoin4Upgrade, 80);
    EXPECT_FLOAT_EQ(gLevelParams.bonusIceAgeTimeout, 4.5f);
    EXPECT_FLOAT_EQ(gLevelParams.clientPause, 1.25f);
    ASSERT_EQ(board_.GetUpgrades(TCUpgrade::kFunctional).size(), 5u);
    const std::vector<TCUpgrade>& visual = board_.GetUpgrades(TCUpgrade::kVisual);
    ASSERT_EQ(visual.size(), 3u);
    EXPECT_EQ(visual[1].items, (Names{"tiles", "rug"}));
    EXPECT_EQ(visual[1].kind, TCUpgrade::kVisual);
    EXPECT_NE(log_.Text().find("WARNING: Upgrade 'tidiness' of 'worker9' can never be owned"), std::string::npos);
}

TEST_F(CafeConfigTest, TheShopOffersUnownedUpgradesOfTheCafeForPresentWorkers)
{
    LoadLevel(1, "", "upgrade='func'");
    AddTarget("worker1")->SetEffectVisible(true);
    AddTarget("worker2"); // in the level, but not shown
    EXPECT_EQ(Offered(), (Names{"worker1.tidiness", "boss.speed", "bonus.money"}))
        << "a hidden worker's and an unownable record are left out";

    board_.ApplyUpgrade(board_.GetUpgrades(TCUpgrade::kFunctional)[2], true);
    EXPECT_EQ(Offered(), (Names{"worker1.tidiness", "bonus.money"})) << "an owned upgrade is not offered again";

    board_.SetUpgradeKind(TCUpgrade::kVisual);
    EXPECT_EQ(Offered(), (Names{"floor.floor1", "bar.bar1"})) << "floor2 belongs to cafes 2 and 3";
}

TEST_F(CafeConfigTest, AtMostSixUpgradesAreOfferedInFileOrder)
{
    std::string visuals;
    for (int i = 1; i <= 9; ++i)
        visuals += "<visual name='v" + std::to_string(i) + "' object='decor' min_level='1' max_level='1'/>";
    WriteText("cfg/cfg.xml", "<root><upgrade>" + visuals + "</upgrade></root>");
    ASSERT_TRUE(board_.LoadBoardConfig());
    LoadLevel(1, "", "upgrade='vis'");
    // All nine share one byte, so owning one would own them all; none is owned here.
    EXPECT_EQ(Offered(), (Names{"decor.v1", "decor.v2", "decor.v3", "decor.v4", "decor.v5", "decor.v6"}));
}

TEST_F(CafeConfigTest, SurvivalOffersThePendingKindsInTurnAndNothingWhenNoneIsPending)
{
    LoadLevel(1, "<stages><stage num='2' upgrade='vis'/><stage num='3' upgrade='other'/><stage num='4' upgrade='func'/></stages>",
              "", true);
    ASSERT_EQ(board_.GetUpgradeStages().size(), 2u) << "a kind other than func or vis is ignored";
    EXPECT_EQ(board_.GetUpgradeStages().back().number, 4);
    board_.GetPendingUpgrades() = {TCUpgrade::kVisual};
    EXPECT_EQ(Offered(), (Names{"floor.floor1", "bar.bar1"}));
    EXPECT_EQ(Offered(), Names{});
    EXPECT_EQ(board_.GetUpgradeKind(), 0);
}

TEST_F(CafeConfigTest, ApplyingAVisualUpgradeReskinsItsItemsAndGoesOnPastAMissingOne)
{
    LoadLevel(1, "<param upgrade_skin='_gold' default_skin='_plain'/>");
    AddTarget("tiles");
    TCUpgrade& floor = board_.GetUpgrades(TCUpgrade::kVisual)[1];
    board_.ApplyUpgrade(floor, true);
    board_.ApplyUpgrade(floor, false);
    EXPECT_EQ(trace_, (Trace{"tiles skin '_gold'", "tiles on_upgrade", "tiles skin '_plain'", "tiles on_downgrade"}));
    EXPECT_NE(log_.Text().find("ERROR: Cannot find upgrade item 'rug'"), std::string::npos);
    EXPECT_FALSE(board_.IsUpgradeActive("floor", "floor1"));
}

TEST_F(CafeConfigTest, OwnedVisualUpgradesDressTheNextLevelAndWorkerUpgradesTellTheirWorker)
{
    std::array<uint8_t, kUpgradeBytes> profile{};
    board_.SetCareerUpgradeBytes(profile);
    LoadLevel(1, "<param upgrade_skin='_gold'/>");
    AddTarget("worker1");
    board_.ApplyUpgrade(board_.GetUpgrades(TCUpgrade::kFunctional)[0], true);
    EXPECT_EQ(trace_, Trace{"worker1 skin ''"});
    board_.ApplyUpgrade(board_.GetUpgrades(TCUpgrade::kVisual)[1], true);
    EXPECT_EQ(profile[0], 1) << "the career's bytes are the profile's";
    EXPECT_EQ(profile[14], 1);
    EXPECT_TRUE(board_.IsUpgradeActive("worker1", "tidiness"));

    WriteText("cfg/scene.xml", "<root><objects><object class='item' name='tiles'/><object class='item' name='counter'/>"
                               "</objects></root>");
    LoadLevel(2, "<param upgrade_skin='_silver'/><objects><object name='tiles'/><object name='counter'/></objects>");
    EXPECT_EQ(FindItemByName("tiles")->GetSkin(), "_silver");
    EXPECT_EQ(FindItemByName("counter")->GetSkin(), "") << "the bar's upgrade is not owned";
}

TEST_F(CafeConfigTest, TheBossSpeedOverrideLastsOneLevel)
{
    LoadLevel(1, "", "override_boss_speed='55.5'");
    EXPECT_FLOAT_EQ(FindPerson("boss")->moveSpeed, 55.5f);
    LoadLevel(2);
    EXPECT_FLOAT_EQ(FindPerson("boss")->moveSpeed, 40.0f);
}

TEST_F(CafeConfigTest, WalkersAreBoundAfterTheLevelsOverrides)
{
    pugi::xml_document node;
    ASSERT_TRUE(node.load_string("<object name='boss'/>"));
    auto* boss = static_cast<TCMoveItem*>(GetItemList().Add(std::make_unique<TCMoveItem>()));
    boss->LoadFromXml(node.first_child());
    LoadLevel(1, "", "override_boss_speed='55.5'");
    EXPECT_FLOAT_EQ(boss->GetMoveSpeed(), 55.5f);
}

TEST_F(CafeConfigTest, EventSkinsAreFetchedOncePerSkinAndAMissingTextureIsTolerated)
{
    std::vector<std::string> fetched;
    board_.SetImageLoader([&fetched](const std::string& id) {
        fetched.push_back(id);
        return Nubra::SharedImageRef();
    });
    LoadLevel(1, R"(<events_queue>
        <time_point type="client" person1="c1" person2="ignored"/>
        <time_point type="family" person1="f1" person3="f3"/>
        <time_point type="client" person1="c1"/>
        <time_point type="vip" person1="v"/></events_queue>)");
    EXPECT_EQ(fetched.size(), 28u + 2 * 40u);
    EXPECT_TRUE(board_.IsRunning());
}

} // namespace
} // namespace simtest
