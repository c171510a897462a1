// The Control Center and the service both watch the PC's one Pallix; only
// one of them may at a time, or both would act on one power request and
// fight over the device's port. pallixctl, when it talks to the device
// itself, takes the same place while it runs. The place is a lock the
// platform keeps (one per network namespace), not a process name.
#pragma once

#include "app/Platform.h"

#include <memory>
#include <string>

enum class MonitorProgram { ControlCenter, Service, CommandLine };

inline constexpr char ServiceProgram[] = "pallixd";

// The place of this PC's monitor for self, held while the lock lives. Null
// when another program has it; then refusal names that program and says
// how to end it, and holder (when given) is who it is.
std::unique_ptr<MonitorLock> claimMonitor(MonitorProgram self, std::string *refusal,
                                          MonitorHolder *holder = nullptr);
