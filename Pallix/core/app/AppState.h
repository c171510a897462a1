// The application's process-wide values, in one place. They live on the
// event loop's thread; device calls get copies of what they need.
#pragma once

#include "app/Platform.h"

#include <map>
#include <string>
#include <vector>

struct AppState {
    std::string appPath;                   // application folder, with a trailing separator
    std::vector<std::string> deviceList;   // addresses of the last successful discovery, plus one spare entry
    int deviceCount = 0;
    bool discoveryFailed = false;
    std::string firmwareVersion;
    std::string macAddress;
    std::vector<std::string> deviceRecords;   // each device's discovery reply, as deviceList
    std::map<std::string, std::string> macAddresses;   // of the devices found, by address
    int lastGlobalStatus = 0;
    bool testBusy = false;

    bool ending = false;   // set once the application has been told to end

    // Command-line options.
    bool dryRun = false;                              // power actions are logged, not run
    bool startedAtLogin = false;                      // by the login's autostart entry
    std::vector<std::string> localAddressOverride;   // replaces the PC's own address list when set
    std::string fixedDevice;                         // probed directly instead of broadcasting, when set
    std::map<int, CommandLine> powerCommands;        // replace the system's command of an action code

    // Element 0 of deviceList, the watched device; empty before a discovery found one.
    std::string firstDevice() const { return deviceList.empty() ? std::string() : deviceList[0]; }
    // The addresses found, without the spare entry.
    std::vector<std::string> devicesFound() const;
};

AppState &appState();

// The title of message boxes that have none of their own.
inline const std::string &appTitle()
{
    static const std::string title = "Pallix Control Center";
    return title;
}
