#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "ServeFixtures.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/ImageLib.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCBoss.h"
#include "game/sim/TCPeriodItem.h"
#include "game/sim/TCTray.h"
#include "game/sim/TCZOrderSolver.h"

namespace {

using namespace simtest;

std::string Joined(const Trace& trace)
{
    return std::accumulate(trace.begin(), trace.end(), std::string(),
                           [](const std::string& all, const std::string& line) { return all.empty() ? line : all + ", " + line; });
}

// The boss (200 px/s; +50 with the upgrade, +100 with the bonus) on a small floor with a cola
// machine that refills after 1 s, a candy machine, the wash stand, trash, tray, one client's
// place and one worker's table.
class BossTest : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        pugi::xml_document config;
        ASSERT_TRUE(config.load_string(
            "<cfg><perses><pers name='boss' move_speed='200' speed_add_upgrade='50' speed_add_bonus='100' "
            "bonus_speed_time3='5' bonus_speed_time4='8' idle_rastart_time_min='1' idle_rastart_time_max='2' "
            "idle_stop_frame='3'/></perses><period_items><period_item name='colamachine' timeout_min='1' timeout_max='1'/>"
            "<period_item name='colamachine' timeout_min='9' timeout_max='9'/></period_items></cfg>"));
        LoadPersons(config.child("cfg"));
        LoadPersParams(config.child("cfg"));
        LoadPeriodItems(config.child("cfg"));
        cola_ = static_cast<TCPeriodItem*>(Add<TCPeriodItem>("<object name='colamachine' thing='0200'/>"));
        for (const char* name : {"candymachine", "wash_stand", "client_place01", "table01"})
            Add<TCPickItem>(std::string("<object name='") + name + "'/>");
        Add<TCTrash>("<object name='trash_bin'/>");
        tray_ = static_cast<TCTray*>(Add<TCTray>("<object name='tray'><part name='checkmark'/></object>"));
        client_ = static_cast<FakeClient*>(Add<FakeClient>("<object name='client01'/>"));
        worker_ = static_cast<FakeWorker*>(Add<FakeWorker>("<object name='worker01'/>"));
        boss_ = static_cast<TCBoss*>(Add<TCBoss>("<object name='boss' start_point='A'/>"));
        pugi::xml_document level;
        ASSERT_TRUE(level.load_string(R"(<level><graphs><graph name="boss"><points>
            <point name="A" x="0" y="0"/><point name="colamachine" x="100" y="0"/><point name="tray" x="200" y="0"/>
            <point name="table01" x="0" y="100"/></points><edges><edge p1="A" p2="colamachine"/>
            <edge p1="colamachine" p2="tray"/><edge p1="A" p2="table01"/></edges></graph></graphs></level>)"));
        board_.GetGraph("boss")->LoadLevelGraphs(level.child("level"));
        boss_->BindPerson();
        for (const auto& item : GetItemList().GetItems())
            item->SetActive(true);
        gFrameTime = 0.01f;
        trace_.clear();
    }
    void TearDown() override
    {
        ClearPersParams();
        ClearPeriodItems();
        ItemWorld::TearDown();
    }
    template <class Item>
    TCItem* Add(const std::string& xml)
    {
        return AddObject(std::make_unique<Item>(), xml);
    }
    // One game step for the objects.
    void Step()
    {
        AdvanceGameClock();
        GetItemList().UpdateAllActive();
    }
    void Hold(const std::string& primary, const std::string& secondary)
    {
        boss_->SetHand(TCBoss::kPrimary, primary);
        boss_->SetHand(TCBoss::kSecondary, secondary);
    }

    Trace trace_;
    RecordingHost host_{trace_};
    ServeBoard board_{host_, trace_};
    RecordingTutorial tutorial_{trace_};
    TCPeriodItem* cola_ = nullptr;
    TCTray* tray_ = nullptr;
    FakeClient* client_ = nullptr;
    FakeWorker* worker_ = nullptr;
    TCBoss* boss_ = nullptr;
};

