#include "Platform.h"

#include "PlatformLinux.h"

QString CommandLine::text() const
{
    return arguments.isEmpty() ? program
                               : program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
}

namespace {
Platform *replacement = nullptr;
}

Platform &Platform::current()
{
    static LinuxPlatform real;
    return replacement ? *replacement : real;
}

void Platform::install(Platform *platform) { replacement = platform; }
