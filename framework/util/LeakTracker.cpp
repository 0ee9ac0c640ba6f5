#include "framework/util/LeakTracker.h"

#include "framework/util/PathUtils.h"
#include "framework/util/StringUtils.h"
#include "platform/DebugOut.h"
#include "platform/Files.h"

#include <ctime>

namespace Nubra {

LeakTracker& LeakTracker::Instance()
{
    static LeakTracker tracker;
    return tracker;
}

void LeakTracker::SetTracking(bool on)
{
    AutoCrit guard(lock_);
    tracking_ = on;
}

void LeakTracker::Add(const void* block, size_t size, const char* file, int line)
{
    AutoCrit guard(lock_);
    if (tracking_)
        blocks_[block] = {size, file ? file : "", line};
}

void LeakTracker::Remove(const void* block)
{
    AutoCrit guard(lock_);
    blocks_.erase(block);
}

std::string LeakTracker::ReportBody()
{
    AutoCrit guard(lock_);
    std::string body;
    size_t total = 0;
    for (const auto& [address, block] : blocks_) {
        body += StrFormat("%s(%d) : Leak %d byte%s\n", block.file.c_str(), block.line, int(block.size),
                          block.size < 2 ? "" : "s");
        total += block.size;
    }
    body += std::string(59, '-') + "\n";
    body += StrFormat("Total Unfreed: %d bytes (%dKB)\n\n", int(total), int(total / 1024));
    return body;
}

LeakTracker::~LeakTracker()
{
    if (reportAtExit_)
        DumpMemoryLeaks();
    tracking_ = false;
}

void DumpMemoryLeaks()
{
    LeakTracker& tracker = LeakTracker::Instance();
    if (!tracker.IsTracking())
        return;
    FILE* file = plat::OpenFile(GetAppDataFolder() + "mem_leaks.txt", "wt");
    if (!file)
        return;
    time_t now = std::time(nullptr);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%a %b %e %H:%M:%S %Y\n", std::localtime(&now));
    std::string heading = StrFormat("Memory Leak Report for %s\n", stamp);
    std::string body = tracker.ReportBody();
    std::fputs(heading.c_str(), file);
    std::fputs(body.c_str(), file);
    std::fclose(file);
    plat::DebugOut("\n" + heading + body);
}

} // namespace Nubra
