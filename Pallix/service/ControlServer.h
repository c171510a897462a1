// The control socket: one JSON object a line each way. Each client's
// requests are handled one after the other; a request may take long (a
// self test), and the event loop runs meanwhile.
#pragma once

#include <QJsonObject>
#include <QLocalServer>
#include <QPointer>
#include <functional>
#include <stdexcept>

class QLocalSocket;

// The socket cannot be made; the service cannot start.
class StartError : public std::runtime_error {
public:
    explicit StartError(const QString &text) : std::runtime_error(text.toStdString()) {}
};

class ControlClient : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype MaxLine = 64 * 1024;

    explicit ControlClient(QLocalSocket *socket);

    void send(const QJsonObject &object);
    bool connected() const;
    void setWatching(bool watching) { watching_ = watching; }
    bool watching() const { return watching_; }

    std::function<void(ControlClient &, const QJsonObject &)> handler;

signals:
    void closed();   // the client went; a request still running sees connected() false

private:
    void readLines();
    void handleLines();
    void handleLine(const QByteArray &line);

    QPointer<QLocalSocket> socket_;
    QByteArray buffer_;
    bool handling_ = false;
    bool watching_ = false;
};

class ControlServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(ControlClient &, const QJsonObject &)>;

    explicit ControlServer(Handler handler);

    // Listens on path, for owner and group only. A stale socket file is
    // replaced; one a running service answers on is an error. Throws StartError.
    void listen(const QString &path);
    QString path() const { return server_.fullServerName(); }

    void sendToWatchers(const QJsonObject &event);

private:
    void accept();

    Handler handler_;
    QLocalServer server_;
    QList<QPointer<ControlClient>> clients_;
};
