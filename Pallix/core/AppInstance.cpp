#include "AppInstance.h"

#include "AppState.h"
#include "Desktop.h"
#include "LogFile.h"
#include "Platform.h"

#include <QCoreApplication>

bool AnotherInstanceRunning()
{
    // The running copy counts itself.
    return Platform::current().runningCopies(QStringLiteral("Pallix")) >= 2;
}

void EndApplication(int exitCode)
{
    appState().Ending = true;
    FlushLogFile();
    Desktop::current().closeAll();
    QCoreApplication::exit(exitCode);
}
