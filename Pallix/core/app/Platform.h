// What the operating system does for the application: power commands, the
// updater, the PC's networks, running copies, its version. The programs'
// main installs the real one; tests install a recording fake. Until then
// nothing is carried out.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct OSVersion {
    int major = 0;
    int minor = 0;
};

// A command started without waiting: a program and its arguments, never a shell line.
struct CommandLine {
    std::string program;
    std::vector<std::string> arguments;
    std::string text() const;   // program and arguments joined by blanks, for logs
    bool operator==(const CommandLine &) const = default;
};

// One IPv4 address of the PC: the broadcast address the system gives for it
// (empty when it gives none) and the interface it is on. Usable when the
// interface is up and running and a device could answer a broadcast there:
// not loopback, not a point-to-point link, not a virtual bridge.
struct LocalNetwork {
    std::string address;
    std::string broadcast;
    std::string interfaceName;
    bool usable = true;
};

// Who holds the lock of this PC's monitor: the program it says it is
// ("Pallix", "pallixd", "pallixctl"; empty when it says nothing), its
// process and user (0 and -1 when unknown).
struct MonitorHolder {
    std::string program;
    long pid = 0;
    long uid = -1;
};

// Held while a program watches this PC's Pallix; released when it goes.
class MonitorLock {
public:
    virtual ~MonitorLock() = default;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual void runCommand(const CommandLine &command) = 0;     // power actions
    virtual bool startUpdater(const CommandLine &command) = 0;   // false when it could not start
    // Every IPv4 address of the PC, in interface order.
    virtual std::vector<LocalNetwork> localNetworks() = 0;
    virtual int runningCopies(const std::string &executableName) = 0;   // on this desktop
    // The lock that one monitor of this PC's Pallix holds at a time, taken
    // for program; null, and who holds it in holder, when another has it.
    virtual std::unique_ptr<MonitorLock> takeMonitorLock(const std::string &program,
                                                         MonitorHolder *holder) = 0;
    virtual OSVersion osVersion() = 0;

    static Platform &current();
    // Installs the platform; null goes back to one that does nothing.
    static void install(Platform *platform);
};
