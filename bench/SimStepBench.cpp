// One step of a running cafe level with many objects in play: the board's clocks and queue,
// every object's update and the level logic, as velmira-sim and the game run it 100 times a second.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <string>

#include "game/sim/TCBoardHost.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCWorker.h"

namespace {

class BenchBoard : public TCBoard_Game3 {
public:
    using TCBoard_Game3::TCBoard_Game3;
    // The level as it stands, without a level file: an arrival far ahead keeps it from ending.
    void Begin(pugi::xml_node level)
    {
        GetEventQueue().Load(level);
        StartLevel();
    }
};

// Half the objects are workers at work, half scenery; each has three parts.
std::string Scene(int objects, std::string& workers)
{
    std::string text = "<root><objects>";
    workers = "<root><workers>";
    for (int i = 0; i < objects; ++i) {
        const std::string suffix = std::to_string(i);
        const bool worker = i % 2 == 0;
        const std::string name = (worker ? "worker" : "decor") + suffix;
        text += "<object class='" + std::string(worker ? "worker" : "item") + "' name='" + name +
                "'><part name='a'/><part name='b'/><part name='c'/></object>";
        if (worker)
            workers += "<worker name='" + name + "' work_time='1000' tidiness_up='1' tidiness_down='0.001'/>";
    }
    workers += "</workers></root>";
    return text + "</objects></root>";
}

void BM_SimulationStep(benchmark::State& state)
{
    std::string workersText;
    pugi::xml_document scene, config, level;
    scene.load_string(Scene(int(state.range(0)), workersText).c_str());
    config.load_string(workersText.c_str());
    level.load_string("<level><events_queue><time_point time='1000000' type='client'/></events_queue></level>");
    LoadWorkers(config.child("root"));
    TCHeadlessBoardHost host;
    BenchBoard board(host);
    GetItemList().CreateObjects(scene.child("root"));
    for (const auto& item : GetItemList().GetItems())
        item->LoadSkin(pugi::xml_node());
    board.Begin(level.child("level"));
    for (const auto& item : GetItemList().GetItems())
        if (auto* worker = dynamic_cast<TCWorker*>(item.get()))
            worker->SetState(TCWorker::kWorking);
    if (!board.IsRunning())
        state.SkipWithError("the level did not start");
    for (auto _ : state)
        board.Update();
    if (board.GetLevelTime() <= 0.0f)
        state.SkipWithError("the steps did not run");
    state.counters["objects"] = double(GetItemList().GetItems().size());
    board.Shutdown();
    GetItemList().DestroyAll();
    ClearWorkers();
}
BENCHMARK(BM_SimulationStep)->Arg(50)->Arg(150)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
