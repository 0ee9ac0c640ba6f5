#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace Nubra {

// Reads an HTTP/1.x response as its bytes arrive, in pieces of any size. Header names are
// compared without case; the body comes with a Content-Length, in chunks, or until the
// connection closes. A response that is malformed, too large or cut short fails.
class HTTPResponseParser {
public:
    enum class State {
        Reading,
        Finished,    // status 200 and the whole body
        NotFound,    // status 404
        OtherStatus, // any other status, or a status line that is not HTTP/1.x
        Failed,      // malformed, over the limits, or cut short
    };

    static constexpr size_t kMaxBodyBytes = size_t(16) << 20;
    static constexpr size_t kMaxHeaderBytes = size_t(64) << 10;

    State Feed(std::string_view bytes);
    // The peer closed the connection: only a body that runs until the close is complete then.
    State Close();

    State GetState() const { return state_; }
    const std::string& GetBody() const { return body_; }
    // The Content-Length header's value, or -1 when the response has none.
    long GetContentLength() const { return contentLength_; }

private:
    enum class Phase { StatusLine, Headers, ChunkSize, ChunkData, ChunkEnd, SizedBody, BodyUntilClose };

    bool TakeLine(std::string& line);
    void ParseLine(const std::string& line);
    void ParseStatusLine(const std::string& line);
    void ParseHeader(const std::string& line);
    void StartBody();
    void ParseChunkSize(const std::string& line);
    void TakeBodyBytes(size_t count);
    void Finish(State state) { state_ = state; }

    State state_ = State::Reading;
    Phase phase_ = Phase::StatusLine;
    std::string pending_;
    size_t headerBytes_ = 0;
    bool chunked_ = false;
    long contentLength_ = -1;
    size_t remaining_ = 0; // of the current chunk or the sized body
    std::string body_;
};

} // namespace Nubra
