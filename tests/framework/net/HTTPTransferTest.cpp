#include "framework/net/HTTPTransfer.h"
#include "framework/util/Buffer.h"
#include "framework/util/DemoChannel.h"

#include "framework/net/LoopbackServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <sys/socket.h>

using namespace Nubra;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kRequest = "GET / HTTP/1.1\r\nHost: test\r\nConnection: close\r\n\r\n";

int WaitForResult(HTTPTransfer& transfer)
{
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (transfer.GetResultCode() == HTTPTransfer::InProgress && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return transfer.GetResultCode();
}

// A server that answers every request with a fixed text, then closes.
LoopbackServer::Handler Answer(std::string response)
{
    return [response](int client) {
        LoopbackServer::ReadRequest(client);
        LoopbackServer::WriteAll(client, response);
    };
}

// A port on which nothing listens.
int ClosedPort()
{
    LoopbackServer unused(nullptr);
    return unused.Port();
}

} // namespace

TEST(HTTPTransfer, SplitsUrls)
{
    struct Case {
        const char* url;
        const char* protocol;
        const char* host;
        int port;
        const char* path;
    } cases[] = {
        {"example", "", "example", 80, "/"},
        {"http://h:8080/a/b", "http", "h", 8080, "/a/b"},
        {"http://example.com", "http", "example.com", 80, "/"},
        {"h:81", "", "h", 81, "/"},
        {"h/a//b", "", "h", 80, "/a//b"},
        {"http://h:x/", "http", "h", 0, "/"},
        {"http://h:70000/", "http", "h", 0, "/"},
    };
    for (const Case& c : cases) {
        HTTPTransfer::Url url = HTTPTransfer::SplitURL(c.url);
        EXPECT_EQ(url.protocol, c.protocol) << c.url;
        EXPECT_EQ(url.host, c.host) << c.url;
        EXPECT_EQ(url.port, c.port) << c.url;
        EXPECT_EQ(url.path, c.path) << c.url;
    }
}

TEST(HTTPTransfer, ResponsesFromALoopbackServer)
{
    struct Case {
        const char* name;
        std::string response;
        int result;
        std::string body;
    } cases[] = {
        {"sized", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", HTTPTransfer::Finished, "hello"},
        {"sized, header case and bytes after the body", "HTTP/1.0 200 OK\r\ncontent-LENGTH:  3\r\n\r\nabcdef",
         HTTPTransfer::Finished, "abc"},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n",
         HTTPTransfer::Finished, "hello world"},
        {"chunk extension", "HTTP/1.1 200 OK\r\ntransfer-encoding: Chunked\r\n\r\n3;x=y\r\nabc\r\nA \r\n0123456789\r\n0\r\n\r\n",
         HTTPTransfer::Finished, "abc0123456789"},
        {"until close", "HTTP/1.1 200 OK\r\nServer: t\r\n\r\nall of it", HTTPTransfer::Finished, "all of it"},
        {"404", "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nnop", HTTPTransfer::NotFound, ""},
        {"500", "HTTP/1.1 500 Oops\r\n\r\n", HTTPTransfer::OtherStatus, ""},
        {"short status line", "HTTP/1.1 2\r\n\r\n", HTTPTransfer::OtherStatus, ""},
        {"truncated sized body", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf", HTTPTransfer::SocketFailure, ""},
        {"missing zero chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n",
         HTTPTransfer::SocketFailure, ""},
        {"headers cut short", "HTTP/1.1 200 OK\r\nContent-Len", HTTPTransfer::SocketFailure, ""},
    };
    for (const Case& c : cases) {
        std::string received;
        LoopbackServer server([&](int client) {
            received = LoopbackServer::ReadRequest(client);
            LoopbackServer::WriteAll(client, c.response);
        });
        HTTPTransfer transfer;
        transfer.SendRequestString(server.Url(), kRequest);
        EXPECT_EQ(WaitForResult(transfer), c.result) << c.name;
        EXPECT_EQ(transfer.GetContent(), c.body) << c.name;
        EXPECT_FALSE(transfer.IsRunning()) << c.name;
        transfer.WaitFor();
        EXPECT_EQ(received, kRequest) << c.name;
    }
}

TEST(HTTPTransfer, ConnectionFailures)
{
    HTTPTransfer refused;
    refused.SendRequestString("127.0.0.1:" + std::to_string(ClosedPort()), kRequest);
    EXPECT_EQ(WaitForResult(refused), HTTPTransfer::ConnectionFailed);

    // An empty label cannot be put into a query, so the look-up fails without any network.
    HTTPTransfer unknown;
    unknown.SendRequestString("http://no..such.invalid/", kRequest);
    EXPECT_EQ(WaitForResult(unknown), HTTPTransfer::HostNotFound);

    HTTPTransfer noPort;
    noPort.SendRequestString("http://127.0.0.1:0/", kRequest);
    EXPECT_EQ(WaitForResult(noPort), HTTPTransfer::ConnectionFailed);
}

TEST(HTTPTransfer, AbortEndsAWaitWithinItsSlice)
{
    // A listener whose backlog is full drops new connection attempts, so connecting hangs.
    LoopbackServer full(nullptr, 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(full.Port()));
        connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(filler);
    }
    LoopbackServer silent(LoopbackServer::WaitForPeerClose);
    for (const std::string& url : {full.Url(), silent.Url()}) {
        HTTPTransfer transfer;
        transfer.SendRequestString(url, kRequest);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::InProgress) << url;
        auto aborted = Clock::now();
        transfer.Abort();
        transfer.WaitFor();
        EXPECT_LT(Clock::now() - aborted, std::chrono::seconds(2)) << url; // a wait slice is 100 ms
        EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::Aborted) << url;
    }
    for (int filler : fillers)
        close(filler);
}

