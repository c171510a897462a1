// pallixd: the device watch of the Control Center without its windows,
// its events told in the log and to a notify command, and a control socket
// through which pallixctl reads and writes the device beside the watch's
// own polls. Requests never wait on the device for one another's sake:
// their device calls queue on the device thread.
#pragma once

#include "ControlServer.h"
#include "HeadlessDesktop.h"
#include "NetworkServices.h"
#include "ServiceEvents.h"
#include "ServiceOptions.h"
#include "loop/TaskScope.h"
#include "loop/Timer.h"
#include "watch/DeviceWatch.h"

class PallixService : private WatchEvents {
public:
    static constexpr loop::Duration ControlCenterRecheck{5000};

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
    void deviceFound(const std::string &address) override;
    void startWatchingUnlessTaken();
    loop::Task<QJsonObject> handle(ControlClient &client, QJsonObject request);
    loop::Task<QJsonObject> answer(ControlClient &client, const QString &name,
                                   const QJsonObject &request);
    QJsonObject status() const;
    QJsonObject cancel();
    QJsonObject watchEvents(ControlClient &client);
    loop::Task<QJsonObject> deviceRequest(ControlClient &client, QJsonObject request);
    loop::Task<QJsonObject> selfTest(ControlClient &client, QString address, QJsonObject request);

    ServiceConfig config_;
    HeadlessDesktop desktop_;
    ServiceEvents events_;
    NetworkServices network_;
    ControlServer server_;
    loop::Timer controlCenterCheck_;
    bool waiting_ = false;        // for the Control Center to end
    bool firmwareTold_ = false;   // the other firmware was logged, once per run
    loop::TaskScope tasks_;
};

// Runs the service to its end; the exit status.
int runService(const ServiceConfig &config);
