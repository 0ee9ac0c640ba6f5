#include "framework/util/LeakTracker.h"
#include "framework/util/PathUtils.h"
#include "framework/util/SectionProfiler.h"
#include "framework/util/Timing.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace Nubra;

TEST(SectionProfiler, ReportsNestedSectionsFromASimulatedClock)
{
    plat::SimulatedClock clock;
    plat::SetClock(&clock);
    SectionProfiler::StartProfiling();
    for (int i = 0; i < 2; ++i) {
        SectionProfiler::Scope outer("Outer");
        clock.AdvanceMs(10);
        {
            SectionProfiler::Scope inner("Inner");
            clock.AdvanceMs(i == 0 ? 5 : 15);
        }
    }
    clock.AdvanceMs(50);
    SectionProfiler::StopProfiling();
    plat::SetClock(nullptr);

    EXPECT_FALSE(SectionProfiler::IsProfiling());
    EXPECT_EQ(SectionProfiler::GetProfileReport(),
              "Total Time: 90.00\n"
              "Inner (2 calls, %22.22 time): 20.00 (10.00 avg, 15.00 longest)\n"
              "Outer (2 calls, %44.44 time): 40.00 (20.00 avg, 25.00 longest)\n");
}

TEST(HighResTimer, MeasuresMillisecondsWhileRunningAndAfterStop)
{
    plat::SimulatedClock clock;
    plat::SetClock(&clock);
    HighResTimer timer;
    timer.Start();
    clock.AdvanceNs(1500000);
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 1.5);
    clock.AdvanceMs(1);
    timer.Stop();
    clock.AdvanceMs(100);
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 2.5);
    plat::SetClock(nullptr);
}

TEST(LeakTracker, ReportListsEachBlockWithSingularAndTotal)
{
    LeakTracker& tracker = LeakTracker::Instance();
    int a = 0, b = 0, c = 0;
    tracker.SetTracking(true);
    tracker.Add(&a, 1, "a.cpp", 10);
    tracker.Add(&b, 2048, "b.cpp", 20);
    tracker.Add(&c, 5, "c.cpp", 30);
    tracker.Remove(&c);
    std::string body = tracker.ReportBody();
    EXPECT_NE(body.find("a.cpp(10) : Leak 1 byte\n"), std::string::npos);
    EXPECT_NE(body.find("b.cpp(20) : Leak 2048 bytes\n"), std::string::npos);
    EXPECT_EQ(body.find("c.cpp"), std::string::npos);
    EXPECT_NE(body.find(std::string(59, '-') + "\nTotal Unfreed: 2049 bytes (2KB)\n\n"), std::string::npos);

    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / "nubra_leaks_test";
    fs::create_directories(folder);
    SetAppDataFolder(folder.string());
    DumpMemoryLeaks();
    SetAppDataFolder("");
    std::stringstream written;
    written << std::ifstream(folder / "mem_leaks.txt").rdbuf();
    EXPECT_EQ(written.str().rfind("Memory Leak Report for ", 0), 0u);
    EXPECT_NE(written.str().find(body), std::string::npos);
    fs::remove_all(folder);

    tracker.Remove(&a);
    tracker.Remove(&b);
    tracker.SetTracking(false);
}
