// What the service tells about the device watch: each event one log line
// "event: message" and, with a notify command, one start of it.
#pragma once

#include "app/Platform.h"
#include "watch/WatchEvents.h"

#include <QString>
#include <functional>

class DeviceWatch;

class ServiceEvents : public WatchEvents {
public:
    // Also told to whoever follows the events (the control socket's watchers).
    using Told = std::function<void(const QString &event, const QString &message)>;

    ServiceEvents(DeviceWatch &watch, CommandLine notifyCommand, Told told);
    ~ServiceEvents() override;
    ServiceEvents(const ServiceEvents &) = delete;
    ServiceEvents &operator=(const ServiceEvents &) = delete;

    void setNotifyCommand(CommandLine command)
    {
        notifyCommand_ = std::move(command);
        notifyFailureLogged_ = false;
    }

    void deviceFound(const std::string &address) override;
    void deviceLost() override;
    void powerRequest(int mode, int seconds) override;
    void countdownAbandoned() override;
    void countdownCancelled(const std::string &reason) override;
    void powerAction(int mode) override;
    void powerLost() override;

private:
    void tell(const QString &event, const QString &message);
    void notify(const QString &event, const QString &message);

    DeviceWatch &watch_;
    CommandLine notifyCommand_;
    Told told_;
    bool notifyFailureLogged_ = false;
};

// The countdown's action by name: "Shutdown", or "No Action (register value 5)".
QString countdownActionName(int mode);
