// The Pallix Control Center: a tray application watching a Pallix on the
// local network.
#include "AppState.h"
#include "CommandLineOptions.h"
#include "frmPallixSysTray.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pallix"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(PALLIX_VERSION_MAJOR)
                                            .arg(PALLIX_VERSION_MINOR)
                                            .arg(PALLIX_VERSION_REVISION));
    // The application lives in the notification area; closing a window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    AppState &state = appState();
    ApplyCommandLine(app, state);
    state.AppPath = AppFolder(QCoreApplication::applicationDirPath());

    frmPallixSysTray tray;
    // Ending during start-up (the firmware updater took over) is not a failure.
    if (!tray.start()) return state.Ending ? 0 : 1;
    return app.exec();
}
