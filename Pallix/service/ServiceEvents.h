// What the service tells about the device watch: each event one log line
// "event: message" and, with a notify command, one start of it.
#pragma once

#include "Platform.h"

#include <QObject>

class DeviceWatch;

class ServiceEvents : public QObject {
    Q_OBJECT
public:
    ServiceEvents(DeviceWatch &watch, CommandLine notifyCommand);

signals:
    void told(const QString &event, const QString &message);

private:
    void tell(const QString &event, const QString &message);
    void notify(const QString &event, const QString &message);

    CommandLine notifyCommand_;
    bool notifyFailureLogged_ = false;
};

// The countdown's action by name: "Shutdown", or "no action (code 6)".
QString countdownActionName(int mode);
