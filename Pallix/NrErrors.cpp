#include "NrErrors.h"

#include "AppState.h"
#include "LogFile.h"
#include "MousePointer.h"
#include "Platform.h"
#include "TrayControl.h"

#include <cstdio>

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

void reportDeviceError(const NrError &error)
{
    AppState &state = appState();
    trayControl().ChangeIcon(1);
    trayControl().enableDiscoveryTimer();
    if (state.TestBusy) Platform::current().messageWindow(error.description());
    state.DeviceError = false;
}

void reportOtherError(const NrError &error)
{
    Platform::current().messageBox(
        error.description() + QStringLiteral(" (") + QString::number(error.number())
            + QLatin1Char(')'),
        AppTitle(), MsgIcon::Critical, MsgButtons::OK);
}

// The error is already being reported; a log that cannot be written must
// not turn it into a second one.
void logError(const NrError &error)
{
    const QString entry = error.description() + QStringLiteral(" (")
                          + QString::number(error.number()) + QStringLiteral(")(Status:")
                          + QString::number(appState().LastGlobalStatus) + QLatin1Char(')');
    try {
        LogFile(entry);
    } catch (const NrError &logFailure) {
        std::fprintf(stderr, "Pallix: %s; not logged: %s\n", logFailure.what(),
                     entry.toLocal8Bit().constData());
    }
}

}  // namespace

void ShowError(const NrError &error)
{
    trayControl().setMonitorEnabled(false);
    if (appState().DeviceError)
        reportDeviceError(error);
    else
        reportOtherError(error);
    SetMousePointer(MousePointer::Default);
    logError(error);
}
