// pallixd, the Pallix monitor service.
#include "PallixService.h"
#include "PlatformLinux.h"
#include "ServiceLog.h"
#include "ServiceOptions.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ServiceStart start;
    try {
        start = parseServiceArguments(QCoreApplication::arguments());
    } catch (const ConfigError &error) {
        writeServiceLog(error.what(), LogPriority::Error);
        return 2;
    }
    if (!start.run) return 0;
    LinuxPlatform platform;
    Platform::install(&platform);
    return runService(start.config);
}
