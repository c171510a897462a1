// The two ways pallixctl reaches the Pallix: through pallixd's control
// socket, or through the device library when no service runs. Both answer
// a request object with a reply object and hand over what comes before it
// (events, self-test lines).
#pragma once

#include "CtlOptions.h"
#include "app/Platform.h"

#include <QJsonObject>
#include <QLocalSocket>
#include <functional>
#include <memory>

using Streamed = std::function<void(const QJsonObject &)>;

class CtlLink {
public:
    virtual ~CtlLink() = default;
    virtual QJsonObject exchange(const QJsonObject &request, const Streamed &streamed) = 0;
    // After a watch reply: the events until the service goes or the user stops.
    virtual QJsonObject follow(const Streamed &streamed) = 0;
    virtual bool throughService() const = 0;
};

// Set from a signal handler: the user pressed Ctrl-C.
bool interrupted();
void catchInterrupt();

class ServiceLink : public CtlLink {
public:
    // The service's socket, when one answers: the named one, or else the
    // user's and then the system's. Null otherwise; why, when a socket file
    // is there but cannot be opened, goes to problem.
    static std::unique_ptr<ServiceLink> open(const QString &namedPath, QString *problem);

    QJsonObject exchange(const QJsonObject &request, const Streamed &streamed) override;
    QJsonObject follow(const Streamed &streamed) override;
    bool throughService() const override { return true; }

private:
    // The next object the service sends; none when it went or the user stopped.
    std::optional<QJsonObject> next();

    QLocalSocket socket_;
    QByteArray buffer_;
};

class DirectLink : public CtlLink {
public:
    explicit DirectLink(const CtlRequest &request);

    QJsonObject exchange(const QJsonObject &request, const Streamed &streamed) override;
    QJsonObject follow(const Streamed &) override;
    bool throughService() const override { return false; }

private:
    // An error reply, or empty once the device is known: found by discovery,
    // or named with --device (probed only when asked to).
    QJsonObject findDevice(bool probeNamedDevice);
    QJsonObject selfTest(const QJsonObject &request, const Streamed &streamed);

};

// The place of this PC's monitor, held while pallixctl talks to the device
// itself; null, and why in refusal, when it may not.
std::unique_ptr<MonitorLock> claimDirectAccess(const QString &socketProblem, QString *refusal);