TEST(HTTPTransfer, DestroyingOrResettingMidTransferJoinsTheWorker)
{
    LoopbackServer silent(LoopbackServer::WaitForPeerClose);
    {
        HTTPTransfer transfer;
        transfer.SendRequestString(silent.Url(), kRequest);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    HTTPTransfer transfer;
    transfer.SendRequestString(silent.Url(), kRequest);
    uint32_t firstId = transfer.GetId();
    transfer.Reset();
    EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::Idle);
    EXPECT_FALSE(transfer.IsRunning());
    EXPECT_NE(transfer.GetId(), firstId);
}

TEST(HTTPTransfer, PeerClosingDuringTheSendIsAFailureNotASignal)
{
    // Takes the start of the request, then closes with a reset.
    LoopbackServer rude([](int client) {
        std::string start(64 << 10, '\0');
        for (size_t got = 0; got < start.size();) {
            ssize_t piece = recv(client, start.data() + got, start.size() - got, 0);
            if (piece <= 0)
                break;
            got += size_t(piece);
        }
        linger reset{1, 0};
        setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    });
    HTTPTransfer transfer;
    transfer.SendRequestString(rude.Url(), "POST / HTTP/1.1\r\n\r\n" + std::string(32 << 20, 'x'));
    int result = WaitForResult(transfer);
    EXPECT_EQ(result, HTTPTransfer::SendingFailed);
}

namespace {

// Events as a bare 5-bit command and payload, always due.
class FakeDemo : public DemoChannel {
public:
    FakeDemo() { SetDemoChannel(this); }
    ~FakeDemo() override { SetDemoChannel(nullptr); }

    bool IsRecording() const override { return recording; }
    bool IsPlaying() const override { return playing; }
    Buffer& BeginEvent(int command) override
    {
        stream.WriteNumBits(uint32_t(command), 5);
        return stream;
    }
    Buffer* DueEvent(int command) override
    {
        if (!headerRead) {
            if (stream.AtEnd())
                return nullptr;
            pendingCommand = stream.ReadNumBits(5, false);
            headerRead = true;
        }
        return pendingCommand == command ? &stream : nullptr;
    }
    void ConsumeEvent() override { headerRead = false; }

    bool recording = false;
    bool playing = false;
    Buffer stream;

private:
    bool headerRead = false;
    int pendingCommand = 0;
};

void WriteHTTPEvent(Buffer& stream, uint32_t id, int result, const std::string& body)
{
    stream.WriteNumBits(kDemoHTTPResult, 5);
    stream.WriteLong(id);
    stream.WriteByte(uint8_t(result));
    stream.WriteString(body);
}

} // namespace

TEST(HTTPTransfer, RecordsEachResultChange)
{
    FakeDemo demo;
    demo.recording = true;
    // The server answers only once the test has seen the transfer in progress, so both result
    // changes are recorded however the threads are scheduled.
    std::promise<void> seenInProgress;
    std::shared_future<void> answer = seenInProgress.get_future().share();
    LoopbackServer server([answer](int client) {
        LoopbackServer::ReadRequest(client);
        answer.wait();
        LoopbackServer::WriteAll(client, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    });
    HTTPTransfer transfer;
    transfer.SendRequestString(server.Url(), kRequest);
    ASSERT_EQ(transfer.GetResultCode(), HTTPTransfer::InProgress);
    seenInProgress.set_value();
    ASSERT_EQ(WaitForResult(transfer), HTTPTransfer::Finished);

    Buffer expected;
    WriteHTTPEvent(expected, transfer.GetId(), HTTPTransfer::InProgress, "");
    WriteHTTPEvent(expected, transfer.GetId(), HTTPTransfer::Finished, "ok");
    ASSERT_EQ(demo.stream.GetDataBits(), expected.GetDataBits());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(demo.stream.GetDataPtr()), demo.stream.GetDataLen()),
              std::string(reinterpret_cast<const char*>(expected.GetDataPtr()), expected.GetDataLen()));
}

TEST(HTTPTransfer, PlaybackTakesResultsFromTheRecordingWithoutTheNetwork)
{
    FakeDemo demo;
    demo.playing = true;
    LoopbackServer server(Answer("HTTP/1.1 200 OK\r\n\r\nfrom the network"));
    HTTPTransfer other;
    HTTPTransfer transfer;
    transfer.SendRequestString(server.Url(), kRequest);
    EXPECT_TRUE(transfer.IsRunning());

    // Another transfer's event comes first: it stays for its owner.
    WriteHTTPEvent(demo.stream, other.GetId(), HTTPTransfer::Aborted, "");
    WriteHTTPEvent(demo.stream, transfer.GetId(), HTTPTransfer::InProgress, "");
    WriteHTTPEvent(demo.stream, transfer.GetId(), HTTPTransfer::Finished, "recorded");
    EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::InProgress);
    EXPECT_EQ(other.GetResultCode(), HTTPTransfer::Aborted);
    EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::InProgress);
    EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::Finished);
    EXPECT_EQ(transfer.GetContent(), "recorded");
    EXPECT_FALSE(transfer.IsRunning());
    EXPECT_EQ(server.Accepted(), 0);
}
