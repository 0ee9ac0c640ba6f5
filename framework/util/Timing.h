#pragma once
#include <cstdint>

namespace Nubra {

// A numerator and denominator kept in lowest terms.
class AspectRatio {
public:
    AspectRatio() = default;
    AspectRatio(int32_t numerator, int32_t denominator) { Set(numerator, denominator); }
    void Set(int32_t numerator, int32_t denominator);
    // Narrower: p:q < r:s when p x s < r x q, so equal ratios in other terms are not.
    bool operator<(const AspectRatio& other) const;

    int32_t numerator = 1;
    int32_t denominator = 1;
};

// Stopwatch in milliseconds over the monotonic clock.
class HighResTimer {
public:
    void Start();
    void Stop();
    void StopIfRunning();
    double GetDuration(); // measures up to now while running

private:
    uint64_t startNs_ = 0;
    double durationMs_ = 0.0;
    bool running_ = false;
};

// Ticks of the profiler's counter per second: the clock counts nanoseconds.
uint64_t GetCPUSpeed();

} // namespace Nubra
