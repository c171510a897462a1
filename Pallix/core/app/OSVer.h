// The operating system's version, read afresh on each call.
#pragma once

#include "app/Platform.h"

// Refreshes the stored version and returns its major number.
int getOSVersion();

// The version stored by the last getOSVersion.
int osMajor();
int osMinor();
