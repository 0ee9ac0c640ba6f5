#include "platform/Clock.h"
#include "platform/Replaceable.h"

#include <chrono>
#include <thread>

namespace plat {
namespace {

class SteadyClock : public IClock {
public:
    uint32_t NowMs() override { return static_cast<uint32_t>(NowNs() / 1000000); }
    uint64_t NowNs() override
    {
        auto since = std::chrono::steady_clock::now() - start_;
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
    }
    void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

IClock& RealClock()
{
    static SteadyClock clock;
    return clock;
}

constinit Replaceable<IClock> current(RealClock);

} // namespace

IClock& Clock() { return current.Get(); }

void SetClock(IClock* clock) { current.Set(clock); }

} // namespace plat
