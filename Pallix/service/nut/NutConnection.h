// One NUT client's connection: its request lines in, the replies out, in
// order. A line over NUT's limit is answered with an error and skipped; a
// client that lets its replies pile up unread is dropped.
#pragma once

#include "LineSplitter.h"
#include "NutProtocol.h"

#include <QObject>
#include <functional>

class QTcpSocket;

class NutConnection : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 MaxPendingOutput = 64 * 1024;
    static constexpr qint64 ReadChunk = 4096;

    // The server's answer to one line of this session.
    using Answer = std::function<std::vector<std::string>(NutSession &, std::string_view line)>;

    NutConnection(QTcpSocket *socket, Answer answer, QObject *parent);

    bool loggedIn() const { return !ended_ && session_.loggedIn(); }
    const QString &peer() const { return peer_; }

signals:
    void answered();   // the session may have logged in or out
    void ended();      // the client went or was dropped; deleted later

private:
    void readRequests();
    void send(const std::vector<std::string> &reply);
    void end();

    QTcpSocket *socket_;
    Answer answer_;
    NutSession session_;
    LineSplitter lines_{NutSession::MaxLine};
    QString peer_;
    bool ended_ = false;
};
