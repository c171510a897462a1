#include "app/OtherMonitor.h"

#include "app/Platform.h"

// Any user's copy counts: the device belongs to the PC, not to a desktop.
// The process list sees a service that runs as root, whose socket a
// desktop user may not open.
std::string otherMonitorRunning(MonitorProgram self)
{
    Platform &platform = Platform::current();
    if (self == MonitorProgram::ControlCenter) {
        if (platform.runningOnThisPC(ServiceProgram) == 0) return {};
        return "The Pallix service pallixd is running and watches this PC's Pallix, so the Pallix "
               "Control Center does not. Stop the service first (\"systemctl stop pallixd\"), "
               "then start the Control Center again.";
    }
    if (platform.runningOnThisPC(ControlCenterProgram) == 0) return {};
    return "The Pallix Control Center is running and watches this PC's Pallix, so pallixd waits. "
           "End the Control Center (\"Exit\" in its tray menu) and pallixd starts watching.";
}
