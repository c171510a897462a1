#include "app/OSVer.h"

namespace {
OSVersion lastVersion;
}

int getOSVersion()
{
    lastVersion = Platform::current().osVersion();
    return lastVersion.major;
}

int osMajor() { return lastVersion.major; }
int osMinor() { return lastVersion.minor; }
