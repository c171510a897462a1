// The control socket's framing: requests split or joined in any way are
// answered one by one, in order; what cannot be read gets an error reply
// and the connection goes on; a client that goes while its request runs
// harms nothing. And its edges: half-closed clients, clients that do not
// read, too many clients, no descriptors left, files in the socket's place.
#include "AppTestSupport.h"
#include "ControlRequests.h"
#include "ControlServer.h"
#include "app/LogFile.h"
#include "loop/Waits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class ControlServerTest : public ::testing::Test {
protected:
    ControlServerTest()
    {
        server.listen(path);
        client.connectToServer(path);
        EXPECT_TRUE(client.waitForConnected(2000));
    }

    // Echoes the request's "n"; "slow" requests wait a while first.
    loop::Task<QJsonObject> handle(ControlClient &from, QJsonObject request)
    {
        if (onRequest) onRequest(from);
        if (request.value(QStringLiteral("big")).toBool()) {
            ++handled;
            co_return QJsonObject{{QStringLiteral("ok"), true},
                                  {QStringLiteral("pad"), QString(8192, QLatin1Char('x'))}};
        }
        if (request.value(QStringLiteral("slow")).toBool()) {
            QObject::connect(&from, &ControlClient::closed, [this] { closedDuringRequest = true; });
            co_await loop::delay{loop::Duration(300)};
        }
        ++handled;
        co_return QJsonObject{{QStringLiteral("ok"), true}, {QStringLiteral("n"), request["n"]}};
    }

    void send(const QByteArray &bytes)
    {
        client.write(bytes);
        client.flush();
    }

    // The replies that come within the time.
    QList<QJsonObject> replies(int count, int timeoutMs = 3000)
    {
        waitUntil([&] { return received.count('\n') >= count; }, timeoutMs);
        QList<QJsonObject> objects;
        for (const QByteArray &line : received.split('\n'))
            if (!line.isEmpty()) objects << QJsonDocument::fromJson(line).object();
        return objects;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("run/pallixd.sock"));
    int handled = 0;
    bool closedDuringRequest = false;
    std::function<void(ControlClient &)> onRequest;
    ControlServer server{[this](ControlClient &c, QJsonObject r) { return handle(c, std::move(r)); }};
    QLocalSocket client;
    QByteArray received;
    QMetaObject::Connection reading = QObject::connect(&client, &QLocalSocket::readyRead,
                                                       [this] { received += client.readAll(); });
};

TEST_F(ControlServerTest, RequestsSplitAndJoinedAreAnsweredInOrder)
{
    send("{\"n\":");
    waitUntil([] { return false; }, 50);
    send("1}\n{\"n\":2,\"slow\":true}\n{\"n\"");
    send(":3}\n\n");
    const QList<QJsonObject> got = replies(3);
    ASSERT_EQ(got.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(got[i]["n"].toInt(), i + 1);
}

TEST_F(ControlServerTest, UnreadableLinesGetAnErrorAndTheConnectionGoesOn)
{
    send("no json\n[1,2]\n{\"n\":7}\n");
    const QList<QJsonObject> got = replies(3);
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0]["kind"].toString(), ReplyKind::Invalid);
    EXPECT_EQ(got[1]["kind"].toString(), ReplyKind::Invalid);
    EXPECT_EQ(got[2]["n"].toInt(), 7);
    EXPECT_EQ(handled, 1);
}

TEST_F(ControlServerTest, AnEndlessLineIsRefusedAndTheClientClosed)
{
    send(QByteArray(ControlClient::MaxLine + 10, 'x'));
    EXPECT_TRUE(waitUntil([&] { return client.state() == QLocalSocket::UnconnectedState; }, 3000));
    EXPECT_TRUE(received.contains("at most 64 KiB"));
    EXPECT_EQ(handled, 0);
}

