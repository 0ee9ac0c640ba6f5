#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "BoardFixtures.h"
#include "framework/graphics/Graphics.h"

namespace {

using namespace simtest;

constexpr const char* kTwoQueues = R"(<level><events_queue>
  <time_point time="0.005" type="client" person1="c1"/>
  <time_point time="0" type="client" person1="c2"/>
  <time_point time="0.005" type="family" person1="f1"/>
</events_queue></level>)";

// A board in a scratch folder with a level running on it, shown, at a 10 ms period.
class BoardTest : public ::testing::Test {
protected:
    void Start(int level = 1, bool survival = false)
    {
        board_.SetScene(&scene_);
        board_.StartLevelLoad(level, survival);
        board_.SetShown(true);
        trace_.clear();
    }
    void StartWith(const std::string& text, bool survival = false)
    {
        levels_.WriteLevel(survival ? "e001.xml" : "l001.xml", text);
        Start(1, survival);
    }
    void Click(int x, int y)
    {
        board_.UpdateHover(x, y);
        board_.MouseDown(x, y, 0);
    }
    size_t Count(const std::string& entry) const { return std::count(trace_.begin(), trace_.end(), entry); }

public:
    ClockGuard clock_;
    LevelFolder levels_;
    Trace trace_;
    RecordingHost host_{trace_};
    FakeScene scene_{trace_};
    RecordingBoard board_{host_, trace_};
};

TEST_F(BoardTest, OneStepRunsInItsFixedOrder)
{
    FakeItem& a = scene_.Add("a", {0, 0, 10, 10});
    scene_.Add("b").active = false;
    scene_.Add("c", {20, 0, 10, 10});
    StartWith(kTwoQueues);
    // Two clicks between steps reach the game in click order in the next step.
    Click(25, 5);
    Click(5, 5);
    EXPECT_EQ(trace_, (Trace{"sound click", "sound click"}));
    trace_.clear();

    board_.Update();
    // The queue's clock moved before its events were offered: those at 0.005 s are due.
    EXPECT_EQ(trace_, (Trace{"spawn c1", "spawn f1", "update a", "update c", "logic", "action c", "action a",
                             "is level over"}));
    EXPECT_FLOAT_EQ(gFrameTime, 0.01f);
    EXPECT_FLOAT_EQ(board_.GetLevelTime(), 0.01f);
    EXPECT_FLOAT_EQ(board_.GetEventQueue().GetTime(), 0.01f);
    EXPECT_FLOAT_EQ(gGameClock, 0.01f);
    EXPECT_EQ(a.clicks, 1);
}

TEST_F(BoardTest, TwoHoursOfStepsEndAtTwoHoursOnEveryClock)
{
    StartWith("<level/>");
    constexpr int kSteps = 2 * 3600 * 100; // 10 ms each
    for (int i = 0; i < kSteps; ++i) {
        board_.Update();
        trace_.clear();
    }
    EXPECT_EQ(board_.GetLevelTime(), 7200.0);
    EXPECT_EQ(board_.GetEventQueue().GetTime(), 7200.0);
    EXPECT_EQ(gGameClock, 7200.0);
}

