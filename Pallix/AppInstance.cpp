#include "AppInstance.h"

#include "AppState.h"
#include "LogFile.h"
#include "Platform.h"
#include "TrayControl.h"

#include <QApplication>

bool AnotherInstanceRunning()
{
    // The running copy counts itself.
    return Platform::current().runningCopies(QStringLiteral("Pallix")) >= 2;
}

void EndApplication(int exitCode)
{
    appState().Ending = true;
    FlushLogFile();
    trayControl().removeIcon();
    QApplication::closeAllWindows();
    QCoreApplication::exit(exitCode);
}