TEST_F(BossTest, EachKindOfTargetTradesByTheHands)
{
    struct Row {
        const char* what;
        const char* target;
        std::array<const char*, 2> before;
        const char* wanted;   // the client's order
        const char* product;  // the worker's finished product; null while it works on nothing
        bool accepted;
        std::array<const char*, 2> after;
        const char* trace;
    };
    const char* serve = "tutorial 10, rush serve";
    const char* take = "tutorial 10, rush serve, sound boss_take_item";
    const Row rows[] = {
        {"machine, hands empty", "colamachine", {"", ""}, "", nullptr, true, {"0200", ""}, "tutorial 10, rush serve, sound soda_mashine"},
        {"machine, one hand full", "colamachine", {"0100", ""}, "", nullptr, true, {"0100", "0200"}, "tutorial 10, rush serve, sound soda_mashine"},
        {"machine, both full", "colamachine", {"0100", "0300"}, "", nullptr, false, {"0100", "0300"}, "rush reset"},
        {"machine without a thing", "candymachine", {"", "0300"}, "", nullptr, true, {"candymachine", "0300"}, "tutorial 10, rush serve, sound candy"},
        {"wash stand", "wash_stand", {"0100", ""}, "", nullptr, true, {"0100", "wash"}, "tutorial 10, rush reset, sound take_brush"},
        {"wash stand, both full", "wash_stand", {"0100", "0300"}, "", nullptr, false, {"0100", "0300"}, "rush reset"},
        {"trash, secondary full", "trash_bin", {"0100", "0300"}, "", nullptr, true, {"0100", ""}, "tutorial 10, rush reset, sound make_trash"},
        {"trash, only primary full", "trash_bin", {"0100", ""}, "", nullptr, true, {"", ""}, "tutorial 10, rush reset, sound make_trash"},
        {"trash, both empty", "trash_bin", {"", ""}, "", nullptr, false, {"", ""}, ""},
        {"tray", "tray", {"0100", ""}, "", nullptr, true, {"0100", ""}, "tutorial 10"},
        {"client without an order", "client_place01", {"", ""}, "", nullptr, true, {"", ""}, serve},
        {"client wants the primary's", "client_place01", {"0200", ""}, "0200", nullptr, true, {"0200", ""}, serve},
        {"client wants the secondary's", "client_place01", {"0100", "0200"}, "0200", nullptr, true, {"0100", "0200"}, serve},
        {"client wants neither", "client_place01", {"0100", ""}, "0200", nullptr, false, {"0100", ""}, ""},
        {"worker idle", "table01", {"0100", ""}, "", nullptr, true, {"0100", ""}, serve},
        {"worker ready, a hand free", "table01", {"0300", ""}, "", "0100", true, {"0300", "0100"}, take},
        {"worker ready, a join", "table01", {"", "0200"}, "0102", "0100", true, {"", "0102"}, take},
        {"worker ready, no fit", "table01", {"0300", "0200"}, "", "0100", false, {"0300", "0200"}, "rush reset"},
        {"worker cleaned", "table01", {"0300", "wash"}, "", "0100", true, {"0300", ""}, "tutorial 10"},
    };
    for (const Row& row : rows) {
        Hold(row.before[0], row.before[1]);
        cola_->SetState(TCPeriodItem::kReady);
        client_->wanted = row.wanted;
        worker_->ready = row.product != nullptr;
        worker_->slot = row.product ? row.product : "";
        trace_.clear();
        TCItem* target = FindItemByName(row.target);
        EXPECT_EQ(boss_->OnUse(target, true), row.accepted) << row.what;
        if (row.accepted)
            boss_->OnUse(target, false);
        EXPECT_EQ(boss_->GetHandItem(TCBoss::kPrimary), row.after[0]) << row.what;
        EXPECT_EQ(boss_->GetHandItem(TCBoss::kSecondary), row.after[1]) << row.what;
        EXPECT_EQ(Joined(trace_), row.trace) << row.what;
    }
}

TEST_F(BossTest, AWorkersSlotIsSetByTheBoss)
{
    struct Row {
        const char* product;
        const char* hands;
        const char* slotAfter;
    };
    for (const Row& row : {Row{nullptr, "", "0000"}, Row{"0100", "", ""}, Row{"0100", "full", "0100"}}) {
        Hold(row.hands[0] ? "0300" : "", row.hands[0] ? "0400" : "");
        worker_->ready = row.product != nullptr;
        worker_->slot = row.product ? row.product : "";
        if (boss_->OnUse(FindItemByName("table01"), true))
            boss_->OnUse(FindItemByName("table01"), false);
        EXPECT_EQ(worker_->slot, row.slotAfter) << (row.product ? row.product : "idle") << " " << row.hands;
    }
    worker_->SetActive(false);
    EXPECT_FALSE(boss_->OnUse(FindItemByName("table01"), true)) << "a worker out of play takes nothing";
    client_->SetEffectVisible(false);
    EXPECT_FALSE(boss_->OnUse(FindItemByName("client_place01"), true)) << "nor a client not in the cafe";
}

