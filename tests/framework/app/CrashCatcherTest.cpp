#include "framework/app/CrashCatcher.h"

#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Nubra::CrashCatcher;

namespace {

// The faults themselves: kept out of the sanitisers' reach so that the signal is the real one.

__attribute__((noinline, no_sanitize("address", "undefined"))) void WriteThroughNull()
{
    volatile int* volatile pointer = nullptr;
    *pointer = 1;
}

__attribute__((noinline, no_sanitize("undefined"))) void DivideByZero()
{
    volatile int zero = 0;
    volatile int dividend = 7;
    volatile int quotient = dividend / zero;
    (void)quotient;
}

__attribute__((noinline, no_sanitize("address"))) int Recurse(int depth)
{
    volatile char frame[512];
    frame[0] = char(depth);
    if (depth == -1)
        return 0;
    return Recurse(depth + 1) + frame[0];
}

void OverflowTheStack()
{
    Recurse(0);
}

void Throw()
{
    throw std::runtime_error("boom");
}

void ThrowPastNoexcept() noexcept
{
    Throw();
}

void Abort()
{
    std::abort();
}

std::string ReadFile(const fs::path& path)
{
    std::ostringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

char gMarkerPath[512];

void AddGameLines(plat::SignalSafeText& report)
{
    report.Add("Level: 3\r\n");
}

void TouchMarker()
{
    plat::WriteFileSignalSafe(gMarkerPath, "saved", 5);
}

bool DiedAnyway(int status)
{
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

class CrashCatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("nubra_crash_" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // In the dying child.
    void InstallHere() const
    {
        CrashCatcher::SetReportFolder(folder_.string());
        CrashCatcher::Install();
    }
    std::string Report() const { return ReadFile(folder_ / "crash.txt"); }

    fs::path folder_;
};

} // namespace

TEST_F(CrashCatcherTest, ReportsEachKindOfCrashAndDiesByItsSignal)
{
    struct Case {
        const char* name;
        void (*crash)();
        int signal;
        const char* headline;
        const char* alsoContains;
    } cases[] = {
        {"null write", WriteThroughNull, SIGSEGV, "Exception: Access Violation (code 0xc0000005) at address ", ""},
        {"division", DivideByZero, SIGFPE, "Exception: Integer Divide by Zero (code 0xc0000094) at address ", ""},
        {"stack overflow", OverflowTheStack, SIGSEGV, "Exception: Stack Overflow (code 0xc00000fd) at address ", ""},
        {"uncaught exception", ThrowPastNoexcept, SIGABRT, "Unknown exception: (code 0xe06d7363) at address ",
         "\r\nC++ Exception: std::runtime_error: boom\r\n"},
        {"abort", Abort, SIGABRT, "Unknown exception: (code 0x40000015) at address ", ""},
    };
    for (const Case& c : cases) {
        fs::remove(folder_ / "crash.txt");
        EXPECT_EXIT(
            {
                InstallHere();
                c.crash();
            },
            ::testing::KilledBySignal(c.signal), "")
            << c.name;
        std::string report = Report();
        EXPECT_EQ(report.rfind(c.headline, 0), 0u) << c.name << ":\n" << report;
        // The walk starts at the faulting address that the headline names.
        std::smatch headline;
        ASSERT_TRUE(std::regex_search(report, headline, std::regex("at address ([0-9A-F]+) in thread [0-9A-F]+\r\n")))
            << c.name;
        EXPECT_NE(report.find("\r\n\r\n" + headline[1].str() + " "), std::string::npos) << c.name << ":\n" << report;
        EXPECT_NE(report.find("\r\nModule: "), std::string::npos) << c.name;
        EXPECT_NE(report.find("Flags:"), std::string::npos) << c.name;
        EXPECT_NE(report.find("\r\nOS Ver: Linux "), std::string::npos) << c.name;
        EXPECT_NE(report.find(c.alsoContains), std::string::npos) << c.name;
    }
}

TEST_F(CrashCatcherTest, RunsTheHooksAndTheViewerBeforeDying)
{
    std::string marker = (folder_ / "demo.dmo").string();
    ASSERT_LT(marker.size(), sizeof gMarkerPath);
    std::copy(marker.begin(), marker.end() + 1, gMarkerPath);
    EXPECT_EXIT(
        {
            CrashCatcher::SetViewer({"/bin/sh", "-c", "cp \"$1\" \"$1.seen\"", "viewer"});
            CrashCatcher::SetHooks(AddGameLines, TouchMarker);
            InstallHere();
            WriteThroughNull();
        },
        ::testing::KilledBySignal(SIGSEGV), "");
    std::string report = Report();
    EXPECT_NE(report.find("\r\nLevel: 3\r\n"), std::string::npos) << report;
    EXPECT_EQ(ReadFile(folder_ / "crash.txt.seen"), report);
    EXPECT_EQ(ReadFile(marker), "saved");
}

TEST_F(CrashCatcherTest, FallsBackToTheWorkingDirectory)
{
    EXPECT_EXIT(
        {
            if (chdir(folder_.c_str()) != 0)
                _exit(3);
            CrashCatcher::SetReportFolder((folder_ / "missing").string());
            CrashCatcher::Install();
            WriteThroughNull();
        },
        ::testing::KilledBySignal(SIGSEGV), "");
    EXPECT_NE(Report().find("Access Violation"), std::string::npos);
}

TEST_F(CrashCatcherTest, UninstallGivesTheSignalsBack)
{
    EXPECT_EXIT(
        {
            InstallHere();
            CrashCatcher::Uninstall();
            WriteThroughNull();
        },
        DiedAnyway, "");
    EXPECT_FALSE(fs::exists(folder_ / "crash.txt"));
}

TEST(CrashCatcher, SignalsMapToTheTableCodes)
{
    struct Case {
        int signal;
        int signalCode;
        bool nearStack;
        const char* name;
    } cases[] = {
        {SIGSEGV, SEGV_MAPERR, false, "Access Violation"},
        {SIGSEGV, SEGV_MAPERR, true, "Stack Overflow"},
        {SIGBUS, BUS_ADRALN, false, "Data Type Misalignment"},
        {SIGBUS, BUS_ADRERR, false, "In Page Error"},
        {SIGFPE, FPE_INTDIV, false, "Integer Divide by Zero"},
        {SIGFPE, FPE_INTOVF, false, "Integer Overflow"},
        {SIGFPE, FPE_FLTDIV, false, "Divide by Zero"},
        {SIGFPE, FPE_FLTOVF, false, "Float Overflow"},
        {SIGFPE, FPE_FLTUND, false, "Float Underflow"},
        {SIGFPE, FPE_FLTRES, false, "Float Inexact Result"},
        {SIGFPE, FPE_FLTINV, false, "Float Invalid Operation"},
        {SIGFPE, FPE_FLTSUB, false, "Array Bounds Exceeded"},
        {SIGILL, ILL_ILLOPC, false, "Illegal Instruction"},
        {SIGILL, ILL_PRVOPC, false, "Privileged Instruction"},
        {SIGTRAP, TRAP_BRKPT, false, "Breakpoint"},
    };
    for (const Case& c : cases) {
        const char* name = CrashCatcher::ExceptionName(CrashCatcher::ExceptionCode(c.signal, c.signalCode, c.nearStack));
        EXPECT_STREQ(name, c.name) << c.signal << "/" << c.signalCode;
    }
    EXPECT_EQ(CrashCatcher::ExceptionName(CrashCatcher::ExceptionCode(SIGABRT, SI_USER, false)), nullptr);
    EXPECT_EQ(CrashCatcher::ExceptionName(CrashCatcher::kCppExceptionCode), nullptr);
    EXPECT_STREQ(CrashCatcher::ExceptionName(0), "Wait 0");
    EXPECT_STREQ(CrashCatcher::ExceptionName(0xC000013A), "Ctrl+C Exit");
}

TEST(CrashCatcher, ViewerShowsTheReportReadablyWithOnlyCloseNow)
{
    std::string path = fs::temp_directory_path() / ("nubra_view_" + std::to_string(getpid()) + ".txt");
    std::ofstream(path, std::ios::binary) << "Exception: Access Violation\r\n"
                                             "00000000004010AA _ZN5Nubra6Buffer9WriteByteEh+1A\r\n"
                                             "00000000004010BB /x/_Zfoo.so+2\r\n"
                                             "00000000004010CC _Znot+a+name\r\n";
    plat::FakeMessageBox box;
    plat::SetMessageBoxService(&box);
    CrashCatcher::ShowReport(path);
    plat::SetMessageBoxService(nullptr);
    fs::remove(path);

    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "Fatal Error!");
    EXPECT_EQ(box.shown[0].buttons, plat::MsgBoxButtons::CloseNow);
    EXPECT_EQ(box.shown[0].text, "Exception: Access Violation\n"
                                 "00000000004010AA Nubra::Buffer::WriteByte(unsigned char)+1A\n"
                                 "00000000004010BB /x/_Zfoo.so+2\n"
                                 "00000000004010CC _Znot+a+name\n");
}
