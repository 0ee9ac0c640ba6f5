// The program's window on a real X display (a virtual one): input sent through SDL reaches a
// widget by way of the queue, Alt+Enter switches to full screen and back, and closing the
// window ends the run in order.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "VirtualDisplay.h"
#include "Utf16File.h"
#include "framework/app/WindowTestApp.h"
#include "platform/SettingsStore.h"

namespace {

// Runs the real main loop and plays a script from inside it, one step after another, each
// when its condition holds; a step that waits too long ends the run.
class ScriptedRun : public apptest::WindowApp {
public:
    struct Step {
        const char* what;
        std::function<bool()> ready; // null: at once
        std::function<void()> act;
    };

    ScriptedRun() : WindowApp("RealWindow") {}

    void UpdateFrames() override
    {
        WindowApp::UpdateFrames();
        if (next >= steps.size())
            return;
        const auto now = std::chrono::steady_clock::now();
        if (next == 0 && stepStarted == std::chrono::steady_clock::time_point())
            stepStarted = now;
        Step& step = steps[next];
        if (!step.ready || step.ready()) {
            if (step.act)
                step.act();
            ++next;
            stepStarted = now;
        } else if (now - stepStarted > std::chrono::seconds(10)) {
            std::string seen;
            for (const std::string& entry : log)
                if (entry.find(":update") == std::string::npos && entry.find(":draw") == std::string::npos)
                    seen += " [" + entry + "]";
            plat::WindowRect place = window.ClientRect();
            ADD_FAILURE() << "gave up waiting: " << step.what << "; so far:" << seen << "; the window "
                          << (window.IsFullScreen() ? "covers the screen" : "is a window") << " at " << place.x
                          << "," << place.y << " size " << place.width << "x" << place.height;
            Shutdown();
        }
    }
    void ShutdownHook() override { log.push_back("app:shutdown"); }
    void PreTerminate() override { log.push_back("app:preterminate"); }
    void WriteToRegistry() override
    {
        log.push_back("app:settings");
        WindowApp::WriteToRegistry();
    }

    bool Logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }

    std::vector<Step> steps;
    size_t next = 0;
    std::chrono::steady_clock::time_point stepStarted;
};

void Push(SDL_Event event)
{
    if (SDL_PushEvent(&event) != 1)
        ADD_FAILURE() << "SDL refused an event: " << SDL_GetError();
}

void PushKey(ScriptedRun& app, SDL_Keycode key, SDL_Scancode scancode, Uint16 mod, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = SDL_GetWindowID(app.window.Handle());
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    Push(event);
}

void PushClick(ScriptedRun& app, int x, int y)
{
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = SDL_GetWindowID(app.window.Handle());
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = x;
        event.button.y = y;
        Push(event);
    }
}

void PushAltEnter(ScriptedRun& app)
{
    PushKey(app, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT, true);
    PushKey(app, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, true);
    PushKey(app, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, false);
    PushKey(app, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE, false);
}

bool HasSize(ScriptedRun& app, int width, int height)
{
    int w = 0, h = 0;
    SDL_GetWindowSize(app.window.Handle(), &w, &h);
    return w == width && h == height;
}

TEST(RealWindow, InputModeSwitchesAndClosingGoThroughTheRealWindow)
{
    if (!OnVirtualDisplay())
        GTEST_SKIP() << "needs a virtual X display (xvfb-run)";
    fixtures::TempFolder settingsFolder("real_window_settings");
    plat::FileSettingsStore store(settingsFolder.File(""));
    plat::SetSettingsStore(&store);

    {
        ScriptedRun app;
        app.registryKey = "Window Tests\\Real";
        app.steps = {
            {"the window on the screen", [&] { return app.window.IsShown(); },
             [&] {
                 PushClick(app, 100, 80); // the widget takes the focus, then the key
                 PushKey(app, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, true);
             }},
            {"the key and the click at the widget",
             [&] { return app.Logged("probe:keydown 65") && app.Logged("probe:down 100,80 b0 c1"); },
             [&] { PushAltEnter(app); }},
            {"full screen over the whole display",
             [&] { return app.window.IsFullScreen() && HasSize(app, 1280, 1024); }, [&] { PushAltEnter(app); }},
            {"a window again", [&] { return !app.window.IsFullScreen() && HasSize(app, 640, 480); },
             [&] {
                 EXPECT_TRUE(app.windowed);
                 SDL_Event close{};
                 close.type = SDL_WINDOWEVENT;
                 close.window.event = SDL_WINDOWEVENT_CLOSE;
                 close.window.windowID = SDL_GetWindowID(app.window.Handle());
                 Push(close);
             }},
        };
        app.Init();
        ASSERT_TRUE(app.physicallyWindowed);
        app.Start();

        EXPECT_EQ(app.next, app.steps.size());
        EXPECT_TRUE(app.closedByUser);
        EXPECT_FALSE(app.Logged("probe:keydown 13")) << "Alt+Enter is the mode switch, not a key for the game";
        auto at = [&](const char* entry) { return std::find(app.log.begin(), app.log.end(), entry); };
        EXPECT_LT(at("app:shutdown"), at("app:settings"));
        EXPECT_LT(at("app:settings"), at("app:preterminate"));
        EXPECT_NE(at("app:preterminate"), app.log.end());
    }
    EXPECT_EQ(store.Read("SOFTWARE\\Window Tests\\Real", "InProgress"),
              (plat::SettingValue{plat::kSettingDword, {0, 0, 0, 0}}));
    plat::SetSettingsStore(nullptr);
}

} // namespace
