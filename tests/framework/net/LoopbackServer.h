#pragma once
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

// A TCP server on 127.0.0.1 that hands every accepted connection to a handler on its own
// thread, then closes it.
class LoopbackServer {
public:
    using Handler = std::function<void(int client)>;

    explicit LoopbackServer(Handler handler, int backlog = 8) : handler_(std::move(handler))
    {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        listen(listener_, backlog);
        if (handler_)
            thread_ = std::thread([this] { Serve(); });
    }

    ~LoopbackServer()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        close(listener_);
    }

    int Port() const { return port_; }
    std::string Url(const std::string& path = "/") const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    int Accepted() const { return accepted_; }

    // Reads up to the blank line that ends a request's headers (or until the peer stops).
    static std::string ReadRequest(int client)
    {
        std::string request;
        char piece[512];
        while (request.find("\r\n\r\n") == std::string::npos) {
            ssize_t got = recv(client, piece, sizeof piece, 0);
            if (got <= 0)
                break;
            request.append(piece, size_t(got));
        }
        return request;
    }

    static void WriteAll(int client, std::string_view bytes)
    {
        while (!bytes.empty()) {
            ssize_t sent = send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0)
                return;
            bytes.remove_prefix(size_t(sent));
        }
    }

    // Reads and drops whatever comes until the peer closes its end (at most a few seconds).
    static void WaitForPeerClose(int client)
    {
        char piece[512];
        pollfd entry{client, POLLIN, 0};
        for (int slice = 0; slice < 250; ++slice) {
            if (poll(&entry, 1, 20) > 0 && recv(client, piece, sizeof piece, 0) <= 0)
                return;
        }
    }

private:
    void Serve()
    {
        pollfd entry{listener_, POLLIN, 0};
        while (!stop_) {
            if (poll(&entry, 1, 20) <= 0)
                continue;
            int client = accept(listener_, nullptr, nullptr);
            if (client < 0)
                continue;
            ++accepted_;
            handler_(client);
            close(client);
        }
    }

    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> accepted_{0};
    std::thread thread_;
};
