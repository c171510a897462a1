// A minimal HTTP/1.1 server for Prometheus: GET /metrics, one request per
// connection. Whatever else comes gets 400, 404 or 405, or is closed when
// it does not finish its request in time; each client costs a bounded
// amount of memory, and only so many are served at once.
#pragma once

#include "CappedTcpServer.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <string>

class MetricsServer : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxClients = 16;
    static constexpr std::chrono::seconds RequestTime{10};

    // Makes the scrape's text (renderMetrics of the service's snapshot).
    using Page = std::function<std::string()>;

    explicit MetricsServer(Page page);

    // Throws ListenError (e.g. the port is taken).
    void listen(const ListenAddress &address);
    quint16 port() const { return listener_.port(); }

signals:
    void clientRefused(const QString &peer);   // MaxClients are connected

private:
    void serve(QTcpSocket *socket);

    const Page page_;
    CappedTcpServer listener_;
};
