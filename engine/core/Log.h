#pragma once
#include <cstdint>
#include <string>

// The engine's one diagnostic log. Everything here is dormant unless developer mode is on, which
// the shipped game never turns on. Callers start their lines with "WARNING: ", "ERROR: " or
// "!!!Critical Error".

bool IsDeveloperMode();
void SetDeveloperMode(bool on);

// Where WriteLog appends ("tarrow.log" in the working folder until the engine names its own).
void SetLogFile(const std::string& path);

// Appends one line (at most 1023 characters before its line feed) to the log file and the
// debugger output. Each call opens and closes the file, so the log survives a crash.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The moment, on the process clock, from which DebugLogTimed counts (set when a level has loaded).
void SetLogTimeBase(uint32_t milliseconds);
// "[hh:mm:ss.mmm] line" to the debugger output only.
void DebugLogTimed(const char* format, ...) __attribute__((format(printf, 1, 2)));
