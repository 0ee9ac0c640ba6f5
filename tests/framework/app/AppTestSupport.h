#pragma once
// Fakes for driving the application object without a person: simulated time, scripted system
// messages, a music player that remembers its volume.
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <unistd.h>

#include "framework/audio/MusicInterface.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/MessageBox.h"

namespace apptest {

// Installs a simulated clock for the scope of a test.
class SimulatedTime {
public:
    explicit SimulatedTime(uint64_t startMs = 0)
    {
        clock.AdvanceNs(startMs * 1000000);
        plat::SetClock(&clock);
    }
    ~SimulatedTime() { plat::SetClock(nullptr); }
    SimulatedTime(const SimulatedTime&) = delete;
    SimulatedTime& operator=(const SimulatedTime&) = delete;

    uint32_t Now() { return clock.NowMs(); }

    plat::SimulatedClock clock;
};

// System messages from a script; counts every poll.
class ScriptedEvents : public plat::IEventSource {
public:
    ScriptedEvents() { plat::SetEventSource(this); }
    ~ScriptedEvents() override { plat::SetEventSource(nullptr); }
    ScriptedEvents(const ScriptedEvents&) = delete;
    ScriptedEvents& operator=(const ScriptedEvents&) = delete;

    bool Poll(plat::Message& out) override
    {
        ++polls;
        if (onPoll)
            onPoll(polls);
        if (pending.empty())
            return false;
        out = pending.front();
        pending.pop_front();
        return true;
    }

    std::deque<plat::Message> pending;
    std::function<void(int)> onPoll;
    int polls = 0;
};

class RecordingMusic : public Nubra::MusicInterface {
public:
    void SetVolume(double volume) override { lastVolume = volume; }
    void StopAllMusic() override { ++stops; }

    double lastVolume = -1.0;
    int stops = 0;
};

// Says every box on standard error, where a death test can read it.
class StderrBox : public plat::IMessageBox {
public:
    StderrBox() { plat::SetMessageBoxService(this); }
    ~StderrBox() override { plat::SetMessageBoxService(nullptr); }
    StderrBox(const StderrBox&) = delete;
    StderrBox& operator=(const StderrBox&) = delete;

    plat::MsgBoxResult Show(const std::string& title, const std::string& text, plat::MsgBoxButtons,
                            plat::MsgBoxIcon) override
    {
        std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
        return plat::MsgBoxResult::Ok;
    }
};

// A product name no other test or process shares, so single-instance locks do not collide.
inline std::string UniqueProduct(const std::string& base)
{
    return base + "-" + std::to_string(getpid());
}

} // namespace apptest
