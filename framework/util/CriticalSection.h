#pragma once
#include <mutex>

namespace Nubra {

// A lock the holding thread may take again (nested display calls do).
class CriticalSection {
public:
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }
    void lock() { Lock(); }
    void unlock() { Unlock(); }

private:
    std::recursive_mutex mutex_;
};

using AutoCrit = std::lock_guard<CriticalSection>;

} // namespace Nubra
