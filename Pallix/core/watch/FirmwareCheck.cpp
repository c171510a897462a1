#include "watch/FirmwareCheck.h"

#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/Notice.h"
#include "app/NrErrors.h"
#include "app/Text.h"
#include "app/TimeDelay.h"
#include "selftest/SelfTest.h"
#include "watch/MonitorState.h"
#include "watch/NrDiscovery.h"

#include <optional>

namespace {

const std::string crlf = "\r\n";

void startUpdater(const std::string &device)
{
    const CommandLine command = updaterCommand(device);
    if (!Platform::current().startUpdater(command))
        throw NrError(UpdaterStartError, "Cannot start the firmware updater " + command.program);
}

}   // namespace

void FirmwareOffer::check()
{
    const AppState &state = appState();
    if (offered_ || state.firmwareVersion == CarriedFirmwareVersion) return;
    offered_ = true;
    device_ = state.firstDevice();
    tasks_.spawn(offer());
}

// A chain of boxes that do not wait, so the monitor watches while they are
// open; what the last answer would do is checked against what holds by then.
loop::Task<> FirmwareOffer::offer()
{
    const AppState &state = appState();
    const std::string prompt = firmwareUpdatePrompt(state.firmwareVersion, device_, state.macAddress);
    const int accepted = co_await askMessageWindow(prompt);
    if (accepted != MsgOK) co_return;
    // The updater talks to the device on one network only: ask until the
    // PC is on a single one, or the user gives up.
    while (localNetworkCount() > 1) {
        const int answer = co_await askBox(multipleNetworksWarning(), appTitle(),
                                           MsgIcon::Information, MsgButtons::OKCancel);
        if (answer != MsgOK || state.ending) co_return;
        co_await delayMs(NetworkRecheckMs);
    }
    const int answer =
        co_await askBox(powerWarning(), appTitle(), MsgIcon::Critical, MsgButtons::OKCancel);
    if (answer != MsgOK || state.ending) co_return;
    co_await update();
}

loop::Task<> FirmwareOffer::update()
{
    const std::string reason = whyNotNow();
    if (!reason.empty()) {
        showNotice("The firmware update was not started: " + reason, appTitle(),
                   MsgIcon::Information);
        co_return;
    }
    std::optional<NrError> failure;
    try {
        startUpdater(appState().firstDevice());
    } catch (const NrError &error) {
        failure = error;
    }
    if (failure) {
        showError(*failure);
        co_return;
    }
    // The updater needs the device to itself.
    co_await endAfterSelfTests();
}

std::string FirmwareOffer::whyNotNow() const
{
    const AppState &state = appState();
    if (state.discoveryFailed || !monitorState().watching()) return "the Pallix does not answer.";
    if (state.firstDevice() != device_) return "another Pallix is watched now.";
    if (monitorState().held(MonitorHold::Countdown))
        return "a PC power action is being counted down.";
    return {};
}

std::string firmwareUpdatePrompt(const std::string &localVersion, const std::string &deviceAddress,
                                 const std::string &macAddress)
{
    return join(
        {
            "Your Pallix requires a firmware update!",
            "",
            "   Local Version: " + localVersion,
            std::string("   New Version: ") + CarriedFirmwareVersion,
            "",
            "   IP Address: " + deviceAddress,
            "   MAC Address: " + macAddress,
            "",
            "Update now?",
        },
        crlf);
}

std::string multipleNetworksWarning()
{
    return "Pallix detects multiple networks." + crlf
           + "Please disable any wireless or secondary network devices before firmware update.";
}

std::string powerWarning()
{
    return "NOTE:  During a firmware update, you must ensure that the PC connected to Pallix™ and "
           "the Pallix™ unit will be continuously powered during the entire programming process.  "
           "Make sure Pallix™ does not control the PC's power during a firmware update otherwise "
           "the programming process will fail and the unit will be non-functional.";
}

CommandLine updaterCommand(const std::string &deviceAddress)
{
    return {appFile(AppFile::Updater), {deviceAddress, appFile(AppFile::FirmwareImage)}};
}
