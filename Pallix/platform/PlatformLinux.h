// The real platform on Linux: QtCore and the system's own calls only.
#pragma once

#include "Platform.h"

class LinuxPlatform : public Platform {
public:
    void runCommand(const CommandLine &command) override;
    bool startUpdater(const CommandLine &command) override;
    QList<LocalNetwork> localNetworks() override;
    int runningCopies(const QString &executableName) override;
    int runningOnThisPC(const QString &executableName) override;
    OSVersion osVersion() override;
};

// Helpers of the Linux platform, kept apart so they can be tested.
// Whether discovery may broadcast on an interface with these flags (as
// getifaddrs gives them): up, running, not loopback, not point-to-point, and
// not a container or virtual-machine bridge.
bool usableInterface(const QString &name, unsigned flags);
OSVersion parseKernelRelease(const QString &release);   // "6.1.0-13-amd64" gives 6.1
// Counts the processes under procRoot whose executable is named executableName
// (case-insensitive) and that run on the given desktop (their DISPLAY and
// WAYLAND_DISPLAY, "DISPLAY=:1\nWAYLAND_DISPLAY=" as desktopOf gives it).
// A process whose environment cannot be read belongs to another user's desktop.
int countProcesses(const QString &procRoot, const QString &executableName, const QString &desktop);
// The same, whatever desktop or user they run for.
int countProcesses(const QString &procRoot, const QString &executableName);
// The desktop a process runs on, from its NUL-separated environment.
QString desktopOf(const QByteArray &environment);
