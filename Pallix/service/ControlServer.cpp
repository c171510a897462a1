#include "ControlServer.h"

#include "ControlRequests.h"
#include "app/LogFile.h"

#include <QJsonDocument>

#include <sys/socket.h>
#include <unistd.h>

ControlServer::ControlServer(ControlHandler handler) : handler_(std::move(handler))
{
    connect(&listener_, &ControlListener::connectionsWaiting, this, &ControlServer::acceptWaiting);
}

void ControlServer::acceptWaiting()
{
    for (const int fd : listener_.acceptWaiting()) {
        clients_.removeAll(nullptr);
        if (clients_.size() >= MaxClients) {
            turnAway(fd);
            continue;
        }
        fullLogged_ = false;
        auto *client = new ControlClient(fd, handler_);
        client->setParent(this);   // those still there go with the server
        clients_ << client;
    }
}

// One line, if the socket takes it at once, and the connection closes.
void ControlServer::turnAway(int fd)
{
    if (!fullLogged_)
        logFile("pallixd serves " + std::to_string(MaxClients)
                + " control clients at once and turns further ones away");
    fullLogged_ = true;
    const QByteArray line =
        QJsonDocument(errorReply(QStringLiteral("pallixd serves %1 clients at once already; try "
                                                "again later")
                                     .arg(MaxClients),
                                 ReplyKind::Busy))
            .toJson(QJsonDocument::Compact)
        + '\n';
    [[maybe_unused]] const ssize_t sent =
        ::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::close(fd);
}

void ControlServer::handleArrived()
{
    acceptWaiting();
    for (const QPointer<ControlClient> &client : QList(clients_))
        if (client && client->connected()) client->readArrived();
}

void ControlServer::sendToWatchers(const QJsonObject &event)
{
    for (const QPointer<ControlClient> &client : QList(clients_))
        if (client && client->watching()) client->send(event);
}
