#include "app/AppInstance.h"

#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/LogFile.h"
#include "app/Platform.h"
#include "loop/EventLoop.h"

bool anotherInstanceRunning()
{
    // The running copy counts itself.
    return Platform::current().runningCopies("Pallix") >= 2;
}

void endApplication(int exitCode)
{
    appState().ending = true;
    flushLogFile();
    Desktop::current().closeAll();
    loop::EventLoop::current().quit(exitCode);
}
