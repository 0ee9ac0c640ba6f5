#include "platform/TcpConnection.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plat {
namespace {

constexpr int kWaitSliceMs = 100;

bool ResolveIPv4(const std::string& host, in_addr* out)
{
    if (host.empty())
        return false;
    if (inet_pton(AF_INET, host.c_str(), out) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    *out = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

bool WouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

} // namespace

TcpConnection::~TcpConnection()
{
    if (fd_ >= 0)
        close(fd_);
}

NetStatus TcpConnection::Connect(const std::string& host, uint16_t port)
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return NetStatus::SocketFailed;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (!ResolveIPv4(host, &address.sin_addr))
        return NetStatus::HostNotFound;
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return NetStatus::Ok;
    if (errno != EINPROGRESS && errno != EINTR)
        return NetStatus::ConnectFailed;
    NetStatus waited = WaitUntilReady(POLLOUT);
    if (waited != NetStatus::Ok)
        return waited;
    // A refused connection also wakes the wait; only the socket's error tells them apart.
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
        return NetStatus::ConnectFailed;
    return NetStatus::Ok;
}

NetStatus TcpConnection::Send(std::string_view data)
{
    while (!data.empty()) {
        NetStatus waited = WaitUntilReady(POLLOUT);
        if (waited != NetStatus::Ok)
            return waited;
        ssize_t sent = send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (WouldBlock(errno))
                continue;
            return NetStatus::SendFailed;
        }
        data.remove_prefix(size_t(sent));
    }
    return NetStatus::Ok;
}

NetStatus TcpConnection::Receive(std::string& out, size_t maxBytes)
{
    NetStatus waited = WaitUntilReady(POLLIN);
    if (waited != NetStatus::Ok)
        return waited;
    size_t oldSize = out.size();
    out.resize(oldSize + maxBytes);
    ssize_t got = recv(fd_, out.data() + oldSize, maxBytes, 0);
    out.resize(oldSize + (got > 0 ? size_t(got) : 0));
    if (got > 0)
        return NetStatus::Ok;
    if (got == 0)
        return NetStatus::Closed;
    return WouldBlock(errno) ? NetStatus::Ok : NetStatus::ReceiveFailed;
}

// Readiness, an error or a hang-up all end the wait: the send or receive that follows tells
// which it was.
NetStatus TcpConnection::WaitUntilReady(short events)
{
    if (fd_ < 0)
        return NetStatus::SocketFailed;
    pollfd entry{fd_, events, 0};
    while (true) {
        if (stop_.load(std::memory_order_acquire))
            return NetStatus::Stopped;
        int ready = poll(&entry, 1, kWaitSliceMs);
        if (ready < 0 && errno != EINTR)
            return NetStatus::SocketFailed;
        if (ready > 0)
            return (entry.revents & POLLNVAL) ? NetStatus::SocketFailed : NetStatus::Ok;
    }
}

} // namespace plat
