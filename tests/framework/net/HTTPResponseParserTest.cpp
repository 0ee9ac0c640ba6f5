#include "framework/net/HTTPResponseParser.h"

#include <gtest/gtest.h>

using namespace Nubra;
using State = HTTPResponseParser::State;

namespace {

const std::string kOk = "HTTP/1.1 200 OK\r\n";
const std::string kChunked = kOk + "Transfer-Encoding: chunked\r\n\r\n";

} // namespace

// Every case is fed whole and byte by byte, then the connection closes.
TEST(HTTPResponseParser, Table)
{
    const size_t max = HTTPResponseParser::kMaxBodyBytes;
    struct Case {
        const char* name;
        std::string response;
        State state;
        std::string body;
    } cases[] = {
        {"sized", kOk + "Content-Length: 4\r\n\r\nbody", State::Finished, "body"},
        {"empty sized", kOk + "Content-Length: 0\r\n\r\n", State::Finished, ""},
        {"bare line feeds", "HTTP/1.1 200 OK\nContent-Length: 2\n\nhi", State::Finished, "hi"},
        {"chunked wins over a length", kOk + "Content-Length: 1\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n",
         State::Finished, "ab"},
        {"identity is not chunked", kOk + "Transfer-Encoding: identity\r\n\r\nraw", State::Finished, "raw"},
        {"upper-case hex, trailers ignored", kChunked + "1A\r\n" + std::string(26, 'z') + "\r\n0\r\nX-T: 1\r\n\r\n",
         State::Finished, std::string(26, 'z')},
        {"blank before extension", kChunked + "2 ;a=b\r\nxy\r\n0\r\n\r\n", State::Finished, "xy"},
        {"negative chunk size", kChunked + "-5\r\nabc\r\n0\r\n\r\n", State::Failed, ""},
        {"empty chunk size", kChunked + "\r\nabc\r\n0\r\n\r\n", State::Failed, ""},
        {"no line end after chunk data", kChunked + "3\r\nabcdef\r\n0\r\n\r\n", State::Failed, ""},
        {"chunk over the limit", kChunked + "1000001\r\n", State::Failed, ""},
        {"chunk size overflowing", kChunked + "FFFFFFFFFFFFFFFFFFFF1\r\n", State::Failed, ""},
        {"length over the limit", kOk + "Content-Length: " + std::to_string(max + 1) + "\r\n\r\n", State::Failed, ""},
        {"length not a number", kOk + "Content-Length: -3\r\n\r\nabc", State::Failed, ""},
        {"endless header line", kOk + "X: " + std::string(HTTPResponseParser::kMaxHeaderBytes, 'h'), State::Failed, ""},
        {"not HTTP", "SSH-2.0-x\r\n\r\n", State::OtherStatus, ""},
        {"201", "HTTP/1.1 201 Created\r\n\r\n", State::OtherStatus, ""},
        {"nothing at all", "", State::Failed, ""},
    };
    for (const Case& c : cases) {
        HTTPResponseParser whole;
        whole.Feed(c.response);
        whole.Close();
        EXPECT_EQ(whole.GetState(), c.state) << c.name;
        if (c.state == State::Finished) {
            EXPECT_EQ(whole.GetBody(), c.body) << c.name;
        }

        HTTPResponseParser piecewise;
        for (char byte : c.response)
            piecewise.Feed(std::string_view(&byte, 1));
        piecewise.Close();
        EXPECT_EQ(piecewise.GetState(), c.state) << c.name << " byte by byte";
        if (c.state == State::Finished) {
            EXPECT_EQ(piecewise.GetBody(), c.body) << c.name << " byte by byte";
        }
    }
}

TEST(HTTPResponseParser, SizedAndChunkedBodiesEndWithoutWaitingForTheClose)
{
    HTTPResponseParser sized;
    EXPECT_EQ(sized.Feed(kOk + "Content-Length: 3\r\n\r\nab"), State::Reading);
    EXPECT_EQ(sized.Feed("cEXTRA"), State::Finished);
    EXPECT_EQ(sized.GetBody(), "abc");
    EXPECT_EQ(sized.GetContentLength(), 3);

    HTTPResponseParser chunked;
    EXPECT_EQ(chunked.Feed(kChunked + "1\r\na\r\n0\r\n"), State::Finished);
    EXPECT_EQ(chunked.GetContentLength(), -1);
}

TEST(HTTPResponseParser, BodyUntilCloseIsBounded)
{
    HTTPResponseParser response;
    response.Feed(kOk + "\r\n");
    std::string block(1 << 20, 'b');
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(response.Feed(block), State::Reading);
    EXPECT_EQ(response.Feed("!"), State::Failed);
}