TEST_F(BoardTest, ABlockedStepDoesNothingAndInputIsIgnored)
{
    struct Row {
        const char* name;
        std::function<void(BoardTest&)> block;
    };
    const Row rows[] = {
        {"not running", [](BoardTest& t) { t.board_.AbortLevel(); }},
        {"paused", [](BoardTest& t) { t.board_.Pause(); }},
        {"application inactive", [](BoardTest& t) { t.host_.appActive = false; }},
        {"hidden", [](BoardTest& t) { t.board_.SetShown(false); }},
        {"input locked", [](BoardTest& t) { t.host_.inputLocked = true; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        host_.appActive = true;
        host_.inputLocked = false;
        StartWith(kTwoQueues);
        FakeItem& item = scene_.Add("a", {0, 0, 10, 10});
        board_.UpdateHover(5, 5);
        ASSERT_EQ(board_.GetHoveredItem(), &item);
        item.mouseOver = false;
        host_.cursor.clear();

        row.block(*this);
        gFrameTime = 0.5f;
        board_.Update();
        board_.UpdateHover(5, 5);
        board_.MouseDown(5, 5, 0);

        EXPECT_EQ(gFrameTime, 0.0f);
        EXPECT_EQ(board_.GetLevelTime(), 0.0f);
        EXPECT_EQ(board_.GetEventQueue().GetTime(), 0.0f);
        EXPECT_EQ(gGameClock, 0.0f);
        EXPECT_EQ(item.updates, 0);
        EXPECT_FALSE(item.mouseOver);
        EXPECT_TRUE(host_.cursor.empty());
        EXPECT_EQ(item.clicks, 0);
        EXPECT_EQ(Count("spawn c2"), 0u);
        while (board_.GetPauseCount() > 0)
            board_.Resume();
    }
}

TEST_F(BoardTest, ARefusedArrivalIsOfferedAgainAndHoldsItsQueue)
{
    StartWith(kTwoQueues);
    board_.spawnAccepts = false;
    board_.Update();
    board_.Update();
    EXPECT_EQ(Count("spawn c1"), 2u);
    EXPECT_EQ(Count("spawn f1"), 2u);
    EXPECT_EQ(Count("spawn c2"), 0u) << "a due event waits behind the refused one";
    board_.spawnAccepts = true;
    board_.Update();
    board_.Update();
    EXPECT_EQ(Count("spawn c2"), 1u);
    EXPECT_FLOAT_EQ(board_.GetProgress(), 1.0f);
}

TEST_F(BoardTest, TheLevelEndsTwoSecondsOfGameClockAfterItsEndIsSeen)
{
    scene_.Add("a");
    StartWith("<level/>");
    board_.levelOver = true;
    int steps = 0;
    while (Count("after result") == 0 && steps < 1000) {
        board_.Update();
        ++steps;
    }
    for (int i = 0; i < 10; ++i)
        board_.Update();

    EXPECT_EQ(Count("level end"), 1u);
    EXPECT_EQ(Count("is level over"), 1u);
    EXPECT_EQ(Count("after result"), 1u);
    EXPECT_GE(board_.clockAfterResult, board_.clockAtLevelEnd + 2.0f);
    EXPECT_LE(board_.clockAfterResult, board_.clockAtLevelEnd + 2.0f + 0.0101f);
    // The level left play before its result went on.
    const auto leave = std::find(trace_.begin(), trace_.end(), "leave level");
    const auto deactivate = std::find(trace_.begin(), trace_.end(), "deactivate a");
    ASSERT_NE(leave, trace_.end());
    EXPECT_LT(deactivate, leave);
    EXPECT_LT(leave, std::find(trace_.begin(), trace_.end(), "after result"));
    EXPECT_FALSE(board_.IsRunning());
}

TEST_F(BoardTest, CareerMoneyStaysAtZeroOrAbove)
{
    StartWith("<level/>");
    EXPECT_EQ(host_.textVars["money"], 0) << "a level starts with its money shown";
    EXPECT_EQ(board_.AddMoney(50), 50);
    EXPECT_EQ(board_.AddMoney(-100), 0);
    EXPECT_EQ(board_.AddMoney(INT32_MAX), INT32_MAX);
    EXPECT_EQ(board_.AddMoney(10), INT32_MAX);
    host_.textVars["money"] = -1;
    board_.AddMoney(0);
    EXPECT_EQ(host_.textVars["money"], INT32_MAX);
    EXPECT_EQ(board_.goalChecks, 6);
}

constexpr const char* kSurvivalLevel = R"(<level><stages>
  <stage num="1" points="100"/>
  <stage num="2" points="250"><object name="oven"/><object name="ghost"/></stage>
</stages></level>)";

TEST_F(BoardTest, SurvivalMoneyCompletesDays)
{
    LogCapture log;
    FakeItem& oven = scene_.Add("oven");
    oven.active = false;
    StartWith(kSurvivalLevel, true);
    EXPECT_EQ(Count("next day"), 0u);

    EXPECT_EQ(board_.AddMoney(-10), 0) << "survival money never falls";
    EXPECT_EQ(board_.AddMoney(120), 120);
    EXPECT_EQ(trace_, (Trace{"activate oven", "on_add oven", "next day"}));
    EXPECT_EQ(host_.textVars["normal"], 250);
    EXPECT_EQ(board_.GetStageCounter(), 2);
    EXPECT_FLOAT_EQ(board_.GetProgress(), 20.0f / 150.0f);

    board_.AddMoney(0);
    EXPECT_EQ(Count("next day"), 1u);
    board_.AddMoney(200);
    EXPECT_EQ(Count("next day"), 2u);
    EXPECT_EQ(host_.textVars["normal"], 400) << "past the last stage days grow by the last step";
    EXPECT_FLOAT_EQ(board_.GetProgress(), 0.0f) << "no stage record for day 3";
    EXPECT_NE(log.Text().find("ERROR: Item 'ghost' not found"), std::string::npos);
}

TEST_F(BoardTest, ASurvivalLevelWithoutStagesNeverCompletesADay)
{
    LogCapture log;
    StartWith("<level/>", true);
    board_.AddMoney(1000);
    EXPECT_EQ(Count("next day"), 0u);
    EXPECT_NE(log.Text().find("ERROR: "), std::string::npos);
}

TEST_F(BoardTest, PausesNest)
{
    StartWith("<level/>");
    board_.Pause();
    board_.Pause();
    board_.Resume();
    EXPECT_EQ(trace_, (Trace{"pause sounds game", "on pause"}));
    board_.Resume();
    EXPECT_EQ(trace_, (Trace{"pause sounds game", "on pause", "resume sounds game", "on resume"}));

    // A resume without a pause must not swallow the next pause.
    trace_.clear();
    board_.Resume();
    board_.Pause();
    EXPECT_EQ(trace_, (Trace{"pause sounds game", "on pause"}));
    EXPECT_FALSE(board_.CanHandleInput());
}

TEST_F(BoardTest, HoverFindsTheFirstPickableHitAndClicksNeedAnExactHit)
{
    FakeItem& front = scene_.Add("front", {0, 0, 10, 10});
    FakeItem& back = scene_.Add("back", {0, 0, 20, 20});
    StartWith("<level/>");
    board_.UpdateHover(5, 5);
    EXPECT_EQ(board_.GetHoveredItem(), &front);
    EXPECT_TRUE(front.mouseOver);
    EXPECT_FALSE(back.mouseOver);
    EXPECT_EQ(host_.cursor, "active");

    // Hovered, but the click lands outside its region, or with another button.
    board_.MouseDown(15, 15, 0);
    board_.MouseDown(5, 5, 1);
    EXPECT_EQ(front.clicks + back.clicks, 0);

    front.active = false;
    board_.UpdateHover(5, 5);
    EXPECT_EQ(board_.GetHoveredItem(), &back);
    board_.UpdateHover(50, 50);
    EXPECT_EQ(board_.GetHoveredItem(), nullptr);
    EXPECT_EQ(host_.cursor, "normal");
}

TEST_F(BoardTest, LoadingAnotherLevelUnloadsTheFirst)
{
    scene_.Add("a", {0, 0, 10, 10});
    StartWith(kTwoQueues);
    Click(5, 5);
    levels_.WriteLevel("l002.xml", "<level/>");
    board_.StartLevelLoad(2, false);
    EXPECT_EQ(trace_, (Trace{"sound click", "deactivate a", "leave level", "reset animations", "destroy all",
                             "reset objects", "create objects of root", "apply level", "load game level",
                             "level start"}));
    EXPECT_EQ(board_.GetHoveredItem(), nullptr);
    EXPECT_EQ(board_.GetLevel(), 2);
    EXPECT_TRUE(board_.GetEventQueue().IsExhausted()) << "level 2 has no events";
    EXPECT_FALSE(board_.IsLoading());
    EXPECT_FALSE(host_.loadScreenShown);

    trace_.clear();
    board_.Shutdown();
    EXPECT_EQ(trace_, (Trace{"leave level", "reset animations", "destroy all", "reset objects", "unload config"}));
}

TEST_F(BoardTest, ALevelWithoutItsFileOrSceneStartsNothingAndSendsThePlayerBack)
{
    LogCapture log;
    levels_.Write("scene.xml", "<root/>");
    const std::pair<const char*, const char*> rows[] = {
        {nullptr, "ERROR: Cannot open level 'cfg\\l002.xml'"},
        {"<level doc='cfg\\missing.xml'/>", "ERROR: Cannot open scene 'cfg\\missing.xml'"},
        {"<level/>", "ERROR: The level names no scene"},
        {"<other doc='cfg\\scene.xml'/>", "ERROR: Cannot open level 'cfg\\l002.xml'"},
    };
    for (const auto& [text, error] : rows) {
        StartWith("<level doc='cfg\\scene.xml'/>");
        if (text)
            levels_.Write("l002.xml", text);
        board_.StartLevelLoad(2, false);
        EXPECT_FALSE(board_.IsRunning()) << error;
        EXPECT_FALSE(board_.IsLoading());
        EXPECT_FALSE(host_.loadScreenShown);
        EXPECT_EQ(Count("load game level") + Count("level start") + Count("level end"), 0u) << error;
        EXPECT_NE(log.Text().find(error), std::string::npos) << error;
        std::filesystem::remove("cfg/l002.xml");
    }
    EXPECT_EQ(host_.failedLoads, 4);
}

TEST_F(BoardTest, TheLevelsSceneIsMadeBeforeTheGamesPart)
{
    levels_.Write("scene.xml", "<root><objects/></root>");
    StartWith("<level doc='cfg\\scene.xml'/>");
    board_.StartLevelLoad(1, false);
    EXPECT_EQ(trace_, (Trace{"leave level", "reset animations", "destroy all", "reset objects",
                             "create objects of root", "apply level", "load game level", "level start"}));

    levels_.Write("l002.xml", "<level doc='cfg\\missing.xml'/>");
    board_.StartLevelLoad(2, false);
    EXPECT_EQ(std::count(trace_.begin(), trace_.end(), "apply level"), 1) << "no scene, no objects";
    EXPECT_FALSE(board_.IsRunning());
}

TEST_F(BoardTest, AHandBackWithoutALoadStartsNothing)
{
    board_.OnLevelLoaded();
    EXPECT_FALSE(board_.IsRunning());
    EXPECT_EQ(Count("level start"), 0u);
}

class FakePart : public TCBoardPart {
public:
    FakePart(Trace& trace, std::string name, bool ownerVisible, bool drawable)
        : trace_(trace), name_(std::move(name)), ownerVisible_(ownerVisible), drawable_(drawable)
    {
    }
    bool IsOwnerVisible() const override { return ownerVisible_; }
    bool IsDrawable() const override { return drawable_; }
    void Draw(Nubra::Graphics&) override { trace_.push_back("draw " + name_); }
    Nubra::Rect GetOutline() const override { return {0, 0, 1, 1}; }

private:
    Trace& trace_;
    std::string name_;
    bool ownerVisible_, drawable_;
};

class FakeZOrder : public TCZOrder {
public:
    explicit FakeZOrder(Trace& trace) : trace_(trace)
    {
        parts_.push_back(std::make_unique<FakePart>(trace, "shown", true, true));
        parts_.push_back(std::make_unique<FakePart>(trace, "owner hidden", false, true));
        parts_.push_back(std::make_unique<FakePart>(trace, "no image", true, false));
    }
    void Rebuild() override
    {
        trace_.push_back("rebuild");
        order_.clear();
        for (auto& part : parts_)
            order_.push_back(part.get());
    }
    const std::vector<TCBoardPart*>& GetOrder() const override { return order_; }
    void Clear() override { order_.clear(); }

private:
    Trace& trace_;
    std::vector<std::unique_ptr<FakePart>> parts_;
    std::vector<TCBoardPart*> order_;
};

class OverlayBoard : public RecordingBoard {
public:
    using RecordingBoard::RecordingBoard;
    bool IsOverlayVisible() const override { return overlay; }
    bool overlay = false;
};

TEST(BoardDrawTest, PartsDrawInTheSolversOrderRebuiltOnlyWhenDirty)
{
    Trace trace;
    TCHeadlessBoardHost host;
    OverlayBoard board(host, trace);
    board.SetZOrder(std::make_unique<FakeZOrder>(trace));
    Nubra::Graphics graphics;
    board.Draw(graphics);
    board.Draw(graphics);
    board.MarkZOrderDirty();
    board.Draw(graphics);
    EXPECT_EQ(trace, (Trace{"rebuild", "draw shown", "draw shown", "rebuild", "draw shown"}));

    trace.clear();
    board.overlay = true;
    board.Draw(graphics);
    EXPECT_TRUE(trace.empty());
}

TEST(BoardWatchTest, WatchLinesExistOnlyInDeveloperMode)
{
    Trace trace;
    TCHeadlessBoardHost host;
    RecordingBoard board(host, trace);
    board.AddDebugWatch("n", 5);
    EXPECT_TRUE(board.GetDebugWatches().empty());

    LogCapture developerMode;
    board.AddDebugWatch("n", 5);
    board.AddDebugWatch("f", 1.5f);
    board.AddDebugWatch("b", true);
    board.AddDebugWatch("s", std::string("text"));
    const std::map<std::string, std::string> expected{
        {"n", "n: 5"}, {"f", "f:  1.50"}, {"b", "b: 1"}, {"s", "s: text"}};
    EXPECT_EQ(board.GetDebugWatches(), expected);
}

} // namespace
