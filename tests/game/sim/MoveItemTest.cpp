#include <gtest/gtest.h>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "engine/core/TCDebugSettings.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCMoveItem.h"
#include "game/sim/TCPickItem.h"

namespace {

using namespace simtest;

TEST(Orientation, FollowsTheStepVectorBySector)
{
    struct Row {
        Nubra::Point step;
        const char* expected;
    };
    const Row rows[] = {
        {{0, 0}, "bl"}, {{0, -1}, "t"},     {{1, 0}, "r"},     {{0, 1}, "b"},       {{-1, 0}, "l"},
        {{1, -1}, "tr"}, {{1, 1}, "br"},    {{-1, 1}, "bl"},   {{-1, -1}, "tl"},
        // 11.2 and 11.3 degrees clockwise from up.
        {{198, -1000}, "t"}, {{200, -1000}, "tr"},
        // Either side of up, and of the other straight sectors' bounds.
        {{-198, -1000}, "t"}, {{-200, -1000}, "tl"}, {{1000, -198}, "r"}, {{1000, 198}, "r"},
        {{1000, 200}, "br"}, {{-198, 1000}, "b"}, {{-1000, 200}, "bl"}, {{-1000, -198}, "l"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(OrientationFor(row.step, "bl"), row.expected) << row.step.x << "," << row.step.y;
}

// A walker and pick objects that write their exchanges into the trace.
class TracingWalker : public TCMoveItem {
public:
    explicit TracingWalker(Trace& trace) : trace_(trace) {}
    bool OnUse(TCItem* other, bool testOnly) override
    {
        trace_.push_back(std::string(testOnly ? "test " : "use ") + name_ + " with " + other->GetName());
        return accepts;
    }
    void Notify(int code) override { trace_.push_back("notify " + std::to_string(code)); }
    bool accepts = true;

private:
    Trace& trace_;
};

class TracingPick : public TCPickItem {
public:
    explicit TracingPick(Trace& trace) : trace_(trace) {}
    bool OnUse(TCItem* other, bool testOnly) override
    {
        trace_.push_back(std::string(testOnly ? "test " : "use ") + name_ + " with " + other->GetName());
        return accepts;
    }
    bool accepts = true;

private:
    Trace& trace_;
};

// The boss's graph: A (0,0) - B (30,0) - C (30,40) facing left, with the oven's point beside C and
// the sink's beside A; the boss walks 10 pixels a second.
class MoveItemTest : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        pugi::xml_document config;
        ASSERT_TRUE(config.load_string("<cfg><perses><pers name='boss' move_speed='10'>"
                                       "<orientations orientation='l' actual_orientation='r' ofs_x='3'/></pers></perses></cfg>"));
        LoadPersons(config.child("cfg"));
        oven_ = AddPick("oven");
        sink_ = AddPick("sink");
        boss_ = static_cast<TracingWalker*>(
            Add(std::make_unique<TracingWalker>(trace_), "<object name='boss' start_point='A'><part name='body'/></object>"));
        pugi::xml_document level;
        ASSERT_TRUE(level.load_string(R"(<level><graphs><graph name="boss"><points>
            <point name="A" x="0" y="0"/><point name="B" x="30" y="0"/><point name="C" x="30" y="40" direction="l"/>
            <point name="oven" x="31" y="40" direction="l"/><point name="sink" x="0" y="1" direction="t"/></points>
            <edges><edge p1="A" p2="B"/><edge p1="B" p2="C"/><edge p1="C" p2="oven"/><edge p1="B" p2="oven"/>
            <edge p1="A" p2="sink"/><edge p1="B" p2="sink"/></edges></graph></graphs></level>)"));
        board_.GetGraph("boss")->LoadLevelGraphs(level.child("level"));
        boss_->BindPerson();
        for (TCItem* item : {static_cast<TCItem*>(oven_), static_cast<TCItem*>(sink_), static_cast<TCItem*>(boss_)})
            item->SetActive(true);
        gFrameTime = 0.01f;
        trace_.clear();
    }
    TCItem* Add(std::unique_ptr<TCItem> item, const char* xml)
    {
        pugi::xml_document node;
        EXPECT_TRUE(node.load_string(xml));
        item->LoadFromXml(node.first_child());
        return GetItemList().Add(std::move(item));
    }
    TracingPick* AddPick(const std::string& name)
    {
        return static_cast<TracingPick*>(Add(std::make_unique<TracingPick>(trace_),
                                             ("<object name='" + name + "'><part name='checkmark'/></object>").c_str()));
    }
    int Run(int limit = 2000)
    {
        int steps = 0;
        while (steps < limit && (boss_->IsBusy() || !boss_->GetTargets().empty())) {
            boss_->Update();
            ++steps;
        }
        return steps;
    }

    Trace trace_;
    RecordingHost host_{trace_};
    RecordingBoard board_{host_, trace_};
    TracingPick* oven_ = nullptr;
    TracingPick* sink_ = nullptr;
    TracingWalker* boss_ = nullptr;
};

TEST_F(MoveItemTest, AWalkerCrossesTheGraphInItsTimeTurningAsItGoes)
{
    EXPECT_EQ(boss_->GetOrientation(), "b");
    EXPECT_FALSE(boss_->WalkTo("A")) << "already there";
    ASSERT_TRUE(boss_->WalkTo("C"));
    boss_->Update();
    EXPECT_EQ(boss_->GetOrientation(), "r");
    const TCItemPart* body = boss_->FindPart("body");
    for (int i = 0; i < 400; ++i)
        boss_->Update();
    EXPECT_EQ(boss_->GetOrientation(), "b");
    // 4.01 s: 10.1 pixels down B-C.
    EXPECT_EQ(boss_->GetPosition(), Nubra::Point(30, 10));
    EXPECT_EQ(body->GetFloorLine()[0], Nubra::Point(10, 10));
    EXPECT_EQ(body->GetFloorLine()[2], Nubra::Point(50, 10));
    EXPECT_EQ(body->GetOrient(), "b");
    const int steps = 401 + Run();
    EXPECT_NEAR(steps, 701, 2) << "70 pixels at 10 a second";
    EXPECT_EQ(boss_->GetPosition(), Nubra::Point(30, 40));
    EXPECT_EQ(boss_->GetOrientation(), "l") << "facing the direction of the point it reached";
    EXPECT_EQ(boss_->GetCurrentPoint(), "C");
}

TEST_F(MoveItemTest, TheDevelopersSlowSpeedWalksATenth)
{
    DebugSettings().BossSlowSpeed = true;
    ASSERT_TRUE(boss_->WalkTo("C"));
    for (int i = 0; i < 100; ++i)
        boss_->Update();
    DebugSettings().BossSlowSpeed = false;
    // A second of frame time at a tenth of 10 pixels a second, give or take the sums' rounding.
    EXPECT_NEAR(boss_->GetPosition().x, 1, 1);
    EXPECT_TRUE(boss_->IsMoving());
}

TEST_F(MoveItemTest, OnArrivalBothSidesAgreeBeforeEitherTrades)
{
    oven_->IncClickCount();
    boss_->AddTarget(oven_);
    boss_->AddTarget(sink_);
    EXPECT_TRUE(oven_->IsCheckmarkShown(0));
    Run();
    EXPECT_EQ(trace_, (Trace{"notify 3", "test oven with boss", "test boss with oven", "use oven with boss",
                             "use boss with oven", "notify 3", "test sink with boss", "test boss with sink",
                             "use sink with boss", "use boss with sink"}));
    EXPECT_EQ(oven_->GetClickCount(), 0);
    EXPECT_FALSE(oven_->IsCheckmarkShown(0));
    EXPECT_EQ(boss_->GetCurrentPoint(), "sink");
}

TEST_F(MoveItemTest, ARefusalOrAFailedRouteDropsEveryTarget)
{
    for (TracingPick* pick : {oven_, sink_})
        pick->IncClickCount();
    oven_->accepts = false;
    boss_->AddTarget(oven_);
    boss_->AddTarget(sink_);
    Run();
    EXPECT_EQ(trace_.back(), "test oven with boss") << "the walker is not asked once the target refuses";
    EXPECT_TRUE(boss_->GetTargets().empty());
    EXPECT_EQ(oven_->GetClickCount(), 0);
    EXPECT_EQ(sink_->GetClickCount(), 0);
    EXPECT_FALSE(sink_->IsCheckmarkShown(0));

    TracingPick* far = AddPick("far");
    far->SetActive(true);
    boss_->AddTarget(far);
    boss_->AddTarget(sink_);
    boss_->Update();
    EXPECT_TRUE(boss_->GetTargets().empty()) << "no route to a point the graph lacks";
    EXPECT_FALSE(far->IsCheckmarkShown(0));
}

TEST_F(MoveItemTest, WithoutASpeedOrAGraphTheWalkerStaysAndSaysWhy)
{
    pugi::xml_document config;
    ASSERT_TRUE(config.load_string("<cfg><perses/></cfg>"));
    LoadPersons(config.child("cfg"));
    EXPECT_FLOAT_EQ(boss_->GetMoveSpeed(), 10.0f) << "the bound record outlives a configuration read again";
    boss_->BindPerson();
    EXPECT_NE(log_.Text().find("WARNING: No person record 'boss'"), std::string::npos);
    EXPECT_FLOAT_EQ(boss_->GetMoveSpeed(), 0.0f);
    EXPECT_FALSE(boss_->WalkTo("C"));
    boss_->AddTarget(oven_);
    boss_->Update();
    EXPECT_TRUE(boss_->GetTargets().empty());

    TCItem* other = Add(std::make_unique<TCMoveItem>(), "<object name='client01' start_point='A'/>");
    other->SetActive(true);
    EXPECT_NE(log_.Text().find("WARNING: No graph 'client01'"), std::string::npos);
    EXPECT_FALSE(static_cast<TCMoveItem*>(other)->WalkTo("C", 10.0f));
}

} // namespace
