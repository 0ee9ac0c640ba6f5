#pragma once
#include <atomic>

namespace plat {

// A platform service that tests may swap for a fake; without one, the real service answers.
// Constant-initialised, so it serves even during the start-up of other static objects.
template <typename Service> class Replaceable {
public:
    constexpr explicit Replaceable(Service& (*real)()) : real_(real) {}

    Service& Get() const
    {
        Service* replacement = replacement_.load(std::memory_order_acquire);
        return replacement ? *replacement : real_();
    }
    void Set(Service* replacement) { replacement_.store(replacement, std::memory_order_release); } // null: the real one

private:
    Service& (*real_)();
    std::atomic<Service*> replacement_{nullptr};
};

} // namespace plat
