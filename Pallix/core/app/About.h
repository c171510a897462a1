// The About window's texts and its "Log File" button.
#pragma once

#include <string>

struct AboutTexts {
    std::string title;            // the window's and lblTitle's
    std::string version;          // lblVersion
    std::string firmwareVersion;  // lblFirmwareVersion
    std::string macAddress;       // lblMACAddress
    std::string ipAddress;        // lblIPAddress
    std::string pcAddresses;      // lblPCIP
    std::string osInfo;           // lblOSInfo
    std::string note;             // the further label
};

// The current values, read when the window opens.
AboutTexts aboutTexts();

// "Software Version <major>.<minor>.<revision>" of this build.
std::string softwareVersionText();

// Opens log.txt; throws NrError(1, "Log File is empty.") when there is none yet.
void openLogFile();
