#include "engine/core/GameClock.h"

#include <mutex>

#include "engine/core/TCTimeSum.h"

float gFrameTime = 0.0f;
double gGameClock = 0.0;

namespace {

struct TimeoutRegistry {
    std::mutex mutex;
    std::list<TCTimeout*> live; // in order of construction
};

// Main thread only; asked outside the registry's lock, since a gate may build timeouts itself.
std::function<bool(int)>& TutorialForbidsGate()
{
    static std::function<bool(int)> forbids;
    return forbids;
}

// Never destroyed: timeouts inside process-wide objects leave it during static destruction.
TimeoutRegistry& Registry()
{
    static auto* registry = new TimeoutRegistry;
    return *registry;
}

constexpr int kActionGameRuns = 7;

TCTimeSum gClockSum;

} // namespace

void SetTutorialGate(std::function<bool(int action)> forbids)
{
    TutorialForbidsGate() = std::move(forbids);
}

bool TutorialForbids(int action)
{
    return TutorialForbidsGate() && TutorialForbidsGate()(action);
}

void AdvanceGameClock()
{
    const bool held = TutorialForbids(kActionGameRuns);
    TimeoutRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    const double before = gGameClock;
    gClockSum.Add(gFrameTime);
    gGameClock = gClockSum.Seconds();
    if (held) {
        for (TCTimeout* timeout : registry.live)
            if (timeout->held_)
                timeout->deadline_ += gGameClock - before;
    }
}

void ResetGameClock()
{
    TimeoutRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    gClockSum.Reset();
    gGameClock = 0.0;
    for (TCTimeout* timeout : registry.live)
        timeout->deadline_ = gGameClock;
}

TCTimeout::TCTimeout(bool held) : held_(held)
{
    std::lock_guard lock(Registry().mutex);
    node_ = Registry().live.insert(Registry().live.end(), this);
}

// A copied owner gets a timeout of its own in the registry.
TCTimeout::TCTimeout(const TCTimeout& other) : TCTimeout(other.held_) { deadline_ = other.deadline_; }

TCTimeout& TCTimeout::operator=(const TCTimeout& other)
{
    held_ = other.held_;
    deadline_ = other.deadline_;
    return *this;
}

TCTimeout::~TCTimeout()
{
    std::lock_guard lock(Registry().mutex);
    Registry().live.erase(node_);
}
