#include "framework/net/HTTPTransfer.h"

#include "framework/net/HTTPResponseParser.h"
#include "framework/util/Buffer.h"
#include "framework/util/DemoChannel.h"
#include "framework/util/StringUtils.h"
#include "platform/TcpConnection.h"

namespace Nubra {
namespace {

constexpr size_t kReceivePiece = 256;

uint32_t TakeTransferId()
{
    static std::atomic<uint32_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

int PortNumber(const std::string& text)
{
    int port = 0;
    return StringToInt(text, &port) && port > 0 && port <= 0xFFFF ? port : 0;
}

// The result a failed network step leaves; a stop means the transfer was aborted.
int FailureResult(plat::NetStatus status, int stepFailure)
{
    switch (status) {
    case plat::NetStatus::Stopped: return HTTPTransfer::Aborted;
    case plat::NetStatus::SocketFailed: return HTTPTransfer::SocketFailure;
    case plat::NetStatus::HostNotFound: return HTTPTransfer::HostNotFound;
    default: return stepFailure;
    }
}

int ResponseResult(HTTPResponseParser::State state)
{
    switch (state) {
    case HTTPResponseParser::State::Finished: return HTTPTransfer::Finished;
    case HTTPResponseParser::State::NotFound: return HTTPTransfer::NotFound;
    case HTTPResponseParser::State::OtherStatus: return HTTPTransfer::OtherStatus;
    default: return HTTPTransfer::SocketFailure;
    }
}

} // namespace

HTTPTransfer::Url HTTPTransfer::SplitURL(const std::string& url)
{
    Url parts;
    std::string rest = url;
    // "//" separates the protocol only when no '/' comes before it.
    size_t slashes = url.find("//");
    if (slashes != std::string::npos && url.find('/') == slashes) {
        parts.protocol = url.substr(0, slashes > 0 ? slashes - 1 : 0);
        rest = url.substr(slashes + 2);
    }
    size_t pathStart = rest.find('/');
    std::string hostPart = rest.substr(0, pathStart);
    parts.path = pathStart == std::string::npos ? "/" : rest.substr(pathStart);
    size_t colon = hostPart.find(':');
    parts.host = hostPart.substr(0, colon);
    if (colon != std::string::npos)
        parts.port = PortNumber(hostPart.substr(colon + 1));
    return parts;
}

HTTPTransfer::HTTPTransfer() : id_(TakeTransferId()) {}

HTTPTransfer::~HTTPTransfer()
{
    Abort();
    JoinWorker();
}

void HTTPTransfer::Reset()
{
    if (worker_.joinable()) {
        Abort();
        WaitFor();
    }
    id_ = TakeTransferId();
    result_.store(Idle, std::memory_order_release);
    lastReported_ = Idle;
    body_.clear();
    contentLength_ = -1;
    url_ = Url();
    request_.clear();
    running_.store(false, std::memory_order_release);
    done_.store(false, std::memory_order_release);
    aborted_.store(false, std::memory_order_release);
}

void HTTPTransfer::SendRequestString(const std::string& url, const std::string& request)
{
    Reset();
    id_ = TakeTransferId();
    url_ = SplitURL(url);
    request_ = request;
    result_.store(InProgress, std::memory_order_release);
    running_.store(true, std::memory_order_release);
    DemoChannel* demo = GetDemoChannel();
    if (demo && demo->IsPlaying())
        return; // the results come from the recording
    worker_ = std::thread(&HTTPTransfer::TransferThread, this);
}

int HTTPTransfer::GetResultCode()
{
    SyncWithDemo();
    return result_.load(std::memory_order_acquire);
}

void HTTPTransfer::WaitFor()
{
    JoinWorker();
    SyncWithDemo();
}

void HTTPTransfer::Abort()
{
    aborted_.store(true, std::memory_order_release);
    done_.store(true, std::memory_order_release);
}

void HTTPTransfer::JoinWorker()
{
    if (worker_.joinable())
        worker_.join();
}

// The worker publishes the result once, after the body: whoever sees a result other than
// InProgress may read the body.
void HTTPTransfer::TransferThread()
{
    int result = Transfer();
    if (aborted_.load(std::memory_order_acquire))
        result = Aborted;
    result_.store(result, std::memory_order_release);
    running_.store(false, std::memory_order_release);
}

int HTTPTransfer::Transfer()
{
    if (url_.port == 0)
        return ConnectionFailed;
    plat::TcpConnection connection(done_);
    plat::NetStatus status = connection.Connect(url_.host, uint16_t(url_.port));
    if (status != plat::NetStatus::Ok)
        return FailureResult(status, ConnectionFailed);
    status = connection.Send(request_);
    if (status != plat::NetStatus::Ok)
        return FailureResult(status, SendingFailed);

    HTTPResponseParser response;
    std::string piece;
    while (response.GetState() == HTTPResponseParser::State::Reading) {
        piece.clear();
        status = connection.Receive(piece, kReceivePiece);
        if (status == plat::NetStatus::Closed)
            response.Close();
        else if (status != plat::NetStatus::Ok)
            return FailureResult(status, SocketFailure);
        else
            response.Feed(piece);
    }
    int result = ResponseResult(response.GetState());
    contentLength_ = response.GetContentLength();
    if (result == Finished)
        body_ = response.GetBody();
    return result;
}

void HTTPTransfer::SyncWithDemo()
{
    DemoChannel* demo = GetDemoChannel();
    if (demo && demo->IsPlaying())
        TakeResultFromDemo(*demo);
    else if (demo && demo->IsRecording())
        RecordResultChange(*demo);
}

void HTTPTransfer::TakeResultFromDemo(DemoChannel& demo)
{
    Buffer* stream = demo.DueEvent(kDemoHTTPResult);
    if (!stream)
        return;
    size_t eventStart = stream->GetReadPos();
    if (stream->ReadLong() != id_) {
        stream->SetReadPos(eventStart); // another transfer's result
        return;
    }
    int result = stream->ReadByte();
    body_ = stream->ReadString();
    demo.ConsumeEvent();
    result_.store(result, std::memory_order_release);
    lastReported_ = result;
    if (result != InProgress)
        running_.store(false, std::memory_order_release);
}

void HTTPTransfer::RecordResultChange(DemoChannel& demo)
{
    int result = result_.load(std::memory_order_acquire);
    if (result == lastReported_)
        return;
    Buffer& stream = demo.BeginEvent(kDemoHTTPResult);
    stream.WriteLong(id_);
    stream.WriteByte(uint8_t(result));
    stream.WriteString(result == InProgress ? std::string() : body_);
    lastReported_ = result;
}

} // namespace Nubra
