#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "WorkerFixtures.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCLevelGoals.h"

namespace {

using namespace simtest;

using WorkerTest = WorkerWorld;

size_t CountOf(const Trace& trace, const std::string& line) { return size_t(std::count(trace.begin(), trace.end(), line)); }

TEST_F(WorkerTest, TidinessStaysWithinItsBoundsAndFallsOnlyWhenAllowed)
{
    TCWorker* worker = MakeWorker();
    ASSERT_NE(worker, nullptr);
    struct Row {
        const char* what;
        float start, delta;
        bool frozen;
        int forbidden; // a tutorial action held, 0 for none
        float expected;
    };
    const Row rows[] = {
        {"rise capped", 95.0f, 20.0f, false, 0, 100.0f},
        {"fall floored", 5.0f, -20.0f, false, 0, 0.0f},
        {"frozen: no fall", 50.0f, -20.0f, true, 0, 50.0f},
        {"frozen: still rises", 50.0f, 20.0f, true, 0, 70.0f},
        {"tutorial holds the fall", 50.0f, -20.0f, false, 3, 50.0f},
        {"tutorial holds the game", 50.0f, -20.0f, false, 7, 50.0f},
        {"the fall's gate leaves the rise", 50.0f, 20.0f, false, 3, 70.0f},
    };
    for (const Row& row : rows) {
        board_->frozen = false;
        worker->ChangeTidiness(row.start - worker->GetTidiness());
        board_->frozen = row.frozen;
        SetTutorialGate([&row](int action) { return row.forbidden != 0 && (action == row.forbidden || row.forbidden == 7); });
        worker->ChangeTidiness(row.delta);
        EXPECT_FLOAT_EQ(worker->GetTidiness(), row.expected) << row.what;
        SetTutorialGate(nullptr);
    }
}

TEST_F(WorkerTest, SoilingShowsWhatTidinessLacks)
{
    TCWorker* worker = MakeWorker();
    ASSERT_NE(worker, nullptr);
    TCItemPart* soiling = FindItemByName("table01")->FindPart("soiling_table01");
    EXPECT_LE(worker->GetSoilingAlpha(), 1);
    worker->ChangeTidiness(-50.0f);
    EXPECT_EQ(worker->GetSoilingAlpha(), 128);
    EXPECT_NEAR(soiling->GetAlpha(), 128.0f / 255.0f, 1e-6);
    worker->ChangeTidiness(-50.0f);
    EXPECT_EQ(worker->GetSoilingAlpha(), 255);
    // The table without a first floor soiling takes the second.
    EXPECT_NEAR(FindItemByName("table01")->FindPart("soiling_floor02")->GetAlpha(), 1.0f, 1e-6);
}

TEST_F(WorkerTest, ABrokenWorkerKeepsItsRemainingWorkAndFinishesItAfterCleaning)
{
    TCWorker* worker = MakeWorker();
    ASSERT_NE(worker, nullptr);
    FakeHands boss;
    ASSERT_TRUE(worker->OnUse(&boss, false));
    ASSERT_EQ(worker->GetState(), TCWorker::kWorking);
    EXPECT_NEAR(TimeInState(*worker, 10.0f), 2.5f, 0.02f);
    ASSERT_EQ(worker->GetState(), TCWorker::kBroken);
    EXPECT_FALSE(LevelGoals().IsClean());
    Run(*worker, 30.0f);
    EXPECT_EQ(worker->GetState(), TCWorker::kBroken);

    boss.held = "wash";
    ASSERT_TRUE(worker->OnUse(&boss, true));
    ASSERT_TRUE(worker->OnUse(&boss, false));
    EXPECT_FLOAT_EQ(worker->GetTidiness(), 100.0f);
    EXPECT_EQ(worker->GetState(), TCWorker::kWorking);
    EXPECT_EQ(CountOf(trace_, "sound worker_clean"), 1u);
    EXPECT_TRUE(FindItemByName("table01")->FindPart("cleaning_small")->IsShown());
    EXPECT_NEAR(TimeInState(*worker, 10.0f), 1.5f, 0.02f);
    EXPECT_EQ(worker->GetState(), TCWorker::kReady);
    EXPECT_EQ(worker->GetProductSlot(), "0200");
    EXPECT_EQ(CountOf(trace_, "sound worker_broke"), 1u);
    EXPECT_EQ(CountOf(trace_, "sound worker_finish"), 1u);
}

TEST_F(WorkerTest, WorkTimeFollowsTheSpeedUpgrade)
{
    TCWorker* worker = MakeWorker();
    ASSERT_NE(worker, nullptr);
    struct Row {
        bool speed;
        float expected;
    };
    for (const Row& row : {Row{false, 4.0f}, Row{true, 2.0f}}) {
        board_->upgrades.clear();
        if (row.speed)
            board_->upgrades.insert("worker01:speed");
        worker->ApplyUpgrade("");
        EXPECT_FLOAT_EQ(worker->GetWorkTime(), row.expected) << row.speed;
        EXPECT_EQ(worker->HasSpeedUpgrade(), row.speed);
    }
}

TEST_F(WorkerTest, TheTidinessUpgradeSlowsTheFall)
{
    board_->upgrades.insert("worker01:tidiness");
    TCWorker* worker = MakeWorker();
    ASSERT_NE(worker, nullptr);
    FakeHands boss;
    worker->OnUse(&boss, false);
    Run(*worker, 1.0f);
    EXPECT_NEAR(worker->GetTidiness(), 80.0f, 0.1f);
    EXPECT_NEAR(worker->GetWorkProgress(), 0.75f, 0.01f);
}

TEST_F(WorkerTest, TheBossesUseDependsOnTheWorkersStateAndHands)
{
    struct Row {
        const char* what;
        int state;
        const char* held;
        bool accepted;
        int after;
    };
    const Row rows[] = {
        {"wash cleans whatever the state", TCWorker::kWorking, "wash", true, TCWorker::kWorking},
        {"wash cleans a broken worker back to work", TCWorker::kBroken, "wash", true, TCWorker::kWorking},
        {"idle starts working", TCWorker::kIdle, "", true, TCWorker::kWorking},
        {"ready hands over", TCWorker::kReady, "0300", true, TCWorker::kIdle},
        {"broken", TCWorker::kBroken, "", false, TCWorker::kBroken},
        {"working", TCWorker::kWorking, "", false, TCWorker::kWorking},
    };
    TCWorker* worker = MakeWorker();
    ASSERT_NE(worker, nullptr);
    for (const Row& row : rows) {
        worker->SetActive(true);
        worker->SetState(row.state);
        FakeHands boss;
        boss.held = row.held;
        EXPECT_EQ(worker->OnUse(&boss, true), row.accepted) << row.what;
        EXPECT_EQ(worker->GetState(), row.state) << row.what << ": a test changes nothing";
        EXPECT_EQ(worker->OnUse(&boss, false), row.accepted) << row.what;
        EXPECT_EQ(worker->GetState(), row.after) << row.what;
    }
    FakeHands stranger("client01");
    worker->SetState(TCWorker::kIdle);
    EXPECT_FALSE(worker->OnUse(&stranger, true));
    // The table hands the use to its worker.
    FakeHands boss;
    EXPECT_TRUE(FindItemByName("table01")->OnUse(&boss, false));
    EXPECT_EQ(worker->GetState(), TCWorker::kWorking);
}

TEST_F(WorkerTest, TidinessRisesWhileIdleOrReadyOnly)
{
    TCWorker* worker = MakeWorker();
    ASSERT_NE(worker, nullptr);
    worker->ChangeTidiness(-50.0f);
    Run(*worker, 1.0f);
    EXPECT_NEAR(worker->GetTidiness(), 60.0f, 0.1f);
    SetTutorialGate([](int action) { return action == 2; });
    Run(*worker, 1.0f);
    EXPECT_NEAR(worker->GetTidiness(), 60.0f, 0.1f);
    SetTutorialGate(nullptr);
    worker->SetState(TCWorker::kBroken);
    Run(*worker, 1.0f);
    EXPECT_NEAR(worker->GetTidiness(), 60.0f, 0.1f);
}

TEST_F(WorkerTest, AWorkerWithoutARecordStaysOutOfPlay)
{
    TCWorker* worker = MakeWorker("<worker name='worker02'/>");
    ASSERT_NE(worker, nullptr);
    EXPECT_FALSE(worker->IsActive());
    EXPECT_FALSE(worker->HasStatus());
    FakeHands boss;
    EXPECT_FALSE(worker->OnUse(&boss, true));
    Run(*worker, 1.0f);
    EXPECT_NE(log_.Text().find("ERROR: No worker record for 'worker01'"), std::string::npos);
}

TEST_F(WorkerTest, RecordsAreIndexedInReadingOrderAndLevelOverridesAreUndone)
{
    LoadConfig("<workers><worker name='worker01' work_time='4' tidiness_up='1' tidiness_down='2'/>"
               "<worker name='worker02' work_time='6'/></workers>");
    ASSERT_NE(FindWorkerRecord("worker02"), nullptr);
    EXPECT_EQ(FindWorkerRecord("worker01")->index, 1);
    EXPECT_EQ(FindWorkerRecord("worker02")->index, 2);

    pugi::xml_document level;
    ASSERT_TRUE(level.load_string("<level><override_workers><worker name='worker01' work_time='9'/>"
                                  "<worker name='worker01' tidiness_down='5'/>"
                                  "<worker name='nobody' work_time='1'/></override_workers></level>"));
    OverrideWorkers(level.child("level"));
    const TCWorkerRecord& record = *FindWorkerRecord("worker01");
    EXPECT_FLOAT_EQ(record.workTime, 9.0f);
    EXPECT_FLOAT_EQ(record.tidinessUp, 1.0f);
    EXPECT_FLOAT_EQ(record.tidinessDown, 5.0f);
    EXPECT_TRUE(record.hasStartTidiness);
    EXPECT_FLOAT_EQ(record.startTidiness, 100.0f);
    RestoreWorkerOverrides();
    EXPECT_FLOAT_EQ(record.workTime, 4.0f);
    EXPECT_FLOAT_EQ(record.tidinessDown, 2.0f);
    EXPECT_FALSE(record.overridden);
    EXPECT_FLOAT_EQ(FindWorkerRecord("worker02")->workTime, 6.0f);
}

TEST_F(WorkerTest, TheCleanBonusReachesEveryActiveWorker)
{
    TCWorker* worker = MakeWorker();
    ASSERT_NE(worker, nullptr);
    worker->ChangeTidiness(-80.0f);
    ChangeAllTidiness(2, 50.0f);
    EXPECT_FLOAT_EQ(worker->GetTidiness(), 20.0f);
    ChangeAllTidiness(1, 50.0f);
    EXPECT_FLOAT_EQ(worker->GetTidiness(), 70.0f);
    EXPECT_TRUE(FindItemByName("table01")->FindPart("cleaning_small")->IsShown());
}

} // namespace
