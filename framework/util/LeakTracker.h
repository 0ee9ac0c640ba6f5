#pragma once
#include <cstddef>
#include <map>
#include <string>

#include "framework/util/CriticalSection.h"

namespace Nubra {

// Remembers the blocks a debugging build hands to it and reports those never given back.
class LeakTracker {
public:
    static LeakTracker& Instance();

    void SetTracking(bool on);
    bool IsTracking() const { return tracking_; }
    void SetReportAtExit(bool on) { reportAtExit_ = on; }

    void Add(const void* block, size_t size, const char* file, int line);
    void Remove(const void* block);

    // The report text that follows the heading line.
    std::string ReportBody();

    ~LeakTracker();

private:
    struct Block {
        size_t size;
        std::string file;
        int line;
    };
    CriticalSection lock_;
    std::map<const void*, Block> blocks_;
    bool tracking_ = false;
    bool reportAtExit_ = false;
};

// Writes "mem_leaks.txt" in the data folder and to the debugger output; only while tracking.
void DumpMemoryLeaks();

} // namespace Nubra
