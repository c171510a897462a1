// The operating system's version, read afresh on each call.
#pragma once

#include "Platform.h"

// Refreshes the stored version and returns its major number.
int GetOSVersion();

// The version stored by the last GetOSVersion.
int OSMajor();
int OSMinor();
