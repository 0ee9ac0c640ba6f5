#pragma once
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <set>
#include <string>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "game/sim/TCIHands.h"
#include "game/sim/TCWorker.h"

namespace simtest {

// A board that answers the freeze and the owned upgrades as the test sets them.
class CafeTestBoard : public RecordingBoard {
public:
    using RecordingBoard::RecordingBoard;
    bool IsFrozen() const override { return frozen; }
    bool IsUpgradeActive(const std::string& object, const std::string& name) const override
    {
        return upgrades.count(object + ":" + name) > 0;
    }
    bool frozen = false;
    std::set<std::string> upgrades;
};

// The boss as the worker sees it: what its hands hold.
class FakeHands : public TCItem, public TCIHands {
public:
    explicit FakeHands(std::string name = "boss") { name_ = std::move(name); }
    const std::string& GetHandItem(int hand) const override { return hand == kSecondary ? held : primary; }
    void EmptyHand(int) override {}
    std::string primary;
    std::string held;
};

// A worker "worker01" at its table, from the configuration given, with a board around it.
class WorkerWorld : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        board_ = std::make_unique<CafeTestBoard>(host_, trace_);
    }
    void TearDown() override
    {
        GetItemList().DestroyAll();
        ClearWorkers();
        board_.reset();
        ItemWorld::TearDown();
    }
    static void LoadConfig(const std::string& workers)
    {
        pugi::xml_document config;
        ASSERT_TRUE(config.load_string(("<root>" + workers + "</root>").c_str()));
        LoadWorkers(config.child("root"));
    }
    // The default worker needs 4 s of work and breaks after 2.5 s of it.
    TCWorker* MakeWorker(const std::string& record = "<worker name='worker01' work_time='4' tidiness_up='10' "
                                                     "tidiness_down='40' upgrade_work_speed='0.5' "
                                                     "upgrade_tidiness_down='0.5' product='0200'/>")
    {
        LoadConfig("<workers tidiness_g_level='66' tidiness_y_level='33' tidiness_r_level='10'>" + record +
                   "</workers>");
        CreateScene("<object class='worker' name='worker01'/>"
                    "<object class='pickable' name='table01'><part name='soiling_table01'/>"
                    "<part name='soiling_floor02'/><part name='cleaning_small'/></object>");
        ApplyLevel("<object name='worker01'/><object name='table01'/>");
        auto* worker = dynamic_cast<TCWorker*>(FindItemByName("worker01"));
        FindItemByName("table01")->SetActive(true);
        if (worker)
            worker->SetActive(true);
        return worker;
    }
    // Steps of 10 ms of game time, as the board runs them.
    static void Run(TCWorker& worker, float seconds)
    {
        gFrameTime = 0.01f;
        for (int step = 0; step < static_cast<int>(seconds * 100.0f + 0.5f); ++step) {
            AdvanceGameClock();
            worker.Update();
        }
        gFrameTime = 0.0f;
    }
    // Seconds until the worker leaves the state it is in, at most the limit.
    static float TimeInState(TCWorker& worker, float limit)
    {
        const int state = worker.GetState();
        float elapsed = 0.0f;
        while (worker.GetState() == state && elapsed < limit) {
            Run(worker, 0.01f);
            elapsed += 0.01f;
        }
        return elapsed;
    }

    Trace trace_;
    RecordingHost host_{trace_};
    std::unique_ptr<CafeTestBoard> board_;
};

} // namespace simtest
