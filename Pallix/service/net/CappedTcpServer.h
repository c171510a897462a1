// A TCP listener that serves a bounded number of clients at once. One more
// is closed as soon as it comes (and said), so a flood of connections
// costs a socket for a moment, never memory that stays.
#pragma once

#include "ListenAddress.h"

#include <QTcpServer>
#include <QTcpSocket>

class CappedTcpServer : public QObject {
    Q_OBJECT
public:
    // purpose names the server in errors ("NUT clients", "metrics scrapes").
    CappedTcpServer(QString purpose, int maxClients);

    // Throws ListenError, e.g. when the port is taken.
    void listen(const ListenAddress &address);
    quint16 port() const { return server_.serverPort(); }
    int clients() const { return clients_; }

signals:
    // A client within the cap; the receiver takes the socket (its parent
    // is still this server until it is given another).
    void accepted(QTcpSocket *socket);
    void refused(const QString &peer);

private:
    void acceptPending();

    QString purpose_;
    int maxClients_;
    int clients_ = 0;
    QTcpServer server_;
};

// The peer's address as people write it: an IPv4 client of a server on
// "::" shows as 192.0.2.1, not ::ffff:192.0.2.1.
QString peerText(const QTcpSocket &socket);
