#pragma once
#include "platform/SignalSafeText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Nubra {

// Reports the crashes of the process: fatal signals and uncaught C++ exceptions. Inside the
// signal handler only async-signal-safe work is done (the heap may be locked by the crashed
// code): the report is put together in a fixed buffer and written to "crash.txt", then a
// separate viewer process shows it, and the process ends by its signal.
class CrashCatcher {
public:
    // Codes for what the exception table does not name.
    static constexpr uint32_t kAbortCode = 0x40000015;
    static constexpr uint32_t kCppExceptionCode = 0xE06D7363;

    // Takes over the fatal signals (on an alternate stack of the calling thread, so that a
    // stack overflow is reported too) and std::terminate; Uninstall gives them back.
    static void Install();
    static void Uninstall();

    // The folder that receives "crash.txt"; empty means the working directory, which is also
    // where the report goes when the folder cannot be written.
    static void SetReportFolder(const std::string& folder);
    // The program and arguments that show a report; the path of the report written is added
    // as the last argument. The crashed process waits for it. Empty: no viewer.
    static void SetViewer(const std::vector<std::string>& command);

    // Both run inside the signal handler, so they must be async-signal-safe.
    using InfoHook = void (*)(plat::SignalSafeText& report); // the application's own lines
    using AfterReportHook = void (*)();                      // e.g. saving the demo recorded
    static void SetHooks(InfoHook info, AfterReportHook afterReport);
    static void SetAfterReportHook(AfterReportHook afterReport);

    // The table's name of a code, or null.
    static const char* ExceptionName(uint32_t code);
    static uint32_t ExceptionCode(int signal, int signalCode, bool stackOverflow);

    // Writes the report to "crash.txt" (async-signal-safe). The path written, or null.
    static const char* WriteCrashFile(const char* text, size_t size);

    // The viewer's part: shows a report file in the "Fatal Error!" window.
    static void ShowReport(const std::string& path);
    // C++ names demangled and "\r\n" made "\n", for showing.
    static std::string ReadableReport(const std::string& text);
};

} // namespace Nubra
