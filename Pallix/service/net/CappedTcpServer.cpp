#include "CappedTcpServer.h"

#include <QTcpSocket>

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
        // With this server as context: a socket that outlives it counts nothing.
        connect(socket, &QObject::destroyed, this, [this] { --clients_; });
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
