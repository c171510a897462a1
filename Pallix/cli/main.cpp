// pallixctl: the Pallix from the command line.
#include "CtlCommands.h"
#include "CtlOptions.h"
#include "PlatformLinux.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    CtlStart start;
    try {
        start = parseCtlArguments(QCoreApplication::arguments());
    } catch (const UsageError &error) {
        std::fprintf(stderr, "pallixctl: %s\n", error.what());
        return 2;
    }
    if (!start.run) return 0;
    LinuxPlatform platform;
    Platform::install(&platform);
    const int status = runCtl(start.request);
    Platform::install(nullptr);
    return status;
}
