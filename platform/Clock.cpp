#include "platform/Clock.h"

#include <atomic>
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

SteadyClock& RealClock()
{
    static SteadyClock clock;
    return clock;
}

std::atomic<IClock*> current{nullptr};

} // namespace

IClock& Clock()
{
    IClock* clock = current.load(std::memory_order_acquire);
    return clock ? *clock : RealClock();
}

void SetClock(IClock* clock) { current.store(clock, std::memory_order_release); }

} // namespace plat
