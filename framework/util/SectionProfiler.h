#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Nubra {

// Named-section profiler of the main thread. Events are stored while sections are open and
// tallied when the outermost one closes, so the tallying is not counted in the sections.
class SectionProfiler {
public:
    static void StartProfiling(bool paused = false);
    static void BeginSection(const char* label);
    static void EndSection(const char* label);
    static void StopProfiling();
    static bool IsProfiling();
    static std::string GetProfileReport();

    // Opens a section for the lifetime of the scope.
    class Scope {
    public:
        explicit Scope(const char* label) : label_(label) { BeginSection(label); }
        ~Scope() { EndSection(label_); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        const char* label_;
    };

private:
    struct Event {
        const char* label;
        bool begin;
        uint64_t ticks;
    };
    struct Section {
        int32_t calls = 0;
        int32_t nesting = 0;
        uint64_t startTicks = 0;
        uint64_t totalTicks = 0;
        uint64_t longestTicks = 0;
        double totalMs = 0.0;
        double longestMs = 0.0;
    };
    struct State {
        bool enabled = false;
        int depth = 0;
        std::vector<Event> pending;
        std::map<std::string, Section> sections;
        uint64_t startTicks = 0;
        uint64_t processingTicks = 0;
        double totalMs = 0.0;
    };

    static State& Get();
    static void ProcessPending();
};

} // namespace Nubra
