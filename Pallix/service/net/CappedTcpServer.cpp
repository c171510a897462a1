#include "CappedTcpServer.h"

#include <QTcpSocket>
#include <memory>

CappedTcpServer::CappedTcpServer(QString purpose, int maxClients)
    : purpose_(std::move(purpose)), maxClients_(maxClients)
{
    connect(&server_, &QTcpServer::newConnection, this, &CappedTcpServer::acceptPending);
}

void CappedTcpServer::listen(const ListenAddress &address)
{
    if (!server_.listen(address.host, address.port))
        throw ListenError(QStringLiteral("cannot listen for %1 on %2: %3")
                              .arg(purpose_, address.text(), server_.errorString()));
}

void CappedTcpServer::acceptPending()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        if (clients_ >= maxClients_) {
            emit refused(peerText(*socket));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++clients_;
        socket->setParent(this);
        // Its place is free when it goes, or when it is deleted unclosed. With
        // this server as context: a socket that outlives it counts nothing.
        const auto release = [this, counted = std::make_shared<bool>(true)] {
            if (std::exchange(*counted, false)) --clients_;
        };
        connect(socket, &QTcpSocket::disconnected, this, release);
        connect(socket, &QObject::destroyed, this, release);
        emit accepted(socket);
    }
}

QString peerText(const QTcpSocket &socket)
{
    const QHostAddress peer = socket.peerAddress();
    bool mapped = false;
    const quint32 ipv4 = peer.toIPv4Address(&mapped);
    return mapped ? QHostAddress(ipv4).toString() : peer.toString();
}
