// The control socket's framing: requests split or joined in any way are
// answered one by one, in order; what cannot be read gets an error reply
// and the connection goes on; a client that goes while its request runs
// harms nothing.
#include "AppTestSupport.h"
#include "ControlRequests.h"
#include "ControlServer.h"
#include "loop/Waits.h"

#include <QFile>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

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

TEST_F(ControlServerTest, ARunningServiceKeepsItsSocketAndAStaleFileIsReplaced)
{
    ControlServer second{[](ControlClient &, QJsonObject) -> loop::Task<QJsonObject> { co_return QJsonObject(); }};
    EXPECT_THROW(second.listen(path), StartError);
    const QString stale = dir.filePath(QStringLiteral("stale.sock"));
    {
        QFile file(stale);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_NO_THROW(second.listen(stale));
    EXPECT_EQ(QFile::permissions(stale) & 0x7777, QFile::ReadOwner | QFile::WriteOwner
                                                      | QFile::ReadUser | QFile::WriteUser
                                                      | QFile::ReadGroup | QFile::WriteGroup);
}

}   // namespace
