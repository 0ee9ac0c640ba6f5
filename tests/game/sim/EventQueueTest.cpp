#include "game/sim/TCEventQueue.h"

#include <gtest/gtest.h>

#include "SimFixtures.h"

namespace {

using simtest::ParseLevel;

std::vector<std::string> Orders(const TCEvent& event) { return {event.orders.begin(), event.orders.end()}; }

class CareerQueueTest : public ::testing::Test {
protected:
    void Load(const std::string& text)
    {
        queue_.SetMode(TCEventQueue::kCareer);
        queue_.Load(ParseLevel(document_, text));
    }
    void Advance(float seconds)
    {
        gFrameTime = seconds;
        queue_.AdvanceTime();
    }

    simtest::ClockGuard clock_;
    pugi::xml_document document_;
    TCEventQueue queue_;
};

constexpr const char* kCareerLevel = R"(<level><events_queue>
  <time_point time="0" type="client" person1="anna"/>
  <time_point time="1" type="family" person1="fa" person2="fb" isVip="1"><param name="0100"/><param name="0102"/></time_point>
  <time_point time="0.5" type="client" person1="bert"/>
  <time_point time="0" type="robot" person1="r2"/>
</events_queue></level>)";

TEST_F(CareerQueueTest, EventsSplitByExactTypeAndKeepTheirRecords)
{
    Load(kCareerLevel);
    const TCEvent* first = queue_.GetDueEvent(0);
    ASSERT_NE(first, nullptr) << "a time-0 event is due before the clock moves";
    EXPECT_EQ(first->persons[0], "anna");
    EXPECT_EQ(queue_.GetDueEvent(1), nullptr);

    Advance(1.0f);
    const TCEvent* family = queue_.GetDueEvent(1);
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family->persons[1], "fb");
    EXPECT_TRUE(family->vip);
    EXPECT_EQ(Orders(*family), (std::vector<std::string>{"0100", "0102"}));

    // Three queued events: the robot is in neither queue.
    queue_.PopEvent(0);
    queue_.PopEvent(0);
    queue_.PopEvent(1);
    EXPECT_TRUE(queue_.IsExhausted());
    EXPECT_FLOAT_EQ(queue_.GetProgress(), 1.0f);
}

TEST_F(CareerQueueTest, ARefusedHeadBlocksOnlyItsOwnQueue)
{
    Load(kCareerLevel);
    Advance(2.0f);
    // Queue 0's head is not taken: the due event behind it must wait.
    EXPECT_EQ(queue_.GetDueEvent(0)->persons[0], "anna");
    EXPECT_EQ(queue_.GetDueEvent(0)->persons[0], "anna");
    queue_.PopEvent(1);
    EXPECT_TRUE(queue_.IsQueueExhausted(1));
    EXPECT_FALSE(queue_.IsExhausted());
    EXPECT_FLOAT_EQ(queue_.GetProgress(), 1.0f / 3.0f);
    queue_.PopEvent(0);
    EXPECT_EQ(queue_.GetDueEvent(0)->persons[0], "bert");
}

TEST_F(CareerQueueTest, ALevelWithoutEventsIsExhaustedAtOnce)
{
    Load("<level/>");
    EXPECT_TRUE(queue_.IsExhausted());
    EXPECT_EQ(queue_.GetDueEvent(0), nullptr);
    EXPECT_FLOAT_EQ(queue_.GetProgress(), 0.0f);
}

TEST_F(CareerQueueTest, TheClockStandsWhileTheTutorialHoldsTheGame)
{
    Load(kCareerLevel);
    SetTutorialGate([](int action) { return action == 7; });
    gFrameTime = 1.0f;
    EXPECT_FALSE(queue_.AdvanceTime());
    EXPECT_FLOAT_EQ(queue_.GetTime(), 0.0f);
    SetTutorialGate([](int action) { return action == 5; });
    EXPECT_TRUE(queue_.AdvanceTime());
    EXPECT_FLOAT_EQ(queue_.GetTime(), 1.0f);
}

