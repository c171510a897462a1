// pallixd, the Pallix monitor service.
#include "PallixService.h"
#include "PlatformLinux.h"
#include "ServiceOptions.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ServiceStart start;
    try {
        start = parseServiceArguments(QCoreApplication::arguments());
    } catch (const ConfigError &error) {
        std::fprintf(stderr, "pallixd: %s\n", error.what());
        return 2;
    }
    if (!start.run) return 0;
    LinuxPlatform platform;
    Platform::install(&platform);
    return runService(start.config);
}
