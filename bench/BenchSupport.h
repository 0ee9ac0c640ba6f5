#pragma once
// Inputs and reporting that the comparison benchmarks share.
#include "framework/graphics/Rect.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace bench {

using Pixels = std::vector<uint32_t>;

constexpr int kSprite = 256;

// A 256 x 256 sprite, about 60% opaque, 30% transparent and 10% partial alpha: a disc whose
// soft edge is some nine pixels wide, over a colour gradient with noise.
inline Pixels TypicalSprite()
{
    std::mt19937 random(7);
    Pixels pixels;
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            const double distance = std::hypot(x - 127.5, y - 127.5);
            const int alpha = std::clamp(int((120.8 - distance) * 255 / 8.9), 0, 255);
            const uint32_t noise = random() & 0x1F;
            pixels.push_back(uint32_t(alpha) << 24 | (uint32_t(x) ^ noise) << 16 | uint32_t(y) << 8 | (0x80 + noise));
        }
    return pixels;
}

// 0xAARRGGBB with each channel multiplied by its alpha, as pixman reads a8r8g8b8.
inline Pixels Premultiplied(const Pixels& pixels)
{
    Pixels out;
    for (uint32_t p : pixels) {
        const uint32_t a = p >> 24;
        auto channel = [&](int shift) { return ((p >> shift & 0xFF) * a + 127) / 255 << shift; };
        out.push_back(a << 24 | channel(16) | channel(8) | channel(0));
    }
    return out;
}

// The n-th place, in turn, of the twelve squares of `size` pixels in a grid four to a row.
inline Nubra::Rect GridPlace(int64_t n, int size = kSprite)
{
    const int slot = int(n % 12);
    return Nubra::Rect(slot % 4 * size, slot / 4 * size, size, size);
}

// Calls draw(n) once per iteration, n counting up, keeps what destination() points at, and
// counts `pixels` a draw.
template <typename Draw, typename Destination>
void RunDraws(benchmark::State& state, int64_t pixels, Draw draw, Destination destination)
{
    int64_t n = 0;
    for (auto _ : state) {
        draw(n++);
        benchmark::DoNotOptimize(destination());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pixels);
}

// Keeps each benchmark's items-per-second rate, for the ratio lines printed after the runs: the
// median's when it repeats.
class RateReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;

    RateReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            auto it = run.counters.find("items_per_second");
            if (it != run.counters.end())
                rates[run.run_name.str()] = it->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace bench
