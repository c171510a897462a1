// The HTTP/1.x of the metrics server: a request's head taken line by line,
// within bounds, and the reply to it. Only GET /metrics is served.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class HttpRequestHead {
public:
    static constexpr std::size_t MaxLine = 8192;
    static constexpr std::size_t MaxHeaders = 100;

    enum class State { Reading, Complete, Malformed };

    // One line of the head without its line end; a line over MaxLine is
    // told with tooLong().
    State add(std::string_view line);
    State tooLong() { return state_ = State::Malformed; }
    State state() const { return state_; }

    const std::string &method() const { return method_; }
    std::string path() const;   // the target without its query

private:
    State requestLine(std::string_view line);

    State state_ = State::Reading;
    std::string method_;
    std::string target_;
    std::size_t headers_ = 0;
};

struct HttpReply {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::string allow;   // the Allow header of a 405

    std::string bytes() const;   // with Connection: close; the server closes after it
};

// The reply to a complete or malformed head; page() makes the scrape.
HttpReply answerMetricsRequest(const HttpRequestHead &head,
                               const std::function<std::string()> &page);
