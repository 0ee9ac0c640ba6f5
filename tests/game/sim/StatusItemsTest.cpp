#include <gtest/gtest.h>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "game/sim/TCIHands.h"
#include "game/sim/TCStatusItems.h"

namespace simtest {
namespace {

TEST(StatusOwner, TheStatusNameNamesItsOwner)
{
    const std::pair<const char*, const char*> rows[] = {
        {"status_bubble_worker01", "worker01"}, {"status_bubble_client03", "client03"},
        {"status_hp_client_sit02", "client_sit02"}, {"status_hp_worker6", "worker6"},
        {"status_bubble_boss", ""}, {"bubble_worker01", ""}};
    for (const auto& [status, owner] : rows)
        EXPECT_EQ(StatusOwnerName(status), owner) << status;
}

TEST(StatusBars, ValuesBecomeClipSteps)
{
    const std::tuple<float, int, int> rows[] = {// value, worker step, client step
                                                {100.0f, 12, 9}, {0.0f, 0, 0},     {50.0f, 6, 5},  {8.34f, 1, 0},
                                                {8.3f, 0, 0},    {-3.0f, 0, 0},    {130.0f, 12, 9}, {99.9f, 11, 9}};
    for (const auto& [value, worker, client] : rows) {
        EXPECT_EQ(WorkerBarStep(value), worker) << value;
        EXPECT_EQ(ClientBarStep(value), client) << value;
    }
}

// An owner whose state the test sets.
class FakeOwner : public TCItem, public TIStatSrc {
public:
    explicit FakeOwner(const std::string& name) { name_ = name; }
    bool HasStatus() const override { return status; }
    bool IsBusy() const override { return false; }
    bool GetStatusValue(float& out) const override
    {
        out = value;
        return status;
    }
    bool GetBubbleText(std::string& out) const override
    {
        out = text;
        return !text.empty();
    }
    std::string GetBubbleKind() const override { return "client"; }
    bool GetProductType(std::string&) const override { return false; }
    float GetWorkProgress() const override { return progress; }
    TCStatusLevels GetStatusLevels() const override { return {60.0f, 30.0f, 10.0f}; }
    bool IsStatusFrozen() const override { return frozen; }
    bool IsVip() const override { return vip; }
    void SetStatusBubble(TCStatus_Bubble* shown) override { bubble = shown; }

    bool status = true;
    float value = 100.0f;
    std::string text;
    float progress = -1.0f;
    bool frozen = false;
    bool vip = false;
    TCStatus_Bubble* bubble = nullptr;
};

// Holds `carrying` in its second hand.
class FakeBoss : public TCItem, public TCIHands {
public:
    FakeBoss() { name_ = "boss"; }
    const std::string& GetHandItem(int hand) const override { return hand == kSecondary ? carrying : empty_; }
    void EmptyHand(int) override {}
    std::string carrying;

private:
    std::string empty_;
};

template <class Status>
class Traced : public Status {
public:
    explicit Traced(Trace& trace) : trace_(trace) {}
    void RunEvent(const char* event) override { trace_.push_back(event); }

private:
    Trace& trace_;
};

class StatusTest : public ItemWorld {
protected:
    template <class Item>
    Item* Add(std::unique_ptr<Item> item, const std::string& name, Nubra::Point position = {0, 0})
    {
        pugi::xml_document node;
        EXPECT_TRUE(node.load_string(("<object name='" + name + "'/>").c_str()));
        item->LoadFromXml(node.first_child());
        item->SetPosition(position);
        return static_cast<Item*>(GetItemList().Add(std::move(item)));
    }
    template <class Status>
    Traced<Status>* AddStatus(const std::string& name)
    {
        auto* status = Add(std::make_unique<Traced<Status>>(trace_), name);
        pugi::xml_document look;
        EXPECT_TRUE(look.load_string("<object/>"));
        status->LoadSkin(look.first_child());
        status->SetActive(true);
        return status;
    }
    void Step(TCItem& item, int steps = 1)
    {
        for (int i = 0; i < steps; ++i)
            item.Update();
    }

