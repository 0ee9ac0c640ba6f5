// The depth order of a crowded cafe floor rebuilt while one walker moves, as the board does in
// every step in which something walks.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <random>
#include <string>

#include "game/sim/TCItemList.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCZOrderSolver.h"

namespace {

// Objects of three parts each: a floor line, a depth child of it and one more line; their
// lines 40 to 240 pixels wide, anywhere on the screen, some sloping.
std::string Scene(int parts)
{
    std::mt19937 random(11);
    auto between = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::string text = "<root><objects>";
    for (int object = 0; object * 3 < parts; ++object) {
        text += "<object class='item' name='o" + std::to_string(object) + "'>";
        for (const char* name : {"body", "top"}) {
            const int x = between(0, 900), y = between(100, 760), width = between(40, 240), slope = between(-30, 30);
            text += std::string("<part name='") + name + "' order0_x='" + std::to_string(x) + "' order0_y='" +
                    std::to_string(y) + "' order1_x='" + std::to_string(x + width / 2) + "' order1_y='" +
                    std::to_string(y + slope) + "' order2_x='" + std::to_string(x + width) + "' order2_y='" +
                    std::to_string(y) + "'/>";
        }
        text += "<part name='shade' parent_z='body'/></object>";
    }
    return text + "<object class='item' name='boss'><part name='body'/></object></objects></root>";
}

void BM_RebuildWithOneWalker(benchmark::State& state)
{
    TCItemList items;
    pugi::xml_document scene;
    scene.load_string(Scene(int(state.range(0))).c_str());
    items.CreateObjects(scene.child("root"));
    TCItemPart& feet = *items.Find("boss")->GetParts()[0];
    TCZOrderSolver solver(items);
    int step = 0;
    for (auto _ : state) {
        const int x = 100 + step % 800, y = 200 + (step * 7) % 500;
        feet.SetFloorLine({{{x - 20, y}, {x, y}, {x + 20, y}}});
        solver.Rebuild();
        benchmark::DoNotOptimize(solver.GetOrder().data());
        ++step;
    }
    state.counters["parts"] = double(solver.GetOrder().size());
}
BENCHMARK(BM_RebuildWithOneWalker)->Arg(300)->Arg(900)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
