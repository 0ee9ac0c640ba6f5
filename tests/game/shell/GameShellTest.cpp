#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "engine/core/XmlHelpers.h"
#include "game/shell/Entry.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCProfileStore.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(TCEngine3, GivesTheProductItsIdentityAndAllowsVSyncTiming)
{
    TCEngine3 game;
    EXPECT_EQ(gTCEngine3, &game);
    EXPECT_EQ(gTCEngine, &game);
    EXPECT_EQ(game.productName, "Velmira Cafe");
    EXPECT_EQ(game.title, L"");
    EXPECT_EQ(game.productVersion, "1.0");
    EXPECT_EQ(game.registryKey, "Trilvo Games\\Velmira Cafe");
    EXPECT_FALSE(game.vsyncTimingAllowed);
    game.Init();
    EXPECT_TRUE(game.vsyncTimingAllowed);
}

TEST(TCEngine3, TakesItsTitleFromTheShippedTexts)
{
    const auto previous = std::filesystem::current_path();
    const std::string data = std::string(std::getenv("NUBRA_TEST_DATA")) + "/../data/";
    setenv("VELMIRA_DATA_ROOT", data.c_str(), 1);
    {
        TCEngine3 game;
        for (const char* name : {"cfg\\cfg.xml", "cfg\\ui.xml", "cfg\\effect.xml", "cfg\\loc.xml"})
            EXPECT_TRUE(OpenXmlFile(name)) << name;
        game.Init();
        EXPECT_EQ(game.title, L"Velmira Cafe");
        // The profile store's default rows are texts of the game's table.
        TheProfileStore().ResetHiScores();
        EXPECT_EQ(NameText(TheProfileStore().GetHiScoreTable(true)[0].name), L"Brannock");
        EXPECT_EQ(TheProfileStore().GetHiScoreTable(true)[0].score, 30000);
    }
    TheProfileStore().ResetHiScores();
    EXPECT_EQ(NameText(TheProfileStore().GetHiScoreTable(true)[0].name), L"record_survival_name_01");
    unsetenv("VELMIRA_DATA_ROOT");
    std::filesystem::current_path(previous);
}

// The program in a child process, as a terminal would start it; with a crash-report viewer, the
// way its entry starts it.
pid_t StartGame(int stderrFd, const char* viewer = nullptr)
{
    pid_t pid = fork();
    if (pid == 0) {
        dup2(stderrFd, STDERR_FILENO);
        std::signal(SIGINT, SIG_DFL);
        char name[] = "velmira-cafe";
        char* argv[] = {name, nullptr};
        _exit(viewer ? RunProgram(1, argv, viewer) : RunGame());
    }
    return pid;
}

// The exit code, or -1 when the process did not end in time (it is then killed).
int WaitForExit(pid_t pid, std::chrono::seconds limit)
{
    auto deadline = Clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(10000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Reads from fd until the text has appeared or the time is up.
bool ReadUntil(int fd, const std::string& text, std::string& seen, std::chrono::seconds limit)
{
    auto deadline = Clock::now() + limit;
    while (seen.find(text) == std::string::npos) {
        if (Clock::now() > deadline)
            return false;
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 50) <= 0)
            continue;
        char chunk[512];
        ssize_t got = read(fd, chunk, sizeof(chunk));
        if (got <= 0)
            return false;
        seen.append(chunk, size_t(got));
    }
    return true;
}

TEST(Entry, RunsUntilInterruptedWhileASecondCopyStepsAside)
{
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    pid_t first = StartGame(output[1]);
    ASSERT_GT(first, 0);
    std::string seen;
    bool loaded = ReadUntil(output[0], "Resource Loading Time: ", seen, std::chrono::seconds(10));
    auto running = Clock::now();

    FILE* quiet = std::fopen("/dev/null", "w");
    pid_t second = StartGame(fileno(quiet));
    std::fclose(quiet);
    EXPECT_EQ(WaitForExit(second, std::chrono::seconds(10)), 0);

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    double seconds = std::chrono::duration<double>(Clock::now() - running).count();
    kill(first, SIGINT);
    EXPECT_EQ(WaitForExit(first, std::chrono::seconds(10)), 0);
    close(output[1]);
    ReadUntil(output[0], "\x04", seen, std::chrono::seconds(1)); // the rest, up to the end
    close(output[0]);

    ASSERT_TRUE(loaded) << seen;
    size_t count = seen.find("Update Count  = ");
    ASSERT_NE(count, std::string::npos) << seen;
    int steps = std::stoi(seen.substr(count + 16));
    EXPECT_GE(steps, int(seconds * 50)) << seen;
    EXPECT_NE(seen.find("Seconds       = "), std::string::npos);
}

