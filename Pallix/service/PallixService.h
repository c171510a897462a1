// pallixd: the device watch of the Control Center without its windows,
// its events told in the log and to a notify command, and a control socket
// through which pallixctl reads and writes the device beside the watch's
// own polls. Requests never wait on the device for one another's sake:
// their device calls queue on the device thread.
#pragma once

#include "ControlAccess.h"
#include "ControlServer.h"
#include "HeadlessDesktop.h"
#include "NetworkServices.h"
#include "ServiceEvents.h"
#include "ServiceOptions.h"
#include "ServiceSavedConfigs.h"
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

    const ServiceConfig &config() const { return config_; }
    // A configuration read again: what can change while pallixd runs
    // changes; the socket stays.
    void reconfigure(const ServiceConfig &fresh);

    DeviceWatch watch;

private:
    void deviceFound(const std::string &address) override;
    void startWatchingUnlessTaken();
    loop::Task<> handleArrivedRequests();
    loop::Task<QJsonObject> handle(ControlClient &client, QJsonObject request);
    loop::Task<QJsonObject> answer(ControlClient &client, const QString &name,
                                   const QJsonObject &request);
    QJsonObject status() const;
    QJsonObject cancel(const ControlClient &client);
    QJsonObject watchEvents(ControlClient &client);
    loop::Task<QJsonObject> deviceRequest(ControlClient &client, QJsonObject request);
    loop::Task<QJsonObject> selfTest(ControlClient &client, QString address, QJsonObject request);

    ServiceConfig config_;
    AccessPolicy access_ = AccessPolicy::ofThisSystem();
    HeadlessDesktop desktop_;
    ServiceEvents events_;
    NetworkServices network_;
    ServiceSavedConfigs savedConfigs_;
    ControlServer server_;
    loop::Timer controlCenterCheck_;
    std::unique_ptr<MonitorLock> monitorLock_;   // held while this PC's monitor
    bool waiting_ = false;                       // for another monitor to end
    std::string waitingFor_;                     // why, naming it
    bool firmwareTold_ = false;   // the other firmware was logged, once per run
    QJsonObject lastSeen_;        // the device found last: device, firmware, mac
    loop::TaskScope tasks_;
};

// Runs the service to its end; the exit status.
int runService(const ServiceConfig &config);
