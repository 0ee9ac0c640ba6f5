// The cost of system-font text per draw: measuring, the image road (two renders, the alpha
// recovery and a new image each time) and writing straight into surface pixels.
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/GlyphCompositor.h"
#include "framework/text/SysFont.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace Nubra;

namespace {

const std::wstring kLine = L"Money: 12,345   Level 7 - Expert goal reached!";

void BM_StringWidth(benchmark::State& state)
{
    SysFont font("Arial", 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(font.StringWidth(kLine));
}
BENCHMARK(BM_StringWidth);

void BM_TextImage(benchmark::State& state)
{
    SysFont font("Arial", 10);
    font.drawShadow = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(font.RenderTextImage(kLine, Color(255, 220, 0)));
}
BENCHMARK(BM_TextImage)->Arg(0)->Arg(1)->ArgName("shadow");

void BM_TextOnSurface(benchmark::State& state)
{
    SysFont font("Arial", 10);
    std::vector<uint32_t> pixels(1024 * 32, 0);
    PixelRows rows = PixelRows::Words(pixels.data(), 1024, 32);
    Graphics g;
    for (auto _ : state) {
        font.DrawStringOnSurface(rows, &g, 4, 20, kLine, Color(255, 220, 0), Rect(0, 0, 1024, 32));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOnSurface);

} // namespace

BENCHMARK_MAIN();
