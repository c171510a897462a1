// One client of the control socket: one JSON object a line each way, its
// requests handled one after the other; a request may take long (a self
// test) while the event loop runs on. A client that closed its sending
// side still gets its replies; one that does not read them is dropped.
#pragma once

#include "PeerCredentials.h"
#include "loop/Task.h"
#include "loop/TaskScope.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

class ControlClient;

// Answers one request; what it sends before its reply (events, test lines)
// goes through the client.
using ControlHandler = std::function<loop::Task<QJsonObject>(ControlClient &, QJsonObject)>;

class ControlClient : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype MaxLine = 64 * 1024;
    // Replies and events the client has not read yet, at most.
    static constexpr qsizetype MaxUnread = 1024 * 1024;

    // Takes the connected descriptor.
    ControlClient(int fd, ControlHandler handler);
    ~ControlClient() override;
    ControlClient(const ControlClient &) = delete;
    ControlClient &operator=(const ControlClient &) = delete;

    void send(const QJsonObject &object);
    bool connected() const { return fd_ >= 0; }
    const PeerCredentials &peer() const { return peer_; }
    void setWatching(bool watching) { watching_ = watching; }
    bool watching() const { return watching_; }

    // Reads what has come and handles it; what answers at once is answered
    // before this returns.
    void readArrived();

signals:
    void closed();   // the client went; a request still running sees connected() false

private:
    void inputEnded();
    bool lineTooLong() const;
    void refuseLongLine();
    loop::Task<> handleLines();
    loop::Task<> handleLine(QByteArray line);
    void writeOut();
    void closeWhenDone();
    void close();

    int fd_;
    PeerCredentials peer_;
    ControlHandler handler_;
    std::unique_ptr<QSocketNotifier> reader_;
    std::unique_ptr<QSocketNotifier> writer_;
    QByteArray input_;
    QByteArray output_;
    bool inputEnded_ = false;   // the client sends no more; replies still go out
    bool handling_ = false;
    bool watching_ = false;
    loop::TaskScope tasks_;
};
