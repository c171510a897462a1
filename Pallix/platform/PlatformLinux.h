// The real platform on Linux: the system's own calls only.
#pragma once

#include "app/Platform.h"

#include <string>

class LinuxPlatform : public Platform {
public:
    void runCommand(const CommandLine &command) override;
    bool startUpdater(const CommandLine &command) override;
    std::vector<LocalNetwork> localNetworks() override;
    int runningCopies(const std::string &executableName) override;
    std::unique_ptr<MonitorLock> takeMonitorLock(const std::string &program,
                                                 MonitorHolder *holder) override;
    OSVersion osVersion() override;
};

// Helpers of the Linux platform, kept apart so they can be tested.
// Starts a program in a session of its own, without waiting for it; false
// when it cannot be started.
bool startDetached(const CommandLine &command);
// Whether discovery may broadcast on an interface with these flags (as
// getifaddrs gives them): up, running, not loopback, not point-to-point, and
// not a container or virtual-machine bridge.
bool usableInterface(const std::string &name, unsigned flags);
OSVersion parseKernelRelease(const std::string &release);   // "6.1.0-13-amd64" gives 6.1
// Counts the processes under procRoot whose executable is named executableName
// (case-insensitive) and that run on the given desktop (their DISPLAY and
// WAYLAND_DISPLAY, "DISPLAY=:1\nWAYLAND_DISPLAY=" as desktopOf gives it).
// A process whose environment cannot be read belongs to another user's desktop.
int countProcesses(const std::string &procRoot, const std::string &executableName,
                   const std::string &desktop);
// The desktop a process runs on, from its NUL-separated environment.
std::string desktopOf(const std::string &environment);
