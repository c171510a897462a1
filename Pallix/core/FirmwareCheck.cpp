#include "FirmwareCheck.h"

#include "AppInstance.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Desktop.h"
#include "MonitorState.h"
#include "Notice.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "SelfTest.h"

#include <QTimer>
#include <functional>

namespace {

constexpr int NetworkRecheckMs = 2000;

const QString crlf = QStringLiteral("\r\n");

void startUpdater(const AppState &state)
{
    const CommandLine command = updaterCommand(state.deviceList.value(0));
    if (!Platform::current().startUpdater(command))
        throw NrError(UpdaterStartError,
                      QStringLiteral("Cannot start the firmware updater ") + command.program);
}

// The offer is a chain of boxes that do not wait, so the monitor watches
// while they are open; what the last answer would do is checked against
// what holds by then.
class FirmwareOffer {
public:
    void start()
    {
        const AppState &state = appState();
        if (offered_ || state.firmwareVersion == QString::fromLatin1(CarriedFirmwareVersion))
            return;
        offered_ = true;
        device_ = state.deviceList.value(0);
        const QString prompt =
            firmwareUpdatePrompt(state.firmwareVersion, device_, state.macAddress);
        Desktop::current().showMessageWindow(prompt, [this](int answer) {
            if (answer == MsgOK) checkNetworks();
        });
    }

private:
    // The updater talks to the device on one network only: ask until the
    // PC is on a single one, or the user gives up.
    void checkNetworks()
    {
        if (localNetworkCount() > 1) {
            ask(multipleNetworksWarning(), MsgIcon::Information,
                [this] { QTimer::singleShot(NetworkRecheckMs, [this] { checkNetworks(); }); });
            return;
        }
        ask(powerWarning(), MsgIcon::Critical, [this] { update(); });
    }

    void ask(const QString &text, MsgIcon icon, std::function<void()> onOK)
    {
        Desktop::current().showBox(text, appTitle(), icon, MsgButtons::OKCancel,
                                   [onOK](int answer) {
                                       if (answer == MsgOK && !appState().ending) onOK();
                                   });
    }

    void update()
    {
        const QString reason = whyNotNow();
        if (!reason.isEmpty()) {
            showNotice(QStringLiteral("The firmware update was not started: ") + reason, appTitle(),
                       MsgIcon::Information);
            return;
        }
        try {
            startUpdater(appState());
        } catch (const NrError &error) {
            showError(error);
            return;
        }
        // The updater needs the device to itself.
        stopSelfTestsAndRestore();
        endApplication();
    }

    QString whyNotNow() const
    {
        const AppState &state = appState();
        if (state.discoveryFailed || !monitorState().watching())
            return QStringLiteral("the Pallix does not answer.");
        if (state.deviceList.value(0) != device_)
            return QStringLiteral("another Pallix is watched now.");
        if (monitorState().held(MonitorHold::Countdown))
            return QStringLiteral("a PC power action is being counted down.");
        return {};
    }

    bool offered_ = false;   // once per run: declining is an answer
    QString device_;         // the device the prompt named
};

FirmwareOffer &firmwareOffer()
{
    static FirmwareOffer offer;
    return offer;
}

}   // namespace

QString firmwareUpdatePrompt(const QString &localVersion, const QString &deviceAddress,
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

QString multipleNetworksWarning()
{
    return QStringLiteral("Pallix detects multiple networks.") + crlf
           + QStringLiteral("Please disable any wireless or secondary network devices before "
                            "firmware update.");
}

QString powerWarning()
{
    return QStringLiteral(
        "NOTE:  During a firmware update, you must ensure that the PC connected to Pallix™ and "
        "the Pallix™ unit will be continuously powered during the entire programming process.  "
        "Make sure Pallix™ does not control the PC's power during a firmware update otherwise "
        "the programming process will fail and the unit will be non-functional.");
}

CommandLine updaterCommand(const QString &deviceAddress)
{
    return {appFile(AppFile::Updater), {deviceAddress, appFile(AppFile::FirmwareImage)}};
}

void firmwareCheck() { firmwareOffer().start(); }
