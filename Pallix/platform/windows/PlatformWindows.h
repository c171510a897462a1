// The real platform on Windows: the system's own calls only.
#pragma once

#include "app/Platform.h"

#include <cstdint>
#include <string>

class WindowsPlatform : public Platform {
public:
    void runCommand(const CommandLine &command) override;
    bool startUpdater(const CommandLine &command) override;
    std::vector<LocalNetwork> localNetworks() override;
    int runningCopies(const std::string &executableName) override;
    // A named mutex for the whole PC (every session's programs see it): the
    // device is the PC's. A mutex does not say whose it is.
    std::unique_ptr<MonitorLock> takeMonitorLock(const std::string &program,
                                                 MonitorHolder *holder) override;
    OSVersion osVersion() override;
};

// Helpers of the Windows platform, kept apart so they can be tested.

// One argument as the C runtime reads it back from a command line: in
// quotes when it is empty or holds blanks or quotes (or always, when asked),
// with the backslashes before a quote doubled.
std::wstring quotedArgument(const std::wstring &argument, bool always = false);
// The program and its arguments as one command line.
std::wstring commandLineOf(const CommandLine &command);
// The updater's command line: the device's address, then the image's path
// in quotes.
std::wstring updaterCommandLine(const CommandLine &command);

// The broadcast address of an IPv4 address (in network order, as
// sockaddr_in holds it) in a network of prefixLength bits, as dotted text.
std::string broadcastOf(std::uint32_t address, unsigned prefixLength);
// Whether discovery may broadcast on an adapter of this type (IF_TYPE_*) and
// operational status: up, and neither loopback nor a tunnel or a dial-up link.
bool usableAdapter(unsigned long interfaceType, int operStatus);
// Whether a process's file name is the executable's: case-insensitive, ".exe" added
// to a name without it ("Pallix" counts "PALLIX.EXE").
bool sameExecutable(const std::wstring &processName, const std::string &executableName);
