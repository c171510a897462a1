#include "HttpExchange.h"

#include "Metrics.h"

#include <algorithm>

namespace {

std::string_view reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    default: return "Error";
    }
}

HttpReply plain(int status, std::string text)
{
    HttpReply reply;
    reply.status = status;
    reply.body = std::move(text) + '\n';
    return reply;
}

bool isToken(std::string_view word)
{
    return !word.empty() && std::ranges::all_of(word, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
               || std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
    });
}

}   // namespace

HttpRequestHead::State HttpRequestHead::add(std::string_view line)
{
    if (state_ != State::Reading) return state_;
    if (method_.empty()) return requestLine(line);
    if (line.empty()) return state_ = State::Complete;
    if (++headers_ > MaxHeaders || line.find(':') == std::string_view::npos)
        return state_ = State::Malformed;
    return state_;
}

// "METHOD TARGET HTTP/1.x"; an empty line before it is allowed.
HttpRequestHead::State HttpRequestHead::requestLine(std::string_view line)
{
    if (line.empty()) return state_;
    const std::size_t first = line.find(' ');
    const std::size_t second = line.find(' ', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos)
        return state_ = State::Malformed;
    const std::string_view method = line.substr(0, first);
    const std::string_view target = line.substr(first + 1, second - first - 1);
    const std::string_view version = line.substr(second + 1);
    if (!isToken(method) || !target.starts_with('/')
        || (version != "HTTP/1.1" && version != "HTTP/1.0"))
        return state_ = State::Malformed;
    method_ = method;
    target_ = target;
    return state_;
}

std::string HttpRequestHead::path() const { return target_.substr(0, target_.find('?')); }

std::string HttpReply::bytes() const
{
    std::string head = "HTTP/1.1 " + std::to_string(status) + ' ' + std::string(reason(status))
                       + "\r\nContent-Type: " + contentType + "\r\nContent-Length: "
                       + std::to_string(body.size()) + "\r\nConnection: close\r\n";
    if (!allow.empty()) head += "Allow: " + allow + "\r\n";
    return head + "\r\n" + body;
}

HttpReply answerMetricsRequest(const HttpRequestHead &head,
                               const std::function<std::string()> &page)
{
    if (head.state() != HttpRequestHead::State::Complete) return plain(400, "Bad request");
    if (head.path() != "/metrics") return plain(404, "Not found: the metrics are at /metrics");
    if (head.method() != "GET") {
        HttpReply reply = plain(405, "Only GET is served");
        reply.allow = "GET";
        return reply;
    }
    HttpReply reply;
    reply.contentType = MetricsContentType;
    reply.body = page();
    return reply;
}
