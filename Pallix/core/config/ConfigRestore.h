// Writing a device's kept configuration back to it after a power loss, and
// what to tell of it: which settings were written, and each one the device
// did not take.
#pragma once

#include "loop/Task.h"

#include <string>
#include <vector>

struct RestoreReport {
    bool restored = false;            // written and read back as kept
    std::vector<std::string> lines;   // for a box, or one log entry each
};

// The configuration kept for the device at address, written back where it
// differs from what the device holds, and read back. Errors (no kept
// configuration, a file that cannot be used, a device that fails) are told
// in the report; nothing is thrown.
loop::Task<RestoreReport> restoreSavedConfig(std::string address);
