#include "NrErrors.h"

#include "AppState.h"
#include "Desktop.h"
#include "DeviceWatch.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "MousePointer.h"
#include "Notice.h"

NrError::NrError(int number, QString description)
    : number_(number), description_(std::move(description)), what_(description_.toUtf8())
{}

const char *NrError::what() const noexcept { return what_.constData(); }

void checkError(int status, const QString &operation)
{
    AppState &state = appState();
    state.deviceError = false;
    if (status == 0) return;
    state.deviceError = true;
    throw NrError(status, QStringLiteral("Error: ") + operation);
}

namespace {

// The device stopped answering: the monitor stops watching it, the icon
// grays and the search starts again.
void reportDeviceError(const NrError &error)
{
    AppState &state = appState();
    monitorState().setWatching(false);
    if (DeviceWatch *watch = DeviceWatch::current()) watch->deviceFailed();
    if (state.testBusy) Desktop::current().showMessageWindow(error.description());
    state.deviceError = false;
}

// Not about the device: the monitor goes on as it was.
void reportOtherError(const NrError &error)
{
    showNotice(error.description() + QStringLiteral(" (") + QString::number(error.number())
                   + QLatin1Char(')'),
               appTitle(), MsgIcon::Critical);
}

void logError(const NrError &error)
{
    logFile(error.description() + QStringLiteral(" (") + QString::number(error.number())
            + QStringLiteral(")(Status:") + QString::number(appState().lastGlobalStatus)
            + QLatin1Char(')'));
}

}   // namespace

// Never waits on a person: its boxes are shown and left to the user.
void showError(const NrError &error)
{
    if (appState().deviceError)
        reportDeviceError(error);
    else
        reportOtherError(error);
    setMousePointer(MousePointer::Default);
    logError(error);
}
