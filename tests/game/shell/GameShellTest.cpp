#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "game/shell/Entry.h"
#include "game/shell/TCEngine3.h"

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

// The program in a child process, as a terminal would start it.
pid_t StartGame(int stderrFd)
{
    pid_t pid = fork();
    if (pid == 0) {
        dup2(stderrFd, STDERR_FILENO);
        std::signal(SIGINT, SIG_DFL);
        _exit(RunGame());
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

} // namespace
