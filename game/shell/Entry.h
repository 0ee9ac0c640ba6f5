#pragma once

// The program: constructs the game, runs Init and Start once each, deletes it. Returns the
// process's exit code.
int RunGame();

// The process entry: with the crash-report switch it only shows the report named after it (the
// crash catcher starts the program so, because the crashed process can no longer show windows);
// otherwise it installs the crash catcher around RunGame, with `viewer` as the program that shows
// a report.
int RunProgram(int argc, char** argv, const char* viewer = "/proc/self/exe");

// Starts the program as the viewer of a crash report.
inline constexpr const char* kShowCrashReportSwitch = "--show-crash-report";
