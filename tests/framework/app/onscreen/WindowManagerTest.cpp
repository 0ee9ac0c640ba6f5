// Under a window manager, which puts a frame around the window: the window comes back where the
// player left it on the next run, not a frame's height further down each time.
#include <gtest/gtest.h>

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "Utf16File.h"
#include "VirtualDisplay.h"
#include "framework/app/WindowTestApp.h"
#include "platform/SettingsStore.h"

// Last: Xlib's macros would rename words of the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;

bool ManagerRunning(Display* display)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &left, &data) == Success
                       && count == 1;
    if (data)
        XFree(data);
    return found;
}

// openbox on the test's display for the life of the object; Running() is false without it.
class WindowManager {
public:
    WindowManager()
    {
        pid_ = fork();
        if (pid_ == 0) {
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
            _exit(127);
        }
        Display* display = XOpenDisplay(nullptr);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (display && !running_ && Clock::now() < deadline && waitpid(pid_, nullptr, WNOHANG) == 0) {
            running_ = ManagerRunning(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (display)
            XCloseDisplay(display);
        // Another manager already on the display answers the check too; ours then gives up at
        // once, and windows mapped later would wait for a manager that is gone.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        running_ = running_ && waitpid(pid_, nullptr, WNOHANG) == 0;
    }
    ~WindowManager()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Running() const { return running_; }

private:
    pid_t pid_ = -1;
    bool running_ = false;
};

// Lets SDL take the window system's news until the condition holds; false when it never did.
bool PumpUntil(const std::function<bool()>& done)
{
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        SDL_PumpEvents();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool Framed(apptest::WindowApp& app) { return app.window.IsShown() && app.window.Borders().top > 0; }

TEST(WindowManager, TheWindowReopensWhereThePlayerLeftItsFrame)
{
    if (!OnVirtualDisplay())
        GTEST_SKIP() << "needs a virtual X display (xvfb-run)";
    WindowManager manager;
    if (!manager.Running())
        GTEST_SKIP() << "needs openbox";
    fixtures::TempFolder settingsFolder("window_manager_settings");
    plat::FileSettingsStore store(settingsFolder.File(""));
    plat::SetSettingsStore(&store);
    const std::string key = "Window Tests\\Managed";

    plat::WindowRect left;
    {
        apptest::WindowApp first("Managed");
        first.registryKey = key;
        first.Init();
        first.window.Show();
        ASSERT_TRUE(PumpUntil([&] { return Framed(first); }));
        first.window.MoveTo(300, 200);
        ASSERT_TRUE(PumpUntil([&] { return first.window.ClientRect().x == 300; }));
        // SDL reports only the player's moves.
        first.Send({{plat::MessageKind::Move, 300, 200}});
        left = first.window.FrameCorner();
        first.Send({{plat::MessageKind::Close}});
    }
    apptest::WindowApp second("Managed");
    second.registryKey = key;
    second.Init();
    second.window.Show();
    ASSERT_TRUE(PumpUntil([&] { return Framed(second); }));
    PumpUntil([&] { return second.window.FrameCorner().x == left.x; });
    EXPECT_EQ(second.window.FrameCorner().x, left.x);
    EXPECT_EQ(second.window.FrameCorner().y, left.y);
    second.Shutdown();
    plat::SetSettingsStore(nullptr);
}

} // namespace
