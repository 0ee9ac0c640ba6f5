// Launch cost of the game: from exec to the first frame it presents in its window, the process's
// peak memory and its threads at that moment, over several runs. "first" starts with no settings
// (the graphics card test runs); "repeat" starts with the settings the first run left.
// The frame is seen through the X server's damage reports on the game's window, so the game is
// measured as it ships. Without a display a private Xvfb is started.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// A virtual X server for the whole program when none is there.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        if (std::getenv("DISPLAY"))
            return;
        int ready[2];
        if (pipe(ready) != 0)
            return;
        server_ = fork();
        if (server_ == 0) {
            close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        char number[16] = {};
        ssize_t got = read(ready[0], number, sizeof(number) - 1);
        close(ready[0]);
        if (got > 0)
            setenv("DISPLAY", (":" + std::string(number, size_t(got) - (number[got - 1] == '\n'))).c_str(), 1);
    }
    ~PrivateDisplay()
    {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }

private:
    pid_t server_ = -1;
};

struct Launch {
    double seconds = 0;  // exec to the first frame; negative when none came
    long peakKb = 0;     // the process's peak resident memory over its whole run
    int threads = 0;     // threads of the process when its first frame was shown
};

int CountThreads(pid_t pid)
{
    std::error_code error;
    int count = 0;
    for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/task", error), end; !error && it != end;
         it.increment(error))
        ++count;
    return count;
}

// Starts the game with its own settings folders, waits for the first damage to a window that
// appears, then asks it to quit (as a desktop's logout would) and collects its resource use.
Launch LaunchOnce(Display* display, const fs::path& home)
{
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);

    Launch result;
    const auto start = Clock::now();
    pid_t game = fork();
    if (game == 0) {
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
        execl(NUBRA_GAME_EXE, NUBRA_GAME_EXE, static_cast<char*>(nullptr));
        _exit(127);
    }

    int damageEvent = 0, damageError = 0;
    XDamageQueryExtension(display, &damageEvent, &damageError);
    const auto deadline = start + std::chrono::seconds(20);
    bool shown = false;
    while (!shown && Clock::now() < deadline) {
        while (!shown && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == root) {
                XDamageCreate(display, event.xmap.window, XDamageReportNonEmpty);
                // A frame may already be there when the window is mapped by a presenting draw.
                XFlush(display);
            } else if (event.type == damageEvent + XDamageNotify) {
                result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
                result.threads = CountThreads(game);
                shown = true;
            }
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 5);
    }
    if (!shown)
        result.seconds = -1;

    kill(game, SIGTERM);
    int status = 0;
    rusage usage{};
    if (wait4(game, &status, 0, &usage) == game)
        result.peakKb = usage.ru_maxrss;
    XSelectInput(display, root, NoEventMask);
    return result;
}

void Startup(benchmark::State& state, bool repeat)
{
    Display* display = XOpenDisplay(nullptr);
    int damageEvent = 0, damageError = 0;
    if (!display || !XDamageQueryExtension(display, &damageEvent, &damageError)) {
        state.SkipWithError("needs an X display with the damage extension");
        if (display)
            XCloseDisplay(display);
        return;
    }
    const fs::path home = fs::temp_directory_path() / ("velmira-startup-" + std::to_string(getpid()));
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all);
    long peakKb = 0;
    int threads = 0;
    for (auto _ : state) {
        if (!repeat) {
            fs::remove_all(home / "config");
            fs::remove_all(home / "data");
        } else if (!fs::exists(home / "config")) {
            LaunchOnce(display, home); // leaves the card test's verdict behind
        }
        Launch launch = LaunchOnce(display, home);
        if (launch.seconds < 0) {
            state.SkipWithError("the game showed no frame within 20 s");
            break;
        }
        state.SetIterationTime(launch.seconds);
        peakKb = std::max(peakKb, launch.peakKb);
        threads = std::max(threads, launch.threads);
    }
    state.counters["peak_MB"] = double(peakKb) / 1024.0;
    state.counters["threads"] = threads;
    fs::remove_all(home);
    XCloseDisplay(display);
}

PrivateDisplay gDisplay;

BENCHMARK_CAPTURE(Startup, first, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(Startup, repeat, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
BENCHMARK_MAIN();
