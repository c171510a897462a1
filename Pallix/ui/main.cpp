// The Pallix Control Center: a tray application watching a Pallix on the
// local network.
#include "ControlCenterCommandLine.h"
#include "PlatformLinux.h"
#include "QtEventLoop.h"
#include "QtText.h"
#include "WidgetDesktop.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "config/SavedConfigs.h"
#include "device/DeviceThread.h"
#include "frmPallixSysTray.h"

#include <QApplication>

#include <cstring>

namespace {

void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Pallix"));
    QCoreApplication::setApplicationName(QStringLiteral("Pallix"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(PALLIX_VERSION_MAJOR)
                                                .arg(PALLIX_VERSION_MINOR)
                                                .arg(PALLIX_VERSION_REVISION));
}

// Help, version, paths and the manual page need no display: they are
// answered before the window system is opened. Everything else is parsed
// after, so Qt's own options (-platform and the like) keep working.
bool asksForHelpOrVersion(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char *option : {"-h", "--help", "-v", "--version", "--paths", "--man-page"})
            if (std::strncmp(argv[i], option, std::strlen(option)) == 0) return true;
    return false;
}

std::string programFolder(int argc, char **argv)
{
    QCoreApplication probe(argc, argv);
    return appFolder(stdText(QCoreApplication::applicationDirPath()));
}

}   // namespace

int main(int argc, char **argv)
{
    AppState &state = appState();
    if (asksForHelpOrVersion(argc, argv)) {
        state.appPath = programFolder(argc, argv);
        return applyCommandLine(argumentsOf(argc, argv)).value_or(0);
    }

    QApplication app(argc, argv);
    nameApplication();
    if (const auto ended = applyCommandLine(argumentsOf(argc, argv))) return *ended;
    // The application lives in the notification area; closing a window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    state.appPath = appFolder(stdText(QCoreApplication::applicationDirPath()));
    savedConfigs().setFolder(stateFolder());

    QtEventLoop loop;
    loop::EventLoop::install(&loop);
    DeviceThread device(loop);
    DeviceThread::install(&device);
    LinuxPlatform platform;
    Platform::install(&platform);
    WidgetDesktop desktop;
    Desktop::install(&desktop);
    frmPallixSysTray tray;
    // Ending during start-up (the firmware updater took over) is not a failure.
    if (!tray.start()) return state.ending ? 0 : 1;
    return app.exec();
}
