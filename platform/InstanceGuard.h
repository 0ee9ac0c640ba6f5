#pragma once
#include <cstdint>
#include <string>

namespace plat {

// One running copy of a product per user. The running copy holds "<product>.lock" in the
// runtime folder with flock, which the system releases when the process dies, so a crash never
// blocks later starts. Beside it, a local datagram socket "<product>.notify" carries short
// notifications from later copies to the running one.
class InstanceGuard {
public:
    InstanceGuard() = default;
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // True when this process is now the running copy. A lock that cannot even be created does
    // not stop the program: it runs unguarded.
    bool Acquire(const std::string& product);
    void Release();

    // From a later copy: sends (type, parameter) to the running copy. False when it cannot be reached.
    static bool NotifyRunning(const std::string& product, int32_t type, int32_t parameter);

    // On the running copy: the next notification that arrived, if any. Never waits.
    bool Receive(int32_t* type, int32_t* parameter);

private:
    int lockFd_ = -1;
    int socketFd_ = -1;
    std::string socketPath_;
};

} // namespace plat