TEST_F(BossTest, TheTargetCommitsFirstAndTheProductStillReachesTheHand)
{
    boss_->PlaceAt("table01");
    worker_->ready = true;
    worker_->slot = "0100";
    boss_->AddTarget(FindPickItemByName("table01"));
    boss_->Update();
    EXPECT_FALSE(worker_->ready) << "the worker went idle before the boss took the product";
    EXPECT_EQ(boss_->GetHandItem(TCBoss::kPrimary), "0100");
    EXPECT_EQ(worker_->slot, "");
    EXPECT_TRUE(boss_->GetTargets().empty());
}

TEST_F(BossTest, APeriodicSourceRefillsAfterItsPauseAndRefusesWhileEmpty)
{
    int steps = 0;
    while (cola_->GetState() == TCPeriodItem::kWaiting && steps < 500) {
        Step();
        ++steps;
    }
    EXPECT_NEAR(steps, 100, 1) << "the first record of a name wins: 1 s";
    EXPECT_EQ(cola_->GetCurrentAnimation(), "") << "no clips in this scene";

    // Ready: the boss walks over and takes a cola; the machine waits a new pause.
    boss_->AddTarget(cola_);
    for (int i = 0; i < 100 && !boss_->GetTargets().empty(); ++i)
        Step();
    EXPECT_EQ(boss_->GetHandItem(TCBoss::kPrimary), "0200");
    EXPECT_EQ(cola_->GetState(), TCPeriodItem::kWaiting);
    EXPECT_NEAR(cola_->GetRemainingPause(), 1.0f, 0.02f);

    // Empty again: the use is refused and the queued tray with it.
    boss_->AddTarget(cola_);
    boss_->AddTarget(tray_);
    Step();
    EXPECT_TRUE(boss_->GetTargets().empty());
    EXPECT_FALSE(tray_->IsCheckmarkShown(0));
    EXPECT_EQ(boss_->GetHandItem(TCBoss::kSecondary), "");

    // Ready, but both hands full: refused too.
    Hold("0100", "0300");
    cola_->SetState(TCPeriodItem::kReady);
    EXPECT_FALSE(cola_->OnUse(boss_, true));
}

TEST_F(BossTest, SpeedAddsTheUpgradeAndTheBonus)
{
    EXPECT_FLOAT_EQ(boss_->GetMoveSpeed(), 200.0f);
    board_.bossSpeedOwned = true;
    EXPECT_FLOAT_EQ(boss_->GetMoveSpeed(), 250.0f);
    boss_->StartSpeedBonus(boss_->GetParams()->bonusSpeedTime3);
    EXPECT_FLOAT_EQ(boss_->GetMoveSpeed(), 350.0f);

    // A bonus started while one runs keeps the longer time.
    for (int i = 0; i < 100; ++i)
        Step();
    EXPECT_NEAR(boss_->GetSpeedBonusLeft(), 4.0f, 0.01f);
    boss_->StartSpeedBonus(2.0f);
    EXPECT_NEAR(boss_->GetSpeedBonusLeft(), 4.0f, 0.01f);
    boss_->StartSpeedBonus(boss_->GetParams()->bonusSpeedTime4);
    EXPECT_FLOAT_EQ(boss_->GetSpeedBonusLeft(), 8.0f);
    for (int i = 0; i < 801; ++i)
        Step();
    EXPECT_FALSE(boss_->IsSpeedBonusOn());
    EXPECT_FLOAT_EQ(boss_->GetMoveSpeed(), 250.0f);
}

TEST_F(BossTest, TheClipsShowTheHands)
{
    struct Row {
        const char *primary, *secondary, *idle, *move;
    };
    const Row rows[] = {
        {"0100", "0200", "boss_idle_full_second", "boss_move_full_second"},
        {"0100", "", "boss_idle_full", "boss_move_full"},
        {"", "0200", "boss_idle_second", "boss_move_second"},
    };
    for (const Row& row : rows) {
        Hold(row.primary, row.secondary);
        EXPECT_EQ(boss_->IdleClip(), row.idle);
        EXPECT_EQ(boss_->MoveClip(), row.move);
    }
    Hold("", "");
    EXPECT_EQ(boss_->MoveClip(), "boss_move_empty");
    std::set<std::string> idles;
    for (int i = 0; i < 50; ++i)
        idles.insert(boss_->IdleClip());
    EXPECT_EQ(idles, (std::set<std::string>{"boss_idle_empty1", "boss_idle_empty2"}));
}

