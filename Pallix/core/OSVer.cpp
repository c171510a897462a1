#include "OSVer.h"

namespace {
OSVersion lastVersion;
}

int GetOSVersion()
{
    lastVersion = Platform::current().osVersion();
    return lastVersion.major;
}

int OSMajor() { return lastVersion.major; }
int OSMinor() { return lastVersion.minor; }
