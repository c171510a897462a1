// What the operating system does for the application: power commands, the
// updater, the PC's networks, running copies, its version. The programs'
// main installs the real one; tests install a recording fake. Until then
// nothing is carried out.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct OSVersion {
    int major = 0;
    int minor = 0;
};

// A command started without waiting: a program and its arguments, never a shell line.
struct CommandLine {
    QString program;
    QStringList arguments;
    QString text() const;   // program and arguments joined by blanks, for logs
};

// One IPv4 address of the PC: the broadcast address the system gives for it
// (empty when it gives none) and the interface it is on. Usable when the
// interface is up and running and a device could answer a broadcast there:
// not loopback, not a point-to-point link, not a virtual bridge.
struct LocalNetwork {
    QString address;
    QString broadcast;
    QString interfaceName;
    bool usable = true;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual void runCommand(const CommandLine &command) = 0;     // power actions
    virtual bool startUpdater(const CommandLine &command) = 0;   // false when it could not start
    // Every IPv4 address of the PC, in interface order.
    virtual QList<LocalNetwork> localNetworks() = 0;
    virtual int runningCopies(const QString &executableName) = 0;     // on this desktop
    virtual int runningOnThisPC(const QString &executableName) = 0;   // of any user
    virtual OSVersion osVersion() = 0;

    static Platform &current();
    // Installs the platform; null goes back to one that does nothing.
    static void install(Platform *platform);
};
