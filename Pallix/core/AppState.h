// The application's process-wide values, in one place.
#pragma once

#include "Platform.h"

#include <QHash>
#include <QString>
#include <QStringList>

struct AppState {
    QString appPath;          // application folder, with a trailing separator
    QStringList deviceList;   // addresses of the last successful discovery, plus one spare entry
    int deviceCount = 0;
    bool discoveryFailed = false;
    QString firmwareVersion;
    QString macAddress;
    int lastGlobalStatus = 0;
    bool deviceError = false;
    bool testBusy = false;

    bool ending = false;   // set once the application has been told to end

    // Command-line options.
    bool dryRun = false;                     // power actions are logged, not run
    QStringList localAddressOverride;        // replaces the PC's own address list when set
    QString fixedDevice;                     // probed directly instead of broadcasting, when set
    QHash<int, CommandLine> powerCommands;   // replace the system's command of an action code
};

AppState &appState();

// The title of message boxes that have none of their own.
inline QString appTitle() { return QStringLiteral("Pallix Control Center"); }
