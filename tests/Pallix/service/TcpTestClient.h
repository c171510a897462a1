// A client of the service's TCP servers for tests: what it received, as
// the event loop runs, and whether the server closed it.
#pragma once

#include "AppTestSupport.h"

#include <QTcpSocket>

class TcpTestClient {
public:
    explicit TcpTestClient(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }

    void send(const QByteArray &bytes) { socket.write(bytes); }
    bool closed() const { return socket.state() == QAbstractSocket::UnconnectedState; }

    // The lines that came within the time, or before the server closed.
    QList<QByteArray> lines(qsizetype count, int timeoutMs = 3000)
    {
        waitUntil([&] { return received.count('\n') >= count || closed(); }, timeoutMs);
        QList<QByteArray> all = received.split('\n');
        all.removeLast();
        return all;
    }

    QTcpSocket socket;
    QByteArray received;
};
