#include "app/OtherMonitor.h"

namespace {

constexpr char ControlCenterProgram[] = "Pallix";
constexpr char CommandLineProgram[] = "pallixctl";

const char *programName(MonitorProgram program)
{
    switch (program) {
    case MonitorProgram::ControlCenter:
        return ControlCenterProgram;
    case MonitorProgram::Service:
        return ServiceProgram;
    case MonitorProgram::CommandLine:
        return CommandLineProgram;
    }
    return "";
}

// What self does while the holder runs: "the Pallix Control Center does not".
std::string selfWhile(MonitorProgram self)
{
    switch (self) {
    case MonitorProgram::ControlCenter:
        return "so the Pallix Control Center does not start";
    case MonitorProgram::Service:
        return "so pallixd waits and starts watching once it has ended";
    case MonitorProgram::CommandLine:
        return "so pallixctl does not talk to the device itself";
    }
    return {};
}

std::string processOf(const MonitorHolder &holder)
{
    if (holder.pid == 0) return std::string();
    return " (process " + std::to_string(holder.pid) + " of user id " + std::to_string(holder.uid)
           + ")";
}

std::string refusalText(MonitorProgram self, const MonitorHolder &holder)
{
    const std::string process = processOf(holder);
    if (holder.program == ServiceProgram)
        return "The Pallix service pallixd" + process + " is running and watches this PC's "
               "Pallix, " + selfWhile(self) + ". Stop the service first (\"systemctl stop "
               "pallixd\").";
    if (holder.program == ControlCenterProgram)
        return "The Pallix Control Center" + process + " is running and watches this PC's "
               "Pallix, " + selfWhile(self) + ". End the Control Center (\"Exit\" in its tray "
               "menu).";
    if (holder.program == CommandLineProgram)
        return "pallixctl" + process + " talks to this PC's Pallix itself, " + selfWhile(self)
               + ". It ends when its command is done.";
    return "Another program" + process + " holds the lock of this PC's Pallix monitor, or the "
           "lock cannot be taken, " + selfWhile(self) + ".";
}

}   // namespace

std::unique_ptr<MonitorLock> claimMonitor(MonitorProgram self, std::string *refusal,
                                          MonitorHolder *holder)
{
    MonitorHolder other;
    std::unique_ptr<MonitorLock> lock =
        Platform::current().takeMonitorLock(programName(self), &other);
    if (lock) return lock;
    *refusal = refusalText(self, other);
    if (holder) *holder = other;
    return nullptr;
}
