#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

enum class NetStatus {
    Ok,
    Stopped,        // the stop flag was set during a wait
    SocketFailed,   // no socket, or waiting on it failed
    HostNotFound,
    ConnectFailed,
    SendFailed,
    Closed,         // the peer ended the connection in order
    ReceiveFailed,
};

// One outgoing IPv4 TCP connection. The socket is non-blocking and every wait runs in 100 ms
// slices that look at the stop flag between them, so that another thread can cancel a
// connection in progress. Name look-up is the exception: it cannot be interrupted.
class TcpConnection {
public:
    explicit TcpConnection(const std::atomic<bool>& stop) : stop_(stop) {}
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Creates the socket, resolves host (a dotted address, else by name) and connects.
    NetStatus Connect(const std::string& host, uint16_t port);
    // Sends every byte, waiting until the socket is writable before each send. A peer that has
    // gone away gives SendFailed; the process never receives SIGPIPE.
    NetStatus Send(std::string_view data);
    // Waits for data and appends what one receive gives, at most maxBytes.
    NetStatus Receive(std::string& out, size_t maxBytes);

private:
    NetStatus WaitUntilReady(short events);

    const std::atomic<bool>& stop_;
    int fd_ = -1;
};

} // namespace plat
