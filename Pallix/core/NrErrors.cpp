#include "NrErrors.h"

#include "AppState.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "MousePointer.h"
#include "Notice.h"
#include "Desktop.h"
#include "DeviceWatch.h"


NrError::NrError(int number, QString description)
    : number_(number), description_(std::move(description)), what_(description_.toUtf8())
{
}

const char *NrError::what() const noexcept { return what_.constData(); }

void CheckError(int status, const QString &operation)
{
    AppState &state = appState();
    state.DeviceError = false;
    if (status == 0) return;
    state.DeviceError = true;
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
    if (state.TestBusy) Desktop::current().showMessageWindow(error.description());
    state.DeviceError = false;
}

// Not about the device: the monitor goes on as it was.
void reportOtherError(const NrError &error)
{
    ShowNotice(error.description() + QStringLiteral(" (") + QString::number(error.number())
                   + QLatin1Char(')'),
               AppTitle(), MsgIcon::Critical);
}

void logError(const NrError &error)
{
    LogFile(error.description() + QStringLiteral(" (") + QString::number(error.number())
            + QStringLiteral(")(Status:") + QString::number(appState().LastGlobalStatus)
            + QLatin1Char(')'));
}

}  // namespace

// Never waits on a person: its boxes are shown and left to the user.
void ShowError(const NrError &error)
{
    if (appState().DeviceError)
        reportDeviceError(error);
    else
        reportOtherError(error);
    SetMousePointer(MousePointer::Default);
    logError(error);
}
