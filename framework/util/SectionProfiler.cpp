#include "framework/util/SectionProfiler.h"

#include "framework/util/StringUtils.h"
#include "framework/util/Timing.h"
#include "platform/Clock.h"

namespace Nubra {
namespace {
double TicksToMs(uint64_t ticks) { return double(ticks) * 1000.0 / double(GetCPUSpeed()); }
} // namespace

SectionProfiler::State& SectionProfiler::Get()
{
    static State state;
    return state;
}

void SectionProfiler::StartProfiling(bool paused)
{
    State& s = Get();
    s = State{};
    s.enabled = !paused;
    s.startTicks = plat::NowNs();
}

void SectionProfiler::BeginSection(const char* label)
{
    State& s = Get();
    if (!s.enabled)
        return;
    ++s.depth;
    s.pending.push_back({label, true, plat::NowNs()});
}

void SectionProfiler::EndSection(const char* label)
{
    State& s = Get();
    if (!s.enabled)
        return;
    s.pending.push_back({label, false, plat::NowNs()});
    if (--s.depth == 0) {
        uint64_t start = plat::NowNs();
        ProcessPending();
        s.processingTicks += plat::NowNs() - start;
    }
}

void SectionProfiler::ProcessPending()
{
    State& s = Get();
    for (const Event& event : s.pending) {
        Section& section = s.sections[event.label];
        if (event.begin) {
            ++section.calls;
            if (++section.nesting == 1)
                section.startTicks = event.ticks;
        } else if (--section.nesting == 0) {
            uint64_t spent = event.ticks - section.startTicks;
            section.totalTicks += spent;
            if (spent > section.longestTicks)
                section.longestTicks = spent;
        }
    }
    s.pending.clear();
}

void SectionProfiler::StopProfiling()
{
    State& s = Get();
    ProcessPending();
    s.enabled = false;
    s.totalMs = TicksToMs(plat::NowNs() - s.startTicks - s.processingTicks);
    for (auto& [label, section] : s.sections) {
        section.totalMs = TicksToMs(section.totalTicks);
        section.longestMs = TicksToMs(section.longestTicks);
    }
}

bool SectionProfiler::IsProfiling() { return Get().enabled; }

std::string SectionProfiler::GetProfileReport()
{
    const State& s = Get();
    std::string report = StrFormat("Total Time: %.2f\n", s.totalMs);
    for (const auto& [label, section] : s.sections) {
        double share = s.totalMs > 0 ? section.totalMs / s.totalMs * 100.0 : 0.0;
        double average = section.calls > 0 ? section.totalMs / section.calls : 0.0;
        report += StrFormat("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", label.c_str(), section.calls,
                            share, section.totalMs, average, section.longestMs);
    }
    return report;
}

} // namespace Nubra
