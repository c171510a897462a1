// The control socket: one JSON object a line each way. Each client's
// requests are handled one after the other; a request may take long (a
// self test) while the event loop runs on.
#pragma once

#include "loop/Task.h"
#include "loop/TaskScope.h"

#include <QJsonObject>
#include <QLocalServer>
#include <QPointer>
#include <functional>
#include <stdexcept>

class QLocalSocket;
class ControlClient;

// The socket cannot be made; the service cannot start.
class StartError : public std::runtime_error {
public:
    explicit StartError(const QString &text) : std::runtime_error(text.toStdString()) {}
};

// Answers one request; what it sends before its reply (events, test lines)
// goes through the client.
using ControlHandler = std::function<loop::Task<QJsonObject>(ControlClient &, QJsonObject)>;

class ControlClient : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype MaxLine = 64 * 1024;

    ControlClient(QLocalSocket *socket, ControlHandler handler);

    void send(const QJsonObject &object);
    bool connected() const;
    void setWatching(bool watching) { watching_ = watching; }
    bool watching() const { return watching_; }

signals:
    void closed();   // the client went; a request still running sees connected() false

private:
    void readLines();
    loop::Task<> handleLines();
    loop::Task<> handleLine(QByteArray line);

    QPointer<QLocalSocket> socket_;
    ControlHandler handler_;
    QByteArray buffer_;
    bool handling_ = false;
    bool watching_ = false;
    loop::TaskScope tasks_;
};

class ControlServer : public QObject {
    Q_OBJECT
public:
    explicit ControlServer(ControlHandler handler);

    // Listens on path, for owner and group only. A stale socket file is
    // replaced; one a running service answers on is an error. Throws StartError.
    void listen(const QString &path);
    QString path() const { return server_.fullServerName(); }

    void sendToWatchers(const QJsonObject &event);

private:
    void accept();

    ControlHandler handler_;
    QLocalServer server_;
    QList<QPointer<ControlClient>> clients_;
};
