#pragma once
#include <memory>
#include <string>

namespace plat {

// Opening a web address in the desktop's browser, which takes a moment: the caller polls.
class UrlOpening {
public:
    enum class Status { Running, Succeeded, Failed };
    virtual ~UrlOpening() = default;
    virtual Status Poll() = 0; // never waits
};

class IUrlOpener {
public:
    virtual ~IUrlOpener() = default;
    // Starts opening the address (UTF-8); never null.
    virtual std::unique_ptr<UrlOpening> Open(const std::string& address) = 0;
};

// By default the desktop's opener, xdg-open: it succeeded when it ends well, or when it is still
// running after a few seconds (it then runs the browser itself); it failed when it could not be
// started or ended with an error. Addresses that the opener would take for an option fail.
IUrlOpener& UrlOpener();
void SetUrlOpener(IUrlOpener* opener); // null restores the desktop's

} // namespace plat
