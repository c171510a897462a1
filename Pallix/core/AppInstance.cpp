#include "AppInstance.h"

#include "AppState.h"
#include "Desktop.h"
#include "LogFile.h"
#include "Platform.h"

#include <QCoreApplication>

bool anotherInstanceRunning()
{
    // The running copy counts itself.
    return Platform::current().runningCopies(QStringLiteral("Pallix")) >= 2;
}

void endApplication(int exitCode)
{
    appState().ending = true;
    flushLogFile();
    Desktop::current().closeAll();
    QCoreApplication::exit(exitCode);
}
