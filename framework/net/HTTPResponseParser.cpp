#include "framework/net/HTTPResponseParser.h"

#include "framework/util/StringUtils.h"

#include <algorithm>
#include <strings.h>

namespace Nubra {
namespace {

bool SameNoCase(const std::string& a, const char* b)
{
    return strcasecmp(a.c_str(), b) == 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

HTTPResponseParser::State HTTPResponseParser::Feed(std::string_view bytes)
{
    if (state_ != State::Reading)
        return state_;
    pending_.append(bytes);
    while (state_ == State::Reading) {
        std::string line;
        switch (phase_) {
        case Phase::StatusLine:
        case Phase::Headers:
        case Phase::ChunkSize:
        case Phase::ChunkEnd:
            if (!TakeLine(line))
                return state_;
            ParseLine(line);
            break;
        case Phase::ChunkData:
        case Phase::SizedBody:
            if (pending_.empty())
                return state_;
            TakeBodyBytes(std::min(remaining_, pending_.size()));
            break;
        case Phase::BodyUntilClose:
            if (pending_.empty())
                return state_;
            if (pending_.size() > kMaxBodyBytes - body_.size())
                Finish(State::Failed);
            else
                TakeBodyBytes(pending_.size());
            break;
        }
    }
    pending_.clear();
    return state_;
}

HTTPResponseParser::State HTTPResponseParser::Close()
{
    if (state_ == State::Reading)
        Finish(phase_ == Phase::BodyUntilClose ? State::Finished : State::Failed);
    return state_;
}

// Lines end in "\r\n" (a bare "\n" is taken too). Everything before the body counts against
// the header limit, and so does an unfinished line, so that a peer cannot make it grow forever.
bool HTTPResponseParser::TakeLine(std::string& line)
{
    size_t end = pending_.find('\n');
    size_t used = (end == std::string::npos ? pending_.size() : end + 1);
    bool beforeBody = phase_ == Phase::StatusLine || phase_ == Phase::Headers;
    if ((beforeBody ? headerBytes_ : 0) + used > kMaxHeaderBytes) {
        Finish(State::Failed);
        return false;
    }
    if (end == std::string::npos)
        return false;
    line.assign(pending_, 0, end);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    pending_.erase(0, used);
    if (beforeBody)
        headerBytes_ += used;
    return true;
}

void HTTPResponseParser::ParseLine(const std::string& line)
{
    switch (phase_) {
    case Phase::StatusLine: ParseStatusLine(line); break;
    case Phase::Headers: ParseHeader(line); break;
    case Phase::ChunkSize: ParseChunkSize(line); break;
    default: // the line that ends a chunk's data
        if (!line.empty())
            Finish(State::Failed);
        phase_ = Phase::ChunkSize;
    }
}

void HTTPResponseParser::ParseStatusLine(const std::string& line)
{
    constexpr size_t kStatusAt = 9; // "HTTP/1.x " comes first
    if (line.size() < kStatusAt + 3 || line.compare(0, 7, "HTTP/1.") != 0) {
        Finish(State::OtherStatus);
        return;
    }
    std::string status = line.substr(kStatusAt, 3);
    if (status == "404")
        Finish(State::NotFound);
    else if (status != "200")
        Finish(State::OtherStatus);
    else
        phase_ = Phase::Headers;
}

void HTTPResponseParser::ParseHeader(const std::string& line)
{
    if (line.empty()) {
        StartBody();
        return;
    }
    size_t colon = line.find(':');
    if (colon == std::string::npos)
        return;
    std::string name = Trim(line.substr(0, colon));
    std::string value = Trim(line.substr(colon + 1));
    if (SameNoCase(name, "Transfer-Encoding")) {
        chunked_ = !SameNoCase(value, "identity");
    } else if (SameNoCase(name, "Content-Length")) {
        bool digits = !value.empty() && value.size() <= 9
                      && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!digits || std::stol(value) > long(kMaxBodyBytes))
            Finish(State::Failed);
        else
            contentLength_ = std::stol(value);
    }
}

void HTTPResponseParser::StartBody()
{
    if (chunked_) {
        phase_ = Phase::ChunkSize;
    } else if (contentLength_ < 0) {
        phase_ = Phase::BodyUntilClose;
    } else if (contentLength_ == 0) {
        Finish(State::Finished);
    } else {
        phase_ = Phase::SizedBody;
        remaining_ = size_t(contentLength_);
    }
}

// The size is the hexadecimal digits up to a chunk extension (";name=value") or a blank.
void HTTPResponseParser::ParseChunkSize(const std::string& line)
{
    std::string text = Trim(line);
    size_t size = 0;
    size_t i = 0;
    for (; i < text.size() && text[i] != ';' && text[i] != ' ' && text[i] != '\t'; ++i) {
        int digit = HexDigit(text[i]);
        if (digit >= 0)
            size = size * 16 + size_t(digit);
        if (digit < 0 || size > kMaxBodyBytes - body_.size()) {
            Finish(State::Failed);
            return;
        }
    }
    if (i == 0) {
        Finish(State::Failed);
    } else if (size == 0) {
        Finish(State::Finished);
    } else {
        phase_ = Phase::ChunkData;
        remaining_ = size;
    }
}

void HTTPResponseParser::TakeBodyBytes(size_t count)
{
    body_.append(pending_, 0, count);
    pending_.erase(0, count);
    if (phase_ == Phase::BodyUntilClose)
        return;
    remaining_ -= count;
    if (remaining_ > 0)
        return;
    if (phase_ == Phase::SizedBody)
        Finish(State::Finished);
    else
        phase_ = Phase::ChunkEnd;
}

} // namespace Nubra
