#include "framework/util/Timing.h"

#include "platform/Clock.h"

namespace Nubra {

bool AspectRatio::operator<(const AspectRatio& other) const
{
    return int64_t(numerator) * other.denominator < int64_t(other.numerator) * denominator;
}

void AspectRatio::Set(int32_t num, int32_t den)
{
    int64_t a = num, b = den;
    while (b != 0) {
        int64_t t = a % b;
        a = b;
        b = t;
    }
    int64_t divisor = a == 0 ? 1 : a;
    numerator = int32_t(num / divisor);
    denominator = int32_t(den / divisor);
}

void HighResTimer::Start()
{
    running_ = true;
    startNs_ = plat::NowNs();
}

void HighResTimer::Stop()
{
    durationMs_ = double(plat::NowNs() - startNs_) / 1e6;
    running_ = false;
}

void HighResTimer::StopIfRunning()
{
    if (running_)
        Stop();
}

double HighResTimer::GetDuration()
{
    if (running_)
        durationMs_ = double(plat::NowNs() - startNs_) / 1e6;
    return durationMs_;
}

uint64_t GetCPUSpeed() { return 1000000000ull; }

} // namespace Nubra
