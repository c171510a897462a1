#include "NutServer.h"

#include "NutConnection.h"

#include <QTimer>
#include <algorithm>

namespace {

// One waitForSecondaries: ends with its call, whichever way it comes.
class SecondariesWait : public QObject {
public:
    SecondariesWait(NutServer &server, std::chrono::seconds hostsync, std::function<void()> then)
        : QObject(&server), then_(std::move(then))
    {
        // Queued: then never runs inside a client's request.
        connect(
            &server, &NutServer::loginsChanged, this,
            [this](int count) {
                if (count == 0) finish();
            },
            Qt::QueuedConnection);
        // Precise: a coarse timer may end the wait up to 5 % early.
        QTimer::singleShot(hostsync, Qt::PreciseTimer, this, &SecondariesWait::finish);
        if (server.loginCount() == 0)
            QMetaObject::invokeMethod(this, &SecondariesWait::finish, Qt::QueuedConnection);
    }

private:
    void finish()
    {
        if (!then_) return;
        const std::function<void()> then = std::exchange(then_, nullptr);
        deleteLater();
        then();
    }

    std::function<void()> then_;
};

}   // namespace

NutServer::NutServer(NutSettings settings, Snapshot snapshot)
    : settings_(std::move(settings)), snapshot_(std::move(snapshot)),
      listener_(QStringLiteral("NUT clients"), MaxClients)
{
    connect(&listener_, &CappedTcpServer::accepted, this, &NutServer::accept);
    connect(&listener_, &CappedTcpServer::refused, this, &NutServer::clientRefused);
}

void NutServer::listen(const ListenAddress &address) { listener_.listen(address); }

int NutServer::loginCount() const
{
    return int(std::ranges::count_if(connections_, &NutConnection::loggedIn));
}

void NutServer::waitForSecondaries(std::chrono::seconds hostsync, std::function<void()> then)
{
    new SecondariesWait(*this, hostsync, std::move(then));
}

void NutServer::accept(QTcpSocket *socket)
{
    auto *connection = new NutConnection(
        socket,
        [this](NutSession &session, std::string_view line) { return answer(session, line); }, this);
    connections_.push_back(connection);
    connect(connection, &NutConnection::answered, this, &NutServer::noteLogins);
    connect(connection, &NutConnection::ended, this, [this, connection] {
        std::erase(connections_, connection);
        noteLogins();
    });
}

std::vector<std::string> NutServer::answer(NutSession &session, std::string_view line)
{
    const NutUps ups = snapshot_();
    const std::vector<std::string> clients = loggedInClients();
    return session.handle(line, {settings_, ups, clients, forcedShutdown_});
}

std::vector<std::string> NutServer::loggedInClients() const
{
    std::vector<std::string> clients;
    for (const NutConnection *connection : connections_)
        if (connection->loggedIn()) clients.push_back(connection->peer().toStdString());
    return clients;
}

void NutServer::noteLogins()
{
    const int count = loginCount();
    if (count == toldLogins_) return;
    toldLogins_ = count;
    emit loginsChanged(count);
}
