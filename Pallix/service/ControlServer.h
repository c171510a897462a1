// The control socket: its listener and its clients, at most MaxClients at
// a time; one more is told so and closed.
#pragma once

#include "ControlClient.h"
#include "ControlListener.h"

#include <QList>
#include <QPointer>

class ControlServer : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxClients = 128;

    explicit ControlServer(ControlHandler handler);

    // Listens on path, for owner and group only. A stale socket is
    // replaced; one a running service answers on, or any other file, is an
    // error. Throws StartError.
    void listen(const QString &path) { listener_.listen(path); }
    QString path() const { return listener_.path(); }

    void sendToWatchers(const QJsonObject &event);

    // Takes the connections waiting and reads what every client has sent:
    // the requests that answer at once (cancel, status) are answered before
    // this returns; one behind a request still running waits its turn.
    void handleArrived();

private:
    void acceptWaiting();
    void turnAway(int fd);

    ControlHandler handler_;
    ControlListener listener_;
    QList<QPointer<ControlClient>> clients_;
    bool fullLogged_ = false;   // turning clients away was logged, once until there is room
};
