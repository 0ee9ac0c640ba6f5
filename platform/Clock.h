#pragma once
#include <cstdint>

namespace plat {

// Monotonic time since an arbitrary start. The millisecond count is 32 bits and wraps, so
// callers compare two readings by their signed difference (see MsBefore).
class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t NowMs() = 0;
    virtual uint64_t NowNs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
};

// The clock every part of the program reads. Tests swap in a simulated one.
IClock& Clock();
void SetClock(IClock* clock); // null restores the real clock

inline uint32_t NowMs() { return Clock().NowMs(); }
inline uint64_t NowNs() { return Clock().NowNs(); }
inline void SleepMs(uint32_t ms) { Clock().SleepMs(ms); }

// True when millisecond reading a lies before b, across a wrap of the counter.
inline bool MsBefore(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }

// A clock that only moves when told to; sleeping advances it.
class SimulatedClock : public IClock {
public:
    uint32_t NowMs() override { return static_cast<uint32_t>(ns_ / 1000000); }
    uint64_t NowNs() override { return ns_; }
    void SleepMs(uint32_t ms) override { AdvanceMs(ms); }
    void AdvanceMs(uint32_t ms) { ns_ += uint64_t(ms) * 1000000; }
    void AdvanceNs(uint64_t ns) { ns_ += ns; }

private:
    uint64_t ns_ = 0;
};

} // namespace plat
