// pallixd: the device watch of the Control Center without its windows,
// its events told in the log and to a notify command, and a control socket
// through which pallixctl reads and writes the device between the watch's
// own polls.
#pragma once

#include "ControlServer.h"
#include "DeviceWatch.h"
#include "HeadlessDesktop.h"
#include "ServiceEvents.h"
#include "ServiceOptions.h"

#include <QTimer>

class PallixService : public QObject {
    Q_OBJECT
public:
    static constexpr int ControlCenterRecheckMs = 5000;

    explicit PallixService(const ServiceConfig &config);
    ~PallixService() override;

    // Listens on the socket, loads the library and starts watching, or
    // waits while the Control Center watches. Throws StartError.
    void start();
    // SIGTERM: a running write test restores the settings, then the loop ends.
    void stop();

    QString state() const;   // "waiting", "searching", "watching" or "counting-down"

    DeviceWatch watch;

private:
    void startWatchingUnlessTaken();
    void handle(ControlClient &client, const QJsonObject &request);
    QJsonObject status() const;
    QJsonObject cancel();
    QJsonObject watchEvents(ControlClient &client);
    // get, set and selftest: one at a time, never while waiting.
    QJsonObject deviceRequest(ControlClient &client, const QJsonObject &request);
    QJsonObject selfTest(ControlClient &client, const QString &address, const QJsonObject &request);

    ServiceConfig config_;
    HeadlessDesktop desktop_;
    ServiceEvents events_;
    ControlServer server_;
    QTimer controlCenterCheck_;
    bool waiting_ = false;        // for the Control Center to end
    bool firmwareTold_ = false;   // the other firmware was logged, once per run
    bool deviceRequestRunning_ = false;
};

// Runs the service to its end; the exit status.
int runService(const ServiceConfig &config);