TEST(Entry, ACrashLeavesItsReportInTheUserFolderAndStartsTheViewer)
{
    TCEngine3 identity;
    std::filesystem::path folder = plat::UserDataDir(identity.makerName, identity.productName);
    std::filesystem::remove(folder / "crash.txt");
    std::filesystem::remove(folder / "crash.txt.seen");
    std::filesystem::path viewer = std::filesystem::temp_directory_path() / "velmira-test-viewer.sh";
    {
        std::ofstream script(viewer);
        // The copy appears whole under its final name, so the test never reads it half written.
        script << "#!/bin/sh\n[ \"$1\" = " << kShowCrashReportSwitch
               << " ] && cp \"$2\" \"$2.part\" && mv \"$2.part\" \"$2.seen\"\n";
    }
    std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);

    int output[2];
    ASSERT_EQ(pipe(output), 0);
    pid_t game = StartGame(output[1], viewer.c_str());
    std::string seen;
    bool loaded = ReadUntil(output[0], "Resource Loading Time: ", seen, std::chrono::seconds(10));
    kill(game, SIGSEGV);
    int status = 0;
    waitpid(game, &status, 0);
    close(output[0]);
    close(output[1]);
    std::filesystem::remove(viewer);

    ASSERT_TRUE(loaded) << seen;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV);
    std::string report = ReadFile(folder / "crash.txt");
    EXPECT_TRUE(report.starts_with("Exception: Access Violation (code 0xc0000005)")) << report;
    // The viewer is started by the dying game and may still be running.
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(folder / "crash.txt.seen") && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(ReadFile(folder / "crash.txt.seen"), report);
}

TEST(Entry, TheViewerSwitchShowsTheReportAndRunsNoGame)
{
    std::filesystem::path report = std::filesystem::temp_directory_path() / "velmira-test-crash.txt";
    std::ofstream(report) << "Exception: Access Violation\r\n";
    plat::FakeMessageBox box;
    plat::SetMessageBoxService(&box);
    std::string program = "velmira-cafe", path = report.string();
    char* argv[] = {program.data(), const_cast<char*>(kShowCrashReportSwitch), path.data(), nullptr};
    int exitCode = RunProgram(3, argv);
    plat::SetMessageBoxService(nullptr);
    std::filesystem::remove(report);

    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "Fatal Error!");
    EXPECT_EQ(box.shown[0].text, "Exception: Access Violation\n");
    EXPECT_EQ(box.shown[0].buttons, plat::MsgBoxButtons::CloseNow);
}

TEST(Entry, AClosedTerminalOrTheQuitKeyEndsTheRunInOrder)
{
    for (int signal : {SIGHUP, SIGQUIT}) {
        int output[2];
        ASSERT_EQ(pipe(output), 0);
        pid_t game = StartGame(output[1]);
        std::string seen;
        bool loaded = ReadUntil(output[0], "Resource Loading Time: ", seen, std::chrono::seconds(10));
        kill(game, signal);
        EXPECT_EQ(WaitForExit(game, std::chrono::seconds(10)), 0) << strsignal(signal);
        close(output[1]);
        ReadUntil(output[0], "\x04", seen, std::chrono::seconds(1));
        close(output[0]);
        ASSERT_TRUE(loaded) << seen;
        EXPECT_NE(seen.find("Update Count  = "), std::string::npos) << strsignal(signal) << ": " << seen;
    }
}

TEST(Entry, WithoutADisplayItSaysSoAndFails)
{
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    pid_t game = fork();
    if (game == 0) {
        for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"})
            unsetenv(name);
        dup2(output[1], STDERR_FILENO);
        _exit(RunGame());
    }
    close(output[1]);
    std::string seen;
    ReadUntil(output[0], "\x04", seen, std::chrono::seconds(10));
    close(output[0]);
    EXPECT_NE(WaitForExit(game, std::chrono::seconds(10)), 0);
    EXPECT_NE(seen.find("no display was found"), std::string::npos) << seen;
}

TEST(Entry, TheDeveloperSwitchStartsTheLogBeforeTheEngine)
{
    const std::filesystem::path log = std::filesystem::path(plat::UserDataDir("", kProductName)) / "tarrow.log";
    std::filesystem::remove(log);
    pid_t game = fork();
    if (game == 0) {
        // No display, so the run ends as soon as the engine tries to open its window.
        for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"})
            unsetenv(name);
        setenv("VELMIRA_DEVELOPER", "1", 1);
        setenv("VELMIRA_DATA_ROOT", "/nonexistent/", 1);
        FILE* quiet = std::fopen("/dev/null", "w");
        dup2(fileno(quiet), STDERR_FILENO);
        _exit(RunGame());
    }
    EXPECT_NE(WaitForExit(game, std::chrono::seconds(10)), -1);
    EXPECT_EQ(ReadFile(log), "WARNING: no usersettings in \"/nonexistent/usersettings.xml\"\n");
    std::filesystem::remove(log);
}

TEST(Entry, TheCardTestSwitchOnlyTestsTheCardAndWritesTheOutcome)
{
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    pid_t test = fork();
    if (test == 0) {
        dup2(output[1], STDOUT_FILENO);
        std::string program = "velmira-cafe", limit = "6", recommended = "14";
        char* argv[] = {program.data(), const_cast<char*>(kTestCardSwitch), limit.data(), recommended.data(), nullptr};
        _exit(RunProgram(4, argv));
    }
    close(output[1]);
    std::string seen;
    ReadUntil(output[0], "\x04", seen, std::chrono::seconds(10));
    close(output[0]);
    EXPECT_EQ(WaitForExit(test, std::chrono::seconds(10)), 0);
    // The dummy driver's software renderer lacks the blend modes the game needs.
    const std::string expected = std::string("Additive blend not supported.") + '\0'
                                 + "Unsupported video card: software" + '\0';
    EXPECT_EQ(seen, expected);
}

} // namespace
