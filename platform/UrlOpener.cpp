#include "platform/UrlOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include "platform/Clock.h"
#include "platform/Replaceable.h"

extern char** environ;

namespace plat {
namespace {

constexpr uint32_t kStillRunningMeansOpenMs = 5000;

class FinishedOpening : public UrlOpening {
public:
    explicit FinishedOpening(Status status) : status_(status) {}
    Status Poll() override { return status_; }

private:
    Status status_;
};

class SpawnedOpening : public UrlOpening {
public:
    explicit SpawnedOpening(pid_t pid) : pid_(pid), started_(NowMs()) {}
    ~SpawnedOpening() override
    {
        if (status_ != Status::Running)
            return;
        // An opener that has ended since the last poll is collected; one that still runs the
        // browser belongs to the desktop from now on.
        int ignored = 0;
        waitpid(pid_, &ignored, WNOHANG);
    }

    Status Poll() override
    {
        if (status_ != Status::Running)
            return status_;
        int wait = 0;
        pid_t ended = waitpid(pid_, &wait, WNOHANG);
        if (ended == pid_)
            status_ = WIFEXITED(wait) && WEXITSTATUS(wait) == 0 ? Status::Succeeded : Status::Failed;
        else if (ended < 0)
            status_ = Status::Failed;
        else if (NowMs() - started_ >= kStillRunningMeansOpenMs)
            status_ = Status::Succeeded;
        return status_;
    }

private:
    pid_t pid_;
    uint32_t started_;
    Status status_ = Status::Running;
};

class DesktopOpener : public IUrlOpener {
public:
    std::unique_ptr<UrlOpening> Open(const std::string& address) override
    {
        if (address.empty() || address.front() == '-')
            return std::make_unique<FinishedOpening>(UrlOpening::Status::Failed);
        char program[] = "xdg-open";
        std::string argument = address;
        char* argv[] = {program, argument.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0)
            return std::make_unique<FinishedOpening>(UrlOpening::Status::Failed);
        return std::make_unique<SpawnedOpening>(pid);
    }
};

IUrlOpener& Desktop()
{
    static DesktopOpener opener;
    return opener;
}

constinit Replaceable<IUrlOpener> current(Desktop);

} // namespace

IUrlOpener& UrlOpener() { return current.Get(); }

void SetUrlOpener(IUrlOpener* opener) { current.Set(opener); }

} // namespace plat
