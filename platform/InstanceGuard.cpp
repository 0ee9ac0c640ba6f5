#include "platform/InstanceGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Files.h"

namespace plat {
namespace {

constexpr size_t kMessageSize = 8; // two little-endian 32-bit values

std::string NotifyPath(const std::string& product) { return RuntimeDir() + product + ".notify"; }

// False when the path does not fit a socket address.
bool MakeAddress(const std::string& path, sockaddr_un* address)
{
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof(address->sun_path))
        return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

void PutLE32(unsigned char* out, int32_t value)
{
    auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

int32_t GetLE32(const unsigned char* in)
{
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= uint32_t(in[i]) << (8 * i);
    return static_cast<int32_t>(bits);
}

} // namespace

InstanceGuard::~InstanceGuard() { Release(); }

bool InstanceGuard::Acquire(const std::string& product)
{
    Release();
    std::string lockPath = RuntimeDir() + product + ".lock";
    lockFd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0)
        return true;
    if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        bool heldElsewhere = errno == EWOULDBLOCK;
        close(lockFd_);
        lockFd_ = -1;
        return !heldElsewhere;
    }

    // Holding the lock, any socket file left there belongs to a copy that has died.
    sockaddr_un address;
    std::string path = NotifyPath(product);
    if (!MakeAddress(path, &address))
        return true;
    unlink(path.c_str());
    socketFd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socketFd_ >= 0 && bind(socketFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        socketPath_ = path;
    } else if (socketFd_ >= 0) {
        close(socketFd_);
        socketFd_ = -1;
    }
    return true;
}

void InstanceGuard::Release()
{
    if (socketFd_ >= 0) {
        close(socketFd_);
        unlink(socketPath_.c_str());
    }
    socketFd_ = -1;
    socketPath_.clear();
    if (lockFd_ >= 0)
        close(lockFd_); // closing drops the flock
    lockFd_ = -1;
}

bool InstanceGuard::NotifyRunning(const std::string& product, int32_t type, int32_t parameter)
{
    sockaddr_un address;
    if (!MakeAddress(NotifyPath(product), &address))
        return false;
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    unsigned char message[kMessageSize];
    PutLE32(message, type);
    PutLE32(message + 4, parameter);
    ssize_t sent = sendto(fd, message, sizeof(message), 0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    close(fd);
    return sent == ssize_t(sizeof(message));
}

bool InstanceGuard::Receive(int32_t* type, int32_t* parameter)
{
    if (socketFd_ < 0)
        return false;
    unsigned char message[kMessageSize + 1];
    for (;;) {
        ssize_t got = recv(socketFd_, message, sizeof(message), 0);
        if (got < 0)
            return false;
        if (got != ssize_t(kMessageSize))
            continue; // not one of ours: dropped
        *type = GetLE32(message);
        *parameter = GetLE32(message + 4);
        return true;
    }
}

} // namespace plat