TEST_F(CareerQueueTest, ResetStartsOverAndClearLeavesNothing)
{
    Load(kCareerLevel);
    Advance(2.0f);
    queue_.PopEvent(0);
    queue_.Reset();
    EXPECT_FLOAT_EQ(queue_.GetTime(), 0.0f);
    EXPECT_FLOAT_EQ(queue_.GetProgress(), 0.0f);
    EXPECT_EQ(queue_.GetDueEvent(0)->persons[0], "anna");

    queue_.Clear();
    EXPECT_TRUE(queue_.IsExhausted());
    EXPECT_EQ(queue_.GetDueEvent(0), nullptr);
    queue_.PopEvent(0); // harmless on an empty queue
    EXPECT_FLOAT_EQ(queue_.GetProgress(), 0.0f);
}

// Survival: one template whose stand side has two lists and whose sit side has one.
std::string SurvivalLevel(const std::string& stages)
{
    return R"(<level><templates><order_template name="t">
      <stand prob="1">
        <order_list prob="1"><order name="0100" prob="1"/><order name="0200" prob="1"/></order_list>
        <order_list prob="1"><order name="0300" prob="1"/></order_list>
      </stand>
      <sit prob="1"><order_list prob="1"><order name="0400" prob="1"/></order_list></sit>
    </order_template></templates><stages>)" +
           stages + "</stages></level>";
}

std::string Type(const char* type, const char* person, const char* prob, const char* times = R"(time_min="2" time_max="4")")
{
    return std::string("<time_point_template type=\"") + type + "\" person1=\"" + person + "\" prob=\"" + prob +
           "\" " + times + " order_template=\"t\"/>";
}

// Clients c1 (1) and c2 (3) stand; family f1 (2) arrives exactly 1 s after its draw.
const std::string kStage1 = "<stage num=\"1\" points=\"100\">" + Type("client", "c1", "1") + Type("client", "c2", "3") +
                            Type("family", "f1", "2", R"(time_min="1" time_max="1")") + "</stage>";

class SurvivalQueueTest : public ::testing::Test {
protected:
    void Load(const std::string& stages, std::initializer_list<float> loadDraws)
    {
        queue_.SetMode(TCEventQueue::kSurvival);
        queue_.SetUniform([this] { return draws_(); });
        draws_.Give(loadDraws);
        queue_.Load(ParseLevel(document_, SurvivalLevel(stages)));
        EXPECT_EQ(draws_.Left(), 0u);
    }
    // Stage 1's load: queue 0 chosen, both first arrivals drawn as low as possible.
    void LoadStage1() { Load(kStage1, {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}); }

    simtest::ClockGuard clock_;
    pugi::xml_document document_;
    simtest::ScriptedUniform draws_;
    TCEventQueue queue_;
};

