#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace Nubra {

class DemoChannel;

// Sends one complete HTTP request text to the host and port that a URL names, on a worker
// thread of its own, and collects the response body. The owner polls GetResultCode. While a
// demo is recorded every change of the result goes into it; while one is played the network
// is never touched and the results come from the recording.
class HTTPTransfer {
public:
    enum Result : int {
        Finished = 0,
        Idle = 1,
        InProgress = 2,
        NotFound = 3,         // status 404
        OtherStatus = 4,      // a status other than 200 and 404
        Aborted = 5,
        SocketFailure = 6,    // also a malformed, oversized or truncated response
        HostNotFound = 7,
        ConnectionFailed = 8,
        SendingFailed = 9,
    };

    struct Url {
        std::string protocol;
        std::string host;
        int port = 80; // 0 when the URL names no usable port
        std::string path;
    };
    // "http://h:8080/a/b" -> http, h, 8080, "/a/b"; "example" -> "", example, 80, "/".
    static Url SplitURL(const std::string& url);

    HTTPTransfer();
    virtual ~HTTPTransfer(); // aborts and joins the worker
    HTTPTransfer(const HTTPTransfer&) = delete;
    HTTPTransfer& operator=(const HTTPTransfer&) = delete;

    // Aborts and joins a running worker, takes a new id and returns to Idle.
    void Reset();
    void SendRequestString(const std::string& url, const std::string& request);
    int GetResultCode();
    // Returns once the worker has ended.
    void WaitFor();
    // The worker stops at its next wait, within about 100 ms (a name look-up cannot be cut).
    void Abort();

    // Set from the send until the worker ends, or while playing a demo until the recording
    // gives the final result.
    bool IsRunning() const { return running_.load(std::memory_order_acquire); }
    // Valid once the result has turned Finished.
    const std::string& GetContent() const { return body_; }
    long GetContentLength() const { return contentLength_; }
    uint32_t GetId() const { return id_; }

private:
    void TransferThread();
    int Transfer();
    void JoinWorker();
    void SyncWithDemo();
    void TakeResultFromDemo(DemoChannel& demo);
    void RecordResultChange(DemoChannel& demo);

    uint32_t id_;
    std::string request_;
    Url url_;
    std::string body_;
    long contentLength_ = -1;
    std::atomic<bool> running_{false};
    std::atomic<bool> done_{false}; // also the abort request the worker's waits look at
    std::atomic<bool> aborted_{false};
    std::atomic<int> result_{Idle};
    int lastReported_ = Idle; // the result last written to or read from a demo
    std::thread worker_;
};

} // namespace Nubra
