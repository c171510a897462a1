// What the operating system does for the application: power commands, the
// updater, the PC's networks, running copies, its version. The programs'
// main installs the real one; tests install a recording fake. Until then
// nothing is carried out.
#pragma once

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

class Platform {
public:
    virtual ~Platform() = default;

    virtual void runCommand(const CommandLine &command) = 0;     // power actions
    virtual bool startUpdater(const CommandLine &command) = 0;   // false when it could not start
    // Every IPv4 address of the PC, in interface order.
    virtual std::vector<LocalNetwork> localNetworks() = 0;
    virtual int runningCopies(const std::string &executableName) = 0;     // on this desktop
    virtual int runningOnThisPC(const std::string &executableName) = 0;   // of any user
    virtual OSVersion osVersion() = 0;

    static Platform &current();
    // Installs the platform; null goes back to one that does nothing.
    static void install(Platform *platform);
};
