// The application's process-wide values, in one place.
#pragma once

#include <QString>
#include <QStringList>

struct AppState {
    QString AppPath;            // application folder, with a trailing separator
    QStringList DeviceList;     // addresses of the last successful discovery, plus one spare entry
    int DeviceCount = 0;
    bool DiscoveryFailed = false;
    QString FirmwareVersion;
    QString MACAddress;
    int LastGlobalStatus = 0;
    bool DeviceError = false;
    bool TestBusy = false;
};

AppState &appState();
