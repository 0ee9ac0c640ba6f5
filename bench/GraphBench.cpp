// The cost of one route search: on a cafe-sized floor graph and on a 20 x 20 grid.
#include "game/sim/TCGraphData.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <string>

namespace {

std::string Point(const std::string& name, int x, int y)
{
    return "<point name=\"" + name + "\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"/>";
}

std::string Edge(const std::string& a, const std::string& b) { return "<edge p1=\"" + a + "\" p2=\"" + b + "\"/>"; }

std::string Name(int column, int row) { return "p" + std::to_string(column) + "_" + std::to_string(row); }

// A grid of columns x rows points, each joined to its right and lower neighbours.
std::string Grid(int columns, int rows)
{
    std::string points, edges;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            points += Point(Name(column, row), column * 40, row * 30);
            if (column + 1 < columns)
                edges += Edge(Name(column, row), Name(column + 1, row));
            if (row + 1 < rows)
                edges += Edge(Name(column, row), Name(column, row + 1));
        }
    return "<graph><points>" + points + "</points><edges>" + edges + "</edges></graph>";
}

// A cafe floor: an aisle of eight points with a table place and a service place off each.
std::string Cafe()
{
    std::string points, edges;
    for (int i = 0; i < 8; ++i) {
        const std::string aisle = "aisle" + std::to_string(i);
        points += Point(aisle, 100 + i * 80, 300);
        points += Point("table" + std::to_string(i), 100 + i * 80, 220);
        points += Point("counter" + std::to_string(i), 100 + i * 80, 420);
        edges += Edge(aisle, "table" + std::to_string(i));
        edges += Edge(aisle, "counter" + std::to_string(i));
        if (i > 0)
            edges += Edge("aisle" + std::to_string(i - 1), aisle);
    }
    return "<graph><points>" + points + "</points><edges>" + edges + "</edges></graph>";
}

void Search(benchmark::State& state, const std::string& graph, const std::string& from, const std::string& to)
{
    pugi::xml_document document;
    document.load_string(graph.c_str());
    TCGraphData data;
    data.Load(document.child("graph"));
    for (auto _ : state)
        benchmark::DoNotOptimize(data.FindRoute(from, to));
    if (data.GetSegments().empty())
        state.SkipWithError("no route");
}

void BM_SearchCafe(benchmark::State& state) { Search(state, Cafe(), "table0", "counter7"); }
BENCHMARK(BM_SearchCafe)->Unit(benchmark::kMicrosecond);

void BM_SearchGrid400(benchmark::State& state) { Search(state, Grid(20, 20), Name(0, 0), Name(19, 19)); }
BENCHMARK(BM_SearchGrid400)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
