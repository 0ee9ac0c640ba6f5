#include "framework/app/CrashCatcher.h"

#include "platform/CrashSupport.h"
#include "platform/MessageBox.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <fstream>
#include <sstream>

namespace Nubra {
namespace {

constexpr char kReportName[] = "crash.txt";
constexpr uintptr_t kStackOverflowReach = 64 * 1024;
constexpr int kMaxViewerArguments = 16;

struct NamedCode {
    uint32_t code;
    const char* name;
};

constexpr NamedCode kExceptionNames[] = {
    {0x40000005, "Segment Notification"},  {0x80000003, "Breakpoint"},
    {0x80000004, "Single step"},           {0x00000000, "Wait 0"},
    {0x00000080, "Abandoned Wait 0"},      {0x000000C0, "User APC"},
    {0x00000102, "Timeout"},               {0x00000103, "Pending"},
    {0x80000001, "Guard Page Violation"},  {0x80000002, "Data Type Misalignment"},
    {0xC0000005, "Access Violation"},      {0xC0000006, "In Page Error"},
    {0xC0000017, "No Memory"},             {0xC000001D, "Illegal Instruction"},
    {0xC0000025, "Noncontinuable Exception"}, {0xC0000026, "Invalid Disposition"},
    {0xC000008C, "Array Bounds Exceeded"}, {0xC000008D, "Float Denormal Operand"},
    {0xC000008E, "Divide by Zero"},        {0xC000008F, "Float Inexact Result"},
    {0xC0000090, "Float Invalid Operation"}, {0xC0000091, "Float Overflow"},
    {0xC0000092, "Float Stack Check"},     {0xC0000093, "Float Underflow"},
    {0xC0000094, "Integer Divide by Zero"}, {0xC0000095, "Integer Overflow"},
    {0xC0000096, "Privileged Instruction"}, {0xC00000FD, "Stack Overflow"},
    {0xC000013A, "Ctrl+C Exit"},
};

// Everything the handler reads is prepared beforehand in fixed storage.
char gReportPath[4096] = "crash.txt";
char gReport[64 * 1024];
char gPendingException[2048]; // the uncaught C++ exception, described by the terminate handler
char gViewerText[8192];
const char* gViewerArgv[kMaxViewerArguments + 2];
int gViewerArgc = 0;
CrashCatcher::InfoHook gInfoHook = nullptr;
CrashCatcher::AfterReportHook gAfterReportHook = nullptr;
std::terminate_handler gPreviousTerminate = nullptr;
bool gInstalled = false;
std::atomic<bool> gReporting{false};

bool NearStack(uintptr_t address, uintptr_t stack)
{
    uintptr_t distance = address > stack ? address - stack : stack - address;
    return distance <= kStackOverflowReach;
}

void AddHeadline(plat::SignalSafeText& report, uint32_t code, uintptr_t address)
{
    if (const char* name = CrashCatcher::ExceptionName(code))
        report.Add("Exception: ").Add(name).Add(" (code 0x");
    else
        report.Add("Unknown exception: (code 0x");
    report.AddHex(code, 1, true).Add(") at address ").AddHex(address, 2 * sizeof(void*));
    report.Add(" in thread ").AddHex(plat::CurrentThreadId()).Add("\r\n");
    if (gPendingException[0] != '\0')
        report.Add("C++ Exception: ").Add(gPendingException).Add("\r\n");
}

void ComposeReport(plat::SignalSafeText& report, uint32_t code, const void* context)
{
    uintptr_t address = plat::WhereInterrupted(context).instruction;
    AddHeadline(report, code, address);
    plat::AddModuleOf(report, address);
    plat::AddRegisters(report, context);
    report.Add("\r\n");
    plat::AddCallStack(report, address);
    report.Add("\r\n");
    plat::AddSystemInfo(report);
    if (gInfoHook)
        gInfoHook(report);
}

void ShowInViewer(const char* reportPath)
{
    if (gViewerArgc == 0 || reportPath == nullptr)
        return;
    gViewerArgv[gViewerArgc] = reportPath;
    gViewerArgv[gViewerArgc + 1] = nullptr;
    plat::RunAndWait(gViewerArgv);
}

void OnFatalSignal(int signal, siginfo_t* info, void* context)
{
    // A second crash while one is reported (another thread, or the report itself) just ends
    // the process.
    if (gReporting.exchange(true)) {
        plat::ReraiseWithDefaultAction(signal);
        return;
    }
    uint32_t code = CrashCatcher::ExceptionCode(
        signal, info->si_code,
        signal == SIGSEGV && NearStack(uintptr_t(info->si_addr), plat::WhereInterrupted(context).stack));
    if (signal == SIGABRT && gPendingException[0] != '\0')
        code = CrashCatcher::kCppExceptionCode;
    plat::SignalSafeText report(gReport, sizeof gReport);
    ComposeReport(report, code, context);
    const char* written = CrashCatcher::WriteCrashFile(report.Data(), report.Size());
    if (gAfterReportHook)
        gAfterReportHook();
    ShowInViewer(written);
    plat::ReraiseWithDefaultAction(signal);
}

std::string Demangle(const char* name)
{
    int status = 0;
    char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && plain ? plain : name;
    std::free(plain);
    return result;
}

// Outside any signal handler: the exception's type and message go into the report that the
// abort after it produces.
[[noreturn]] void OnTerminate()
{
    plat::SignalSafeText text(gPendingException, sizeof gPendingException);
    if (std::type_info* type = abi::__cxa_current_exception_type()) {
        text.Add(Demangle(type->name()).c_str());
        try {
            std::rethrow_exception(std::current_exception());
        } catch (const std::exception& error) {
            text.Add(": ").Add(error.what());
        } catch (...) {
        }
    }
    std::abort();
}

bool IsBlankOrEnd(char c)
{
    return c == '\0' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

void CrashCatcher::Install()
{
    if (gInstalled)
        return;
    plat::PrepareCallStack();
    plat::InstallFatalSignalHandler(OnFatalSignal);
    gPreviousTerminate = std::set_terminate(OnTerminate);
    gPendingException[0] = '\0';
    gReporting = false;
    gInstalled = true;
}

void CrashCatcher::Uninstall()
{
    if (!gInstalled)
        return;
    plat::RestoreFatalSignalHandlers();
    std::set_terminate(gPreviousTerminate);
    gInstalled = false;
}

void CrashCatcher::SetReportFolder(const std::string& folder)
{
    std::string path = kReportName;
    if (!folder.empty())
        path = folder + (folder.back() == '/' ? "" : "/") + kReportName;
    if (path.size() < sizeof gReportPath)
        std::memcpy(gReportPath, path.c_str(), path.size() + 1);
}

void CrashCatcher::SetViewer(const std::vector<std::string>& command)
{
    gViewerArgc = 0;
    size_t used = 0;
    for (const std::string& argument : command) {
        if (gViewerArgc == kMaxViewerArguments || used + argument.size() + 1 > sizeof gViewerText) {
            gViewerArgc = 0; // a cut command would run something else: none at all
            return;
        }
        std::memcpy(gViewerText + used, argument.c_str(), argument.size() + 1);
        gViewerArgv[gViewerArgc++] = gViewerText + used;
        used += argument.size() + 1;
    }
}

void CrashCatcher::SetHooks(InfoHook info, AfterReportHook afterReport)
{
    gInfoHook = info;
    gAfterReportHook = afterReport;
}

void CrashCatcher::SetAfterReportHook(AfterReportHook afterReport) { gAfterReportHook = afterReport; }

const char* CrashCatcher::ExceptionName(uint32_t code)
{
    for (const NamedCode& entry : kExceptionNames)
        if (entry.code == code)
            return entry.name;
    return nullptr;
}

uint32_t CrashCatcher::ExceptionCode(int signal, int signalCode, bool stackOverflow)
{
    switch (signal) {
    case SIGSEGV: return stackOverflow ? 0xC00000FD : 0xC0000005;
    case SIGBUS: return signalCode == BUS_ADRALN ? 0x80000002 : 0xC0000006;
    case SIGILL: return signalCode == ILL_PRVOPC ? 0xC0000096 : 0xC000001D;
    case SIGTRAP: return 0x80000003;
    case SIGFPE:
        switch (signalCode) {
        case FPE_INTDIV: return 0xC0000094;
        case FPE_INTOVF: return 0xC0000095;
        case FPE_FLTDIV: return 0xC000008E;
        case FPE_FLTOVF: return 0xC0000091;
        case FPE_FLTUND: return 0xC0000093;
        case FPE_FLTRES: return 0xC000008F;
        case FPE_FLTSUB: return 0xC000008C;
        default: return 0xC0000090;
        }
    default: return kAbortCode;
    }
}

const char* CrashCatcher::WriteCrashFile(const char* text, size_t size)
{
    if (plat::WriteFileSignalSafe(gReportPath, text, size))
        return gReportPath;
    if (std::strcmp(gReportPath, kReportName) != 0 && plat::WriteFileSignalSafe(kReportName, text, size))
        return kReportName;
    return nullptr;
}

void CrashCatcher::ShowReport(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    plat::ShowMessageBox("Fatal Error!", ReadableReport(text.str()), plat::MsgBoxButtons::CloseNow,
                         plat::MsgBoxIcon::Error);
}

std::string CrashCatcher::ReadableReport(const std::string& text)
{
    std::string readable;
    for (size_t i = 0; i < text.size();) {
        bool startsName = text.compare(i, 2, "_Z") == 0 && (i == 0 || IsBlankOrEnd(text[i - 1]));
        if (startsName) {
            size_t end = i;
            while (end < text.size() && !IsBlankOrEnd(text[end]) && text[end] != '+')
                ++end;
            readable += Demangle(text.substr(i, end - i).c_str());
            i = end;
        } else {
            if (text[i] != '\r')
                readable += text[i];
            ++i;
        }
    }
    return readable;
}

} // namespace Nubra
