// The metrics server over real sockets: the scrape, and everything else a
// client may send (other paths and methods, malformed or huge heads,
// requests that never finish) answered or closed, never a crash.
#include "Metrics.h"
#include "MetricsServer.h"
#include "TcpTestClient.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class MetricsServerTest : public ::testing::Test {
protected:
    MetricsServerTest() { server.listen({QHostAddress::LocalHost, 0}); }

    // Everything the server sent before it closed.
    QByteArray exchange(const QByteArray &request)
    {
        TcpTestClient client(server.port());
        client.send(request);
        EXPECT_TRUE(waitUntil([&] { return client.closed(); }, 5000)) << request.left(40).data();
        return client.received;
    }

    MetricsServer server{[] { return std::string("pallix_device_up 1\n"); }};
};

TEST_F(MetricsServerTest, TheScrapeAndEverythingElse)
{
    const QByteArray scrape = exchange("GET /metrics HTTP/1.1\r\nHost: pallix\r\n\r\n");
    EXPECT_TRUE(scrape.startsWith("HTTP/1.1 200 OK\r\n")) << scrape.data();
    EXPECT_TRUE(scrape.contains(QByteArray("\r\nContent-Type: ") + MetricsContentType + "\r\n"));
    EXPECT_TRUE(scrape.endsWith("\r\n\r\npallix_device_up 1\n"));
    EXPECT_TRUE(exchange("GET /metrics?x=1 HTTP/1.0\n\n").startsWith("HTTP/1.1 200 "));

    const std::pair<QByteArray, QByteArray> others[] = {
        {"GET / HTTP/1.1\r\n\r\n", "HTTP/1.1 404 "},
        {"GET /metrics/x HTTP/1.1\r\n\r\n", "HTTP/1.1 404 "},
        {"POST /metrics HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", "HTTP/1.1 405 "},
        {"HELLO\r\n\r\n", "HTTP/1.1 400 "},
        {"GET /metrics HTTP/2.0\r\n\r\n", "HTTP/1.1 400 "},
        {"GET /metrics HTTP/1.1\r\nno colon\r\n\r\n", "HTTP/1.1 400 "},
        {"GET /metrics HTTP/1.1\r\nX: " + QByteArray(100000, 'x') + "\r\n\r\n", "HTTP/1.1 400 "},
        {"GET /metrics HTTP/1.1\r\n" + QByteArray("X: y\r\n").repeated(500) + "\r\n",
         "HTTP/1.1 400 "},
    };
    for (const auto &[request, status] : others)
        EXPECT_TRUE(exchange(request).startsWith(status)) << request.left(40).data();
    EXPECT_TRUE(exchange("PUT /metrics HTTP/1.1\r\n\r\n").contains("\r\nAllow: GET\r\n"));
}

// Clients that never finish their request hold their places only so long.
TEST_F(MetricsServerTest, StalledClientsAreClosedInTimeAndScrapesGoOn)
{
    std::vector<std::unique_ptr<TcpTestClient>> stalled;
    for (int i = 0; i < MetricsServer::MaxClients; ++i) {
        stalled.push_back(std::make_unique<TcpTestClient>(server.port()));
        stalled.back()->send("GET /metrics HTTP/1.1\r\n");
        ASSERT_TRUE(stalled.back()->socket.waitForConnected(3000));
    }
    TcpTestClient oneTooMany(server.port());
    EXPECT_TRUE(waitUntil([&] { return oneTooMany.closed(); }, 3000));
    EXPECT_TRUE(oneTooMany.received.isEmpty());

    const auto allClosed = [&] {
        return std::ranges::all_of(stalled, [](const auto &c) { return c->closed(); });
    };
    const int limitMs = int(std::chrono::milliseconds(MetricsServer::RequestTime).count());
    EXPECT_TRUE(waitUntil(allClosed, limitMs + 3000));
    EXPECT_TRUE(exchange("GET /metrics HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 200 "));
}

}   // namespace
