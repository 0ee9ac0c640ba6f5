#pragma once
// The game in its real window, playing a script from inside its own main loop.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/app/AppTestSupport.h"
#include "framework/widgets/Widget.h"
#include "game/shell/TCEngine3.h"

namespace fixtures {

// A folder of the test's own for a file or settings that other tests also write. The profile
// store takes its folder on first use: a program's first test that uses it must make it private.
struct PrivateHome {
    explicit PrivateHome(const char* variable) : name(variable)
    {
        folder = std::filesystem::temp_directory_path() /
                 (std::string("windowed_game_") + variable + std::to_string(getpid()));
        if (const char* value = std::getenv(variable))
            previous = value;
        std::filesystem::create_directories(folder);
        setenv(variable, folder.c_str(), 1);
    }
    // The tests after this one find the environment as it was.
    ~PrivateHome()
    {
        setenv(name, previous.c_str(), 1);
        std::filesystem::remove_all(folder);
    }
    const char* name;
    std::filesystem::path folder;
    std::string previous;
};

// The game of a test in a real window: its own product name, so that no other test's instance
// lock meets it, the software display and the working folder the test chose.
class WindowedGame : public TCEngine3 {
public:
    explicit WindowedGame(const std::string& product)
    {
        productName = apptest::UniqueProduct(product);
        test3D = autoEnable3D = false;
    }
    bool ChangeDirHook(const std::string&) override { return true; }
};

// Each step waits for its condition, then acts; a step that waits longer than the game's patience
// fails the test and ends the run.
class ScriptedGame : public WindowedGame {
public:
    struct Step {
        const char* what;
        std::function<bool()> ready;
        std::function<void()> act; // may be empty
    };

    ScriptedGame(const std::string& product, std::chrono::seconds patience) : WindowedGame(product), patience_(patience) {}

    void UpdateFrames() override
    {
        TCEngine3::UpdateFrames();
        if (Done())
            return;
        const auto now = Clock::now();
        if (stepStarted_ == Clock::time_point())
            stepStarted_ = now;
        Step& step = steps[next_];
        if (step.ready()) {
            if (step.act)
                step.act();
            ++next_;
            stepStarted_ = now;
        } else if (now - stepStarted_ > patience_) {
            ADD_FAILURE() << "gave up waiting for " << step.what;
            next_ = steps.size();
            EndRun();
        }
    }

    // The main loop ends as the system would end it: no question, and nothing saved on the way.
    void EndRun() { TCEngine::Shutdown(); }
    bool Done() const { return next_ >= steps.size(); }

    std::vector<Step> steps;

protected:
    // Where a click at the middle of the widget lands in the window.
    static Nubra::Point MiddleOf(const Nubra::Widget* widget)
    {
        const Nubra::Point origin = widget->GetAbsPos();
        return {origin.x + widget->width / 2, origin.y + widget->height / 2};
    }

private:
    using Clock = std::chrono::steady_clock;

    std::chrono::seconds patience_;
    size_t next_ = 0;
    Clock::time_point stepStarted_;
};

} // namespace fixtures