TEST_F(SurvivalQueueTest, GenerationFollowsTheDraws)
{
    struct Case {
        const char* name;
        std::initializer_list<float> draws; // type, delay, r1, stand r2, items..., [sit r2, items...]
        const char* person;
        float delay;
        std::vector<std::string> orders;
    };
    const Case cases[] = {
        {"type by cumulative prob, one stand list", {0.1f, 0.5f, 0.25f, 0.25f, 0.0f}, "c1", 3.0f, {"0100"}},
        {"later type, two stand lists", {0.5f, 0.0f, 0.25f, 1.0f, 0.75f, 0.0f}, "c2", 2.0f, {"0200", "0300"}},
        {"stand and sit", {0.1f, 1.0f, 1.0f, 0.25f, 0.0f, 0.5f, 0.0f}, "c1", 4.0f, {"0100", "0400"}},
        // The top of every range still gives a client with an order.
        {"draws at the edges", {1.0f, 1.0f, 0.0f, 0.0f, 1.0f}, "c2", 4.0f, {"0200"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadStage1();
        gFrameTime = 10.0f;
        queue_.AdvanceTime();
        draws_.Give(c.draws);
        queue_.PopEvent(0);
        EXPECT_EQ(draws_.Left(), 0u);
        ASSERT_FALSE(queue_.IsQueueExhausted(0));
        queue_.AdvanceTime();
        const TCEvent* event = queue_.GetDueEvent(0);
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(event->persons[0], c.person);
        EXPECT_EQ(event->type, "client");
        EXPECT_FLOAT_EQ(event->time, 10.0f + c.delay);
        EXPECT_EQ(Orders(*event), c.orders);
        queue_.Clear();
    }
}

TEST_F(SurvivalQueueTest, AtLoadTheChosenQueueDrawsFirst)
{
    // 0.9 of the total 6 falls in the families' share.
    Load(kStage1, {0.9f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f});
    gFrameTime = 4.0f;
    queue_.AdvanceTime();
    EXPECT_FLOAT_EQ(queue_.GetDueEvent(1)->time, 1.0f);
    EXPECT_EQ(queue_.GetDueEvent(0)->persons[0], "c2");
    EXPECT_FLOAT_EQ(queue_.GetDueEvent(0)->time, 4.0f);
}

TEST_F(SurvivalQueueTest, TheDispatcherChoosesByTheStageWeights)
{
    struct Case {
        std::string stage;
        float draw;
        int queue;
    };
    const std::string onlyClients = "<stage points=\"1\">" + Type("client", "c1", "2") + "</stage>";
    const std::string onlyFamilies = "<stage points=\"1\">" + Type("family", "f1", "2") + "</stage>";
    const std::string nobody = "<stage points=\"1\">" + Type("client", "c0", "0") + "</stage>";
    const Case cases[] = {
        {kStage1, 0.0f, 0},       {kStage1, 0.6f, 0},       {kStage1, 0.7f, 1},
        {kStage1, 1.0f, -1},      {onlyClients, 1.0f, -1},  {onlyClients, 0.5f, 0},
        {onlyFamilies, 0.0f, 1},  {nobody, 0.5f, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stage + " @ " + std::to_string(c.draw));
        queue_.SetMode(TCEventQueue::kSurvival);
        queue_.SetUniform([] { return 0.0f; });
        queue_.Load(ParseLevel(document_, SurvivalLevel(c.stage)));
        queue_.SetUniform([&c] { return c.draw; });
        EXPECT_EQ(queue_.ChooseQueue(), c.queue);
        queue_.Clear();
    }
}

TEST_F(SurvivalQueueTest, AStageWithoutAQueuesTypesNeverQueuesAnEmptyRecord)
{
    simtest::LogCapture log;
    const std::string stage = "<stage points=\"1\">" + Type("client", "c1", "2") + Type("family", "f0", "0") + "</stage>";
    queue_.SetMode(TCEventQueue::kSurvival);
    queue_.SetUniform([] { return 1.0f; });
    queue_.Load(ParseLevel(document_, SurvivalLevel(stage)));
    EXPECT_TRUE(queue_.IsQueueExhausted(1));
    queue_.PopEvent(1);
    EXPECT_TRUE(queue_.IsQueueExhausted(1));
    EXPECT_FALSE(queue_.IsQueueExhausted(0));
    EXPECT_NE(log.Text().find("WARNING: Client type 'family' has no probability"), std::string::npos);
}

TEST_F(SurvivalQueueTest, ThresholdsKeepGrowingByTheLastStep)
{
    struct Case {
        std::string stages;
        std::vector<int> thresholds;
    };
    const Case cases[] = {
        {"<stage points=\"100\"/><stage points=\"250\"/>", {100, 250, 400, 550, 700}},
        {"<stage points=\"100\"/>", {100, 200, 300}},
        // A falling list grows by the last stage's own points.
        {"<stage points=\"100\"/><stage points=\"50\"/>", {100, 50, 100, 150}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stages);
        queue_.SetMode(TCEventQueue::kSurvival);
        queue_.Load(ParseLevel(document_, SurvivalLevel(c.stages)));
        ASSERT_TRUE(queue_.HasThreshold());
        std::vector<int> seen{queue_.GetThreshold()};
        while (seen.size() < c.thresholds.size()) {
            queue_.NextThreshold();
            seen.push_back(queue_.GetThreshold());
        }
        EXPECT_EQ(seen, c.thresholds);
        queue_.Reset();
        EXPECT_EQ(queue_.GetThreshold(), c.thresholds.front());
        queue_.Clear();
    }
}

TEST_F(SurvivalQueueTest, ALevelWithoutStagesHasNoThresholdAndSaysSo)
{
    simtest::LogCapture log;
    queue_.SetMode(TCEventQueue::kSurvival);
    queue_.Load(ParseLevel(document_, SurvivalLevel("")));
    EXPECT_FALSE(queue_.HasThreshold());
    queue_.NextThreshold();
    EXPECT_EQ(queue_.GetThreshold(), 0);
    EXPECT_TRUE(queue_.IsExhausted());
    EXPECT_NE(log.Text().find("ERROR: "), std::string::npos);
}

} // namespace
