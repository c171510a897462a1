// Hands a command line to the system's command interpreter and waits for it.
#pragma once

#include <cstdint>

// Returns the command's exit status, or -1 when it could not be started.
int32_t nrRunCommand(const char *commandLine);
