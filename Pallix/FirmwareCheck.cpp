#include "FirmwareCheck.h"

#include "AppInstance.h"
#include "AppState.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "TimeDelay.h"
#include "TrayControl.h"
#include "WindowHooks.h"

namespace {

constexpr int NetworkRecheckMs = 2000;

const QString crlf = QStringLiteral("\r\n");

bool userAccepts(const QString &text, MsgIcon icon)
{
    return Platform::current().messageBox(text, AppTitle(), icon, MsgButtons::OKCancel) == MsgOK;
}

// The updater talks to the device on one network only: wait until the PC
// has a single address, or the user gives up.
bool singleNetworkOrCancelled()
{
    while (LocalAddresses().size() > 1) {
        if (!userAccepts(MultipleNetworksWarning(), MsgIcon::Information)) return false;
        DelayMs(NetworkRecheckMs);
    }
    return true;
}

void startUpdater(const AppState &state)
{
    const CommandLine command = UpdaterCommand(state.AppPath, state.DeviceList.value(0));
    if (!Platform::current().startUpdater(command))
        throw NrError(UpdaterStartError,
                      QStringLiteral("Cannot start the firmware updater ") + command.program);
}

}  // namespace

QString FirmwareUpdatePrompt(const QString &localVersion, const QString &deviceAddress,
                             const QString &macAddress)
{
    const QStringList lines{
        QStringLiteral("Your Pallix requires a firmware update!"),
        QString(),
        QStringLiteral("   Local Version: ") + localVersion,
        QStringLiteral("   New Version: ") + QString::fromLatin1(CarriedFirmwareVersion),
        QString(),
        QStringLiteral("   IP Address: ") + deviceAddress,
        QStringLiteral("   MAC Address: ") + macAddress,
        QString(),
        QStringLiteral("Update now?"),
    };
    return lines.join(crlf);
}

QString MultipleNetworksWarning()
{
    return QStringLiteral("Pallix detects multiple networks.") + crlf
           + QStringLiteral("Please disable any wireless or secondary network devices before "
                            "firmware update.");
}

QString PowerWarning()
{
    return QStringLiteral(
        "NOTE:  During a firmware update, you must ensure that the PC connected to Pallix™ and "
        "the Pallix™ unit will be continuously powered during the entire programming process.  "
        "Make sure Pallix™ does not control the PC's power during a firmware update otherwise "
        "the programming process will fail and the unit will be non-functional.");
}

CommandLine UpdaterCommand(const QString &appPath, const QString &deviceAddress)
{
    return {appPath + QString::fromLatin1(UpdaterProgram),
            {deviceAddress, appPath + QString::fromLatin1(CarriedImageFile)}};
}

void FirmwareCheck()
{
    const AppState &state = appState();
    if (state.FirmwareVersion == QString::fromLatin1(CarriedFirmwareVersion)) return;
    trayControl().setMonitorEnabled(false);

    const QString prompt =
        FirmwareUpdatePrompt(state.FirmwareVersion, state.DeviceList.value(0), state.MACAddress);
    if (Platform::current().messageWindow(prompt) != MsgOK) return;
    if (!singleNetworkOrCancelled()) return;
    if (!userAccepts(PowerWarning(), MsgIcon::Critical)) return;

    startUpdater(state);
    // The updater needs the device to itself.
    EndApplication();
}
