#pragma once

// The program: constructs the game, runs Init and Start once each, deletes it. Returns the
// process's exit code.
int RunGame();

// The process entry: with the crash-report switch it only shows the report named after it (the
// crash catcher starts the program so, because the crashed process can no longer show windows);
// with the card-test switch it only tests the graphics card for the game that started it;
// otherwise it installs the crash catcher around RunGame, and `helper` (the program itself) is
// started with those switches to show a crash report or to test the card in a process of its own.
int RunProgram(int argc, char** argv, const char* helper = "/proc/self/exe");

// Starts the program as the viewer of a crash report.
inline constexpr const char* kShowCrashReportSwitch = "--show-crash-report";
// Starts the program as the graphics card's test, followed by the two video memory limits.
inline constexpr const char* kTestCardSwitch = "--test-card";
