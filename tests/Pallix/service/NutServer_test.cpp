// pallixd's NUT server over real sockets: logins counted across clients,
// and clients that misbehave (malformed and huge lines, a hundred at once,
// one that never reads) leave it running and answering the others.
#include "NutServer.h"
#include "PallixNutUps.h"
#include "TcpTestClient.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

NutSettings monitorAccount()
{
    NutSettings settings;
    settings.user = "monuser";
    settings.password = "secret";
    return settings;
}

class NutServerTest : public ::testing::Test {
protected:
    NutServerTest()
    {
        facts.answers = true;
        server.listen({QHostAddress::LocalHost, 0});
        QObject::connect(&server, &NutServer::loginsChanged, [this](int n) { told.push_back(n); });
    }

    std::unique_ptr<TcpTestClient> client()
    {
        return std::make_unique<TcpTestClient>(server.port());
    }

    bool answersStatus()
    {
        TcpTestClient probe(server.port());
        probe.send("GET VAR pallix ups.status\n");
        return probe.lines(1) == QList<QByteArray>{"VAR pallix ups.status \"OL\""};
    }

    const NutSettings settings = monitorAccount();
    PallixNutFacts facts;
    NutServer server{settings, [this] { return pallixNutUps(facts); }};
    std::vector<int> told;
};

const QByteArray LogIn = "USERNAME monuser\nPASSWORD secret\nLOGIN pallix\n";

TEST_F(NutServerTest, LoginsAreCountedAndListedAcrossClients)
{
    auto first = client(), second = client();
    first->send(LogIn);
    second->send(LogIn);
    ASSERT_EQ(first->lines(3).size(), 3);
    ASSERT_EQ(second->lines(3).size(), 3);

    auto reader = client();
    reader->send("GET NUMLOGINS pallix\nLIST CLIENT pallix\n");
    EXPECT_EQ(reader->lines(5),
              (QList<QByteArray>{"NUMLOGINS pallix 2", "BEGIN LIST CLIENT pallix",
                                 "CLIENT pallix 127.0.0.1", "CLIENT pallix 127.0.0.1",
                                 "END LIST CLIENT pallix"}));

    // One goes without a word, the other says goodbye.
    first.reset();
    EXPECT_TRUE(waitUntil([&] { return server.loginCount() == 1; }, 3000));
    second->send("LOGOUT\n");
    EXPECT_EQ(second->lines(4).value(3), "OK Goodbye");
    EXPECT_TRUE(waitUntil([&] { return second->closed(); }, 3000));
    EXPECT_EQ(server.loginCount(), 0);
    EXPECT_EQ(told, (std::vector<int>{1, 2, 1, 0}));
}

TEST_F(NutServerTest, MalformedAndHugeLinesGetOneErrorEachAndTheClientGoesOn)
{
    auto c = client();
    c->send(QByteArray("\x00\x01garbage\xff\n", 12) + "GET VAR pallix \"open\n"
            + QByteArray(10000, 'A') + '\n');
    // A line of a megabyte, in pieces, costs one error and no memory.
    for (int i = 0; i < 64; ++i)
        c->send(QByteArray(16384, 'B'));
    c->send("\nGET VAR pallix ups.status\n");
    EXPECT_EQ(c->lines(5, 10000), (QList<QByteArray>{"ERR UNKNOWN-COMMAND", "ERR INVALID-ARGUMENT",
                                                     "ERR INVALID-ARGUMENT", "ERR INVALID-ARGUMENT",
                                                     "VAR pallix ups.status \"OL\""}));
    EXPECT_FALSE(c->closed());
    EXPECT_TRUE(answersStatus());
}

TEST_F(NutServerTest, AHundredClientsAtOnceGetTheirAnswersUpToTheCap)
{
    int refused = 0;
    QObject::connect(&server, &NutServer::clientRefused, [&] { ++refused; });
    std::vector<std::unique_ptr<TcpTestClient>> clients;
    for (int i = 0; i < 100; ++i)
        clients.push_back(client());
    for (auto &c : clients)
        c->send("GET VAR pallix ups.status\n");
    const auto settled = [&] {
        return std::ranges::all_of(
            clients, [](const auto &c) { return c->closed() || c->received.contains('\n'); });
    };
    ASSERT_TRUE(waitUntil(settled, 10000));
    const auto answered = std::ranges::count_if(
        clients, [](const auto &c) { return c->received == "VAR pallix ups.status \"OL\"\n"; });
    EXPECT_EQ(answered, NutServer::MaxClients);
    EXPECT_EQ(refused, 100 - NutServer::MaxClients);

    clients.clear();
    EXPECT_TRUE(waitUntil([&] { return answersStatus(); }, 3000));
}

TEST_F(NutServerTest, AClientThatNeverReadsIsDropped)
{
    auto flood = client();
    ASSERT_TRUE(flood->socket.waitForConnected(3000));
    flood->socket.setReadBufferSize(1);   // Qt stops reading: the replies pile up
    flood->socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    QByteArray requests = LogIn;
    for (int i = 0; i < 20000; ++i)
        requests += "LIST VAR pallix\n";
    flood->send(requests);
    EXPECT_TRUE(waitUntil([&] { return !told.empty() && told.back() == 0; }, 20000));
    EXPECT_EQ(told, (std::vector<int>{1, 0}));
    EXPECT_TRUE(answersStatus());
}

TEST_F(NutServerTest, ATakenPortIsAClearStartError)
{
    NutServer second(settings, [] { return NutUps{}; });
    const ListenAddress taken{QHostAddress::LocalHost, server.port()};
    try {
        second.listen(taken);
        FAIL() << "a second server listened on a taken port";
    } catch (const ListenError &error) {
        EXPECT_NE(std::string(error.what())
                      .find("cannot listen for NUT clients on " + taken.text().toStdString()),
                  std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(answersStatus());
}

}   // namespace
