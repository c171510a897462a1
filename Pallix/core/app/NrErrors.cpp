#include "app/NrErrors.h"

#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/LogFile.h"
#include "app/Notice.h"

NrError::NrError(int number, std::string description, bool fromDevice)
    : number_(number), description_(std::move(description)), fromDevice_(fromDevice)
{}

std::string NrError::text() const
{
    return description_ + " (" + std::to_string(number_) + ")";
}

void checkError(int status, const std::string &operation)
{
    if (status != 0) throw NrError(status, "Error: " + operation, true);
}

namespace {

std::function<void()> &deviceErrorListener()
{
    static std::function<void()> listener;
    return listener;
}

void reportDeviceError(const NrError &error)
{
    if (deviceErrorListener()) deviceErrorListener()();
    if (appState().testBusy) Desktop::current().showMessageWindow(error.description());
}

// Not about the device: the monitor goes on as it was.
void reportOtherError(const NrError &error)
{
    showNotice(error.text(), appTitle(), MsgIcon::Critical);
}

void logError(const NrError &error)
{
    logFile(error.text() + "(Status:" + std::to_string(appState().lastGlobalStatus) + ")");
}

}   // namespace

void setDeviceErrorListener(std::function<void()> listener)
{
    deviceErrorListener() = std::move(listener);
}

// Never waits on a person: its boxes are shown and left to the user.
void showError(const NrError &error)
{
    if (error.fromDevice())
        reportDeviceError(error);
    else
        reportOtherError(error);
    setMousePointer(MousePointer::Default);
    logError(error);
}
