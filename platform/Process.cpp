#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

extern char** environ;

namespace plat {

std::vector<std::string> CommandLineArgs()
{
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        args.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

void ExitNow(int code)
{
    std::fflush(nullptr);
    _exit(code);
}

namespace {

pid_t Spawn(const std::vector<std::string>& command, int output)
{
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

} // namespace

std::optional<std::string> RunAndRead(const std::vector<std::string>& command, int timeoutMs)
{
    int pipeEnds[2];
    if (command.empty() || pipe2(pipeEnds, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t pid = Spawn(command, pipeEnds[1]);
    close(pipeEnds[1]);
    if (pid < 0) {
        close(pipeEnds[0]);
        return std::nullopt;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string output;
    bool ended = false;
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd ready{pipeEnds[0], POLLIN, 0};
        const int polled = poll(&ready, 1, int(left));
        if (polled < 0 && errno != EINTR)
            break;
        if (polled <= 0)
            continue;
        char chunk[4096];
        const ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got > 0)
            output.append(chunk, size_t(got));
        ended = got <= 0;
    }
    close(pipeEnds[0]);
    // It may close its output and still go on.
    int status = 0;
    pid_t collected = 0;
    while (ended && (collected = waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < deadline)
        usleep(2000);
    if (collected != pid) {
        kill(pid, SIGKILL);
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}

} // namespace plat