TEST_F(ControlServerTest, AClientThatGoesDuringItsRequestHarmsNothing)
{
    QTimer::singleShot(100, &client, [&] { client.abort(); });   // while n 1 runs
    send("{\"n\":1,\"slow\":true}\n{\"n\":2}\n");
    EXPECT_TRUE(waitUntil([&] { return handled >= 1; }, 2000));
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(handled, 1);              // the second request left with its client
    EXPECT_TRUE(closedDuringRequest);   // what stops a self test

    QLocalSocket again;
    again.connectToServer(path);
    ASSERT_TRUE(again.waitForConnected(2000));
    again.write("{\"n\":3}\n");
    again.flush();
    EXPECT_TRUE(waitUntil([&] { return handled == 2; }, 2000));
}

// The log's entries while it lives.
struct LogCapture {
    LogCapture()
    {
        setLogSink([this](const std::string &entry) { entries.push_back(entry); });
    }
    ~LogCapture() { setLogSink({}); }
    std::vector<std::string> entries;
};

// A raw client, for what QLocalSocket cannot do (half-close, not reading).
class RawClient {
public:
    explicit RawClient(const QString &path)
    {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~RawClient() { ::close(fd); }
    void write(const QByteArray &bytes) { ASSERT_EQ(::write(fd, bytes.data(), size_t(bytes.size())), bytes.size()); }
    // What came until the server closed or the time ran out, the loop running meanwhile.
    QByteArray readToEnd(int timeoutMs = 3000)
    {
        QByteArray got;
        ended = false;
        waitUntil([&] {
            pollfd state{fd, POLLIN, 0};
            while (::poll(&state, 1, 0) == 1) {
                char chunk[4096];
                const ssize_t n = ::read(fd, chunk, sizeof chunk);
                if (n <= 0) return ended = true;
                got.append(chunk, n);
            }
            return false;
        }, timeoutMs);
        return got;
    }

    int fd = -1;
    bool connected = false;
    bool ended = false;
};

TEST_F(ControlServerTest, AClientThatClosesItsSendingSideGetsEveryReply)
{
    RawClient raw(path);
    raw.write("{\"n\":1,\"slow\":true}\n{\"n\":2}");   // the last line unterminated, as nc sends it
    ::shutdown(raw.fd, SHUT_WR);
    const QByteArray got = raw.readToEnd();
    EXPECT_TRUE(raw.ended);
    EXPECT_EQ(got.count('\n'), 2) << got.constData();
    EXPECT_TRUE(got.contains("\"n\":2")) << got.constData();
    EXPECT_EQ(handled, 2);
}

TEST_F(ControlServerTest, AClientThatDoesNotReadIsDroppedAndLogged)
{
    LogCapture log;
    RawClient raw(path);
    bool dropped = false;
    onRequest = [&](ControlClient &from) {
        QObject::connect(&from, &ControlClient::closed, [&] { dropped = true; });
    };
    QByteArray requests;
    for (int i = 0; i < 400; ++i)
        requests += "{\"big\":true}\n";   // 400 replies of 8 KiB, none read
    raw.write(requests);
    EXPECT_TRUE(waitUntil([&] { return dropped; }, 5000));
    EXPECT_LT(handled, 400);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_NE(log.entries[0].find("does not read"), std::string::npos) << log.entries[0];
    EXPECT_NE(log.entries[0].find("pid " + std::to_string(::getpid())), std::string::npos);
}

TEST_F(ControlServerTest, ClientsBeyondTheLimitAreToldAndClosedAndRoomComesBack)
{
    std::vector<std::unique_ptr<RawClient>> crowd;
    for (int i = 1; i < ControlServer::MaxClients; ++i)   // the fixture's client is one
        crowd.push_back(std::make_unique<RawClient>(path));
    letLoopRun(200);
    RawClient extra(path);
    const QByteArray refusal = extra.readToEnd();
    EXPECT_TRUE(extra.ended);
    EXPECT_TRUE(refusal.contains("\"kind\":\"busy\"")) << refusal.constData();
    crowd.clear();
    letLoopRun(200);
    RawClient later(path);
    later.write("{\"n\":5}\n");
    ::shutdown(later.fd, SHUT_WR);
    EXPECT_TRUE(later.readToEnd().contains("\"n\":5"));
}

// No descriptor left: the connection waits, the socket stays and serves it
// once there is one again.
TEST_F(ControlServerTest, AnAcceptThatFailsKeepsTheSocketListening)
{
    LogCapture log;
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "UBSan checks a virtual call's type through a pipe(), for which this test "
                    "leaves no descriptor";
#endif
    RawClient waiting(path);   // made while descriptors are left
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlim_t highest = 0;   // poll() still takes every open descriptor
    for (const QString &fd : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files))
        highest = std::max<rlim_t>(highest, fd.toULong());
    const rlimit none{highest + 1, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    std::vector<int> gaps;   // the free numbers below the limit, taken
    for (int fd; (fd = ::dup(0)) >= 0;)
        gaps.push_back(fd);
    waiting.write("{\"n\":9}\n");
    letLoopRun(3 * ControlListener::RetryMs);
    for (const int fd : gaps)
        ::close(fd);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
    EXPECT_TRUE(QFileInfo(path).exists());
    EXPECT_TRUE(waitUntil([&] { return handled == 1; }, 3000));
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_NE(log.entries[0].find("cannot take a control connection"), std::string::npos)
        << log.entries[0];
    EXPECT_NE(log.entries[1].find("again"), std::string::npos) << log.entries[1];
}

TEST_F(ControlServerTest, TheClientIsKnownByItsCredentials)
{
    std::optional<PeerCredentials> seen;
    onRequest = [&](ControlClient &from) { seen = from.peer(); };
    send("{\"n\":1}\n");
    ASSERT_TRUE(waitUntil([&] { return seen.has_value(); }, 2000));
    EXPECT_EQ(seen->pid, ::getpid());
    EXPECT_EQ(seen->uid, ::getuid());
    EXPECT_TRUE(seen->inGroup(::getgid()));
}

// What waits on the socket is handled on the spot, without the loop.
TEST_F(ControlServerTest, WaitingRequestsAreHandledWhenAsked)
{
    send("{\"n\":1}\n");
    RawClient unaccepted(path);
    unaccepted.write("{\"n\":2}\n");
    server.handleArrived();
    EXPECT_EQ(handled, 2);
}

TEST_F(ControlServerTest, ARunningServiceKeepsItsSocketAndOnlyAStaleSocketIsReplaced)
{
    ControlServer second{[](ControlClient &, QJsonObject) -> loop::Task<QJsonObject> { co_return QJsonObject(); }};
    EXPECT_THROW(second.listen(path), StartError);

    const QString config = dir.filePath(QStringLiteral("pallixd.conf"));
    {
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("dry-run = yes\n");
    }
    const QString link = dir.filePath(QStringLiteral("link.sock"));
    ASSERT_TRUE(QFile::link(config, link));
    for (const QString &taken : {config, link, dir.path()}) {
        try {
            second.listen(taken);
            ADD_FAILURE() << "listened on " << taken.toStdString();
        } catch (const StartError &error) {
            EXPECT_NE(std::string(error.what()).find("is not a socket"), std::string::npos)
                << error.what();
        }
    }
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "dry-run = yes\n");

    const QString ended = dir.filePath(QStringLiteral("ended.sock"));
    {
        ControlServer service{[](ControlClient &, QJsonObject) -> loop::Task<QJsonObject> { co_return QJsonObject(); }};
        service.listen(ended);
    }
    EXPECT_FALSE(QFileInfo::exists(ended));   // a service that ends takes its socket along

    const QString stale = dir.filePath(QStringLiteral("stale.sock"));
    {   // one that was killed leaves it
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(stale);
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(fd);
    }
    EXPECT_NO_THROW(second.listen(stale));
    EXPECT_EQ(QFile::permissions(stale) & 0x7777, QFile::ReadOwner | QFile::WriteOwner
                                                      | QFile::ReadUser | QFile::WriteUser
                                                      | QFile::ReadGroup | QFile::WriteGroup);
}

}   // namespace
