#include "engine/core/Log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "platform/Clock.h"
#include "platform/DebugOut.h"

namespace {

std::atomic<bool> gDeveloperMode{false};
std::atomic<uint32_t> gLogTimeBase{0};

// The loading threads log too: one line at a time.
std::mutex& LogMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::string& LogFile()
{
    static std::string path = "tarrow.log";
    return path;
}

std::string FormatLine(const char* format, va_list args)
{
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    return std::string(text) + "\n";
}

} // namespace

bool IsDeveloperMode() { return gDeveloperMode.load(std::memory_order_acquire); }
void SetDeveloperMode(bool on) { gDeveloperMode.store(on, std::memory_order_release); }

void SetLogFile(const std::string& path)
{
    std::lock_guard lock(LogMutex());
    LogFile() = path;
}

void WriteLog(const char* format, ...)
{
    if (!IsDeveloperMode())
        return;
    va_list args;
    va_start(args, format);
    const std::string line = FormatLine(format, args);
    va_end(args);

    std::lock_guard lock(LogMutex());
    std::FILE* file = std::fopen(LogFile().c_str(), "ab");
    if (!file)
        return;
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
    plat::DebugOut(line);
}

void SetLogTimeBase(uint32_t milliseconds) { gLogTimeBase.store(milliseconds); }

void DebugLogTimed(const char* format, ...)
{
    if (!IsDeveloperMode())
        return;
    va_list args;
    va_start(args, format);
    const std::string line = FormatLine(format, args);
    va_end(args);

    const uint32_t elapsed = plat::NowMs() - gLogTimeBase.load();
    const unsigned hours = elapsed / 3600000, minutes = elapsed / 60000 % 60;
    const double seconds = (elapsed % 60000) / 1000.0;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%02u:%02u:%06.3f] ", hours, minutes, seconds);
    plat::DebugOut(stamp + line);
}