    Trace trace_;
    FakeOwner* client_ = Add(std::make_unique<FakeOwner>("client01"), "client01", {120, 340});
    FakeBoss* boss_ = Add(std::make_unique<FakeBoss>(), "boss");
};

TEST_F(StatusTest, ABubbleStandsOverItsOwnerAndOneWithoutAnOwnerStaysPut)
{
    auto* bubble = AddStatus<TCStatus_Bubble>("status_bubble_client01");
    EXPECT_EQ(bubble->GetOwner(), client_);
    EXPECT_EQ(bubble->GetPosition(), (Nubra::Point{120, 340}));
    EXPECT_EQ(client_->bubble, bubble);

    auto* stray = AddStatus<TCStatus_Bubble>("status_bubble_client77");
    EXPECT_EQ(stray->GetOwner(), nullptr);
    EXPECT_EQ(stray->GetPosition(), (Nubra::Point{0, 0}));
    client_->text = "cake";
    Step(*stray);
    EXPECT_FALSE(stray->IsShown());
}

TEST_F(StatusTest, ABubbleLightsForTheCarriedProductShakesThroughAScandalAndGoesWithTheStatus)
{
    auto* bubble = AddStatus<TCStatus_Bubble>("status_bubble_client01");
    Step(*bubble);
    EXPECT_FALSE(bubble->IsShown()) << "nothing to say";

    client_->text = "cake";
    Step(*bubble);
    EXPECT_TRUE(bubble->IsShown());
    EXPECT_EQ(bubble->GetProduct(), "cake");
    EXPECT_TRUE(bubble->IsVisible());
    EXPECT_TRUE(trace_.empty());

    boss_->carrying = "cake";
    Step(*bubble, 2);
    boss_->carrying = "tea";
    Step(*bubble, 2);
    EXPECT_EQ(trace_, (Trace{"product_highlight", "hide_product_highlight"})) << "each once";

    trace_.clear();
    client_->text = "scandal";
    Step(*bubble, 2);
    EXPECT_TRUE(bubble->IsShaking());
    EXPECT_EQ(bubble->GetProduct(), "cake") << "a scandal is not remembered as the order";
    client_->text = "cake";
    Step(*bubble);
    EXPECT_FALSE(bubble->IsShaking());
    EXPECT_TRUE(bubble->IsShown()) << "the order still stands";
    EXPECT_EQ(trace_, (Trace{"shake_start", "shake_stop"}));

    boss_->carrying = "cake";
    Step(*bubble);
    ASSERT_TRUE(bubble->IsHighlighted());
    trace_.clear();
    client_->status = false;
    Step(*bubble);
    EXPECT_FALSE(bubble->IsShown());
    EXPECT_FALSE(bubble->IsHighlighted());
    EXPECT_FALSE(bubble->IsVisible());
    EXPECT_EQ(trace_, (Trace{"hide_product_highlight", "shake_stop"}));
}

TEST_F(StatusTest, AServedOrderGivesWayToTheNextAtOnce)
{
    auto* bubble = AddStatus<TCStatus_Bubble>("status_bubble_client01");
    client_->text = "cake";
    Step(*bubble);
    client_->text = "tea";
    Step(*bubble);
    EXPECT_TRUE(bubble->IsShown());
    EXPECT_EQ(bubble->GetProduct(), "tea");
}

TEST_F(StatusTest, AWorkersBubbleShowsHowMuchOfTheProductIsDone)
{
    auto* worker = Add(std::make_unique<FakeOwner>("worker02"), "worker02");
    auto* bubble = AddStatus<TCStatus_Bubble>("status_bubble_worker02");
    EXPECT_EQ(worker->bubble, nullptr) << "only a client keeps its bubble";
    worker->text = "working";
    const std::pair<float, float> rows[] = {{-1.0f, -1.0f}, {0.25f, 0.75f}, {1.0f, TCStatus_Bubble::kMinStage}, {0.0f, 1.0f}};
    for (const auto& [progress, stage] : rows) {
        worker->progress = progress;
        Step(*bubble);
        EXPECT_FLOAT_EQ(bubble->GetProductionStage(), stage) << progress;
    }
}

TEST_F(StatusTest, TheLogHearsOfEachWorkOnceNotOfEveryFrame)
{
    auto* worker = Add(std::make_unique<FakeOwner>("worker02"), "worker02");
    auto* bubble = AddStatus<TCStatus_Bubble>("status_bubble_worker02");
    worker->text = "working";
    for (float progress : {-1.0f, 0.0f, 0.2f, 0.4f, 0.6f, -1.0f, -1.0f, 0.5f, 0.75f}) {
        worker->progress = progress;
        Step(*bubble);
    }
    const std::string log = log_.Text();
    const auto lines = [&log](const std::string& text) {
        size_t count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(lines("worker 'worker02', animStage"), 2u) << log;
    EXPECT_EQ(lines("animStage = 1.0"), 1u) << log;
    EXPECT_EQ(lines("animStage = 0.5"), 1u) << log;
}

TEST_F(StatusTest, AClientsBarFollowsPatienceWithAFaceForItsMood)
{
    client_->SetActive(true);
    auto* bar = AddStatus<TCStatus_HP_Client>("status_hp_client01");
    EXPECT_TRUE(bar->IsShown());
    EXPECT_FLOAT_EQ(bar->GetValue(), 100.0f);
    const struct {
        float value;
        bool frozen, vip;
        int step;
        const char* face;
    } rows[] = {{100.0f, false, false, 9, "greenidle"}, {45.0f, false, false, 4, "yellowidle"},
                {30.0f, false, false, 3, "redidle"},    {30.0f, true, false, 3, "freezeidle"},
                {70.0f, false, true, 7, "vip_greenidle"}};
    for (const auto& row : rows) {
        client_->value = row.value;
        client_->frozen = row.frozen;
        client_->vip = row.vip;
        Step(*bar);
        EXPECT_EQ(bar->GetStep(), row.step) << row.value;
        EXPECT_EQ(bar->GetFace(), row.face) << row.value;
    }
    EXPECT_EQ(trace_, (Trace{"to_yellow", "to_red"})) << "only a fall into a worse mood runs an event";

    client_->status = false;
    Step(*bar);
    EXPECT_FALSE(bar->IsShown());
    EXPECT_FALSE(bar->IsVisible());
}

TEST_F(StatusTest, AWorkersBarStepsWithTidiness)
{
    auto* worker = Add(std::make_unique<FakeOwner>("worker03"), "worker03");
    auto* bar = AddStatus<TCStatus_HP_Worker>("status_hp_worker03");
    EXPECT_TRUE(bar->IsVisible());
    worker->value = 50.0f;
    Step(*bar);
    EXPECT_EQ(bar->GetStep(), 6);
    worker->value = 20.0f;
    Step(*bar);
    EXPECT_EQ(bar->GetStep(), 2);
    EXPECT_EQ(trace_, (Trace{"to_yellow", "to_red"}));
}

} // namespace
} // namespace simtest