TEST_F(BossTest, WalkingPlaysTheStepsFastWhileTheBonusRuns)
{
    boss_->AddTarget(tray_);
    Step();
    EXPECT_EQ(trace_, Trace{"sound boss_steps"});
    while (!boss_->GetTargets().empty())
        Step();
    EXPECT_EQ(trace_, (Trace{"sound boss_steps", "tutorial 5", "tutorial 10"})) << "one step sound a walk";
    trace_.clear();
    boss_->StartSpeedBonus(5.0f);
    boss_->AddTarget(FindPickItemByName("table01"));
    Step();
    EXPECT_EQ(trace_, Trace{"sound boss_steps_fast"});
}

// A boss with a drawn body, in a run with an application for its images.
class BossTrail : public BossTest {
protected:
    Nubra::NubraAppBase app_;
};

TEST_F(BossTrail, TheSpeedBonusLeavesGhostsThatFadeWithinAFewSteps)
{
    ImageLib::Image sheet(10, 20);
    std::fill(sheet.GetBits(), sheet.GetBits() + sheet.PixelCount(), 0xFFFF0000u);
    ASSERT_TRUE(ImageLib::WritePNGImage("gfx/sheet.png", sheet));
    WriteAnimation("boss", {MakeClip("bossboss_idle_full")});
    auto* ghost = static_cast<TCBoss*>(Add<TCBoss>("<object name='ghost'><part name='boss'/></object>"));
    ghost->BindPerson();
    ghost->SetActive(true);
    ghost->SetHand(TCBoss::kPrimary, "0100");
    ghost->Notify(TCItem::kNotifyArrived);
    const TCItemPart* body = ghost->FindPart("boss");
    ASSERT_EQ(body->GetCurrentClip(), "boss_idle_full");

    ghost->StartSpeedBonus(0.5f);
    for (int i = 0; i < 30; ++i)
        ghost->Update();
    // One ghost a step, each living 70 / (500 x 0.01) = 14 steps.
    EXPECT_NEAR(double(body->GetTrailSize()), 14.0, 1.0);
    for (int i = 0; i < 25; ++i)
        ghost->Update();
    EXPECT_FALSE(ghost->IsTrailOn()) << "the bonus ran out";
    EXPECT_GT(body->GetTrailSize(), 0u) << "the last ghosts still fade";
    for (int i = 0; i < 15; ++i)
        ghost->Update();
    EXPECT_EQ(body->GetTrailSize(), 0u);
}

TEST_F(BossTrail, TheHeldItemsShowWhatTheHandsHoldOverTheBody)
{
    WriteAnimation("held_items", {MakeClip("held_items0200")});
    auto* carrier = static_cast<TCBoss*>(Add<TCBoss>(
        "<object name='carrier'><part name='held_items'/><part name='boss' order0_x='0' order0_y='50' order1_x='10' "
        "order1_y='50' order2_x='20' order2_y='50'/><part name='held_items'/></object>"));
    Add<TCItem>("<object name='counter'><part name='top' order0_x='0' order0_y='90' order1_x='10' order1_y='90' "
                "order2_x='20' order2_y='90'/></object>");
    carrier->BindPerson();
    carrier->SetActive(true);
    const TCItemPart* primary = carrier->FindPart("held_items", 0);
    const TCItemPart* secondary = carrier->FindPart("held_items", 1);
    EXPECT_FALSE(primary->IsDrawable());
    carrier->SetHand(TCBoss::kPrimary, "0200");
    carrier->SetHand(TCBoss::kSecondary, "0900");
    EXPECT_TRUE(primary->IsDrawable());
    EXPECT_FALSE(secondary->IsDrawable()) << "an item without a picture shows nothing";
    carrier->SetHand(TCBoss::kPrimary, "");
    EXPECT_FALSE(primary->IsDrawable());

    TCZOrderSolver solver(GetItemList());
    solver.Rebuild();
    std::vector<std::string> order;
    for (const TCBoardPart* part : solver.GetOrder()) {
        const auto* itemPart = static_cast<const TCItemPart*>(part);
        if (itemPart->GetOwner().HasName("carrier") || itemPart->GetOwner().HasName("counter"))
            order.push_back(itemPart->GetName());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"boss", "held_items", "held_items", "top"}));
}

} // namespace
