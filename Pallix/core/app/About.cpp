#include "app/About.h"

#include "app/AppState.h"
#include "app/Files.h"
#include "app/LocalNetworks.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "app/OSVer.h"
#include "app/ShellExecute.h"
#include "app/Text.h"

namespace {
const std::string AboutTitle = "Nerrin Pallix™ Control Center";
const std::string IpAddressDesignText = "IP Address";
}   // namespace

std::string softwareVersionText()
{
    return "Software Version " + std::to_string(PALLIX_VERSION_MAJOR) + "."
           + std::to_string(PALLIX_VERSION_MINOR) + "." + std::to_string(PALLIX_VERSION_REVISION);
}

AboutTexts aboutTexts()
{
    const AppState &state = appState();
    AboutTexts texts;
    texts.title = AboutTitle;
    texts.version = softwareVersionText();
    texts.firmwareVersion = "Firmware Version: " + state.firmwareVersion;
    texts.macAddress = "MAC Address: " + state.macAddress;
    texts.ipAddress =
        state.deviceCount > 0 ? "IP Address: " + state.firstDevice() : IpAddressDesignText;
    texts.pcAddresses = "PC IP Address: " + join(localAddresses(), ", ");
    texts.osInfo = std::to_string(getOSVersion());
    texts.note = "Power and I/O control for your PC.\n© Nerrin. All rights reserved.";
    return texts;
}

void openLogFile()
{
    const std::string log = logFilePath();
    if (!fileExists(log)) throw NrError(1, "Log File is empty.");
    shellOpen(log);
}
