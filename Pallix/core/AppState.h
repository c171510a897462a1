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

    bool Ending = false;        // set once the application has been told to end

    // Command-line options.
    bool DryRun = false;                  // power actions are logged, not run
    QStringList LocalAddressOverride;     // replaces the PC's own address list when set
};

AppState &appState();

// The title of message boxes that have none of their own.
inline QString AppTitle() { return QStringLiteral("Pallix Control Center"); }
