#pragma once
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "engine/core/GameClock.h"
#include "engine/core/Log.h"

namespace simtest {

// Turns the developer log on into a private file for one test.
class LogCapture {
public:
    LogCapture()
        : path_(std::filesystem::temp_directory_path() / ("sim_log_" + std::to_string(::getpid()) + ".log"))
    {
        std::filesystem::remove(path_);
        SetLogFile(path_.string());
        SetDeveloperMode(true);
    }
    ~LogCapture()
    {
        SetDeveloperMode(false);
        SetLogFile("tarrow.log");
        std::filesystem::remove(path_);
    }
    std::string Text() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path path_;
};

// Uniform draws given in advance; running out is a fault of the test.
class ScriptedUniform {
public:
    void Give(std::initializer_list<float> values) { values_.insert(values_.end(), values); }
    float operator()()
    {
        if (values_.empty()) {
            ADD_FAILURE() << "more draws than scripted";
            return 0.0f;
        }
        const float value = values_.front();
        values_.pop_front();
        return value;
    }
    size_t Left() const { return values_.size(); }

private:
    std::deque<float> values_;
};

// The game clock and tutorial gate are process-wide: every test starts from a still clock.
class ClockGuard {
public:
    ClockGuard()
    {
        SetTutorialGate(nullptr);
        gFrameTime = 0.0f;
        ResetGameClock();
    }
    ~ClockGuard()
    {
        SetTutorialGate(nullptr);
        gFrameTime = 0.0f;
        ResetGameClock();
    }
};

inline pugi::xml_node ParseLevel(pugi::xml_document& document, const std::string& text)
{
    EXPECT_TRUE(document.load_string(text.c_str()));
    return document.child("level");
}

} // namespace simtest
