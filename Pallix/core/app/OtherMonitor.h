// The Control Center and the service both watch the PC's one Pallix; only
// one of them may at a time, or both would act on one power request and
// fight over the device's port.
#pragma once

#include <string>

enum class MonitorProgram { ControlCenter, Service };

inline constexpr char ControlCenterProgram[] = "Pallix";
inline constexpr char ServiceProgram[] = "pallixd";

// Empty while the other program does not run; otherwise a message that
// names it and says how to stop it.
std::string otherMonitorRunning(MonitorProgram self);
