// nrfwupdate: the firmware updater the Control Center starts. It finds the
// device at the given address with a unicast probe, then runs the library's
// firmware routine, which prints its progress on standard output.

#include "UpdaterDoc.h"
#include "UpdaterOptions.h"

#include <NerrinAPI.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum ExitStatus {
    Updated = 0,
    ImageRefused = 1,
    BadCommandLine = 2,
    NotFound = 3,
    DeviceLost = 4,
    EnterFailed = 5,
    EraseFailed = 6,
    WriteFailed = 7,
    CopyFailed = 8,
    LeaveFailed = 9,
    NotRunning = 10,
};

// The routine has already told the user why it stopped, in its box, which
// goes to standard error here.
ExitStatus exitStatusOf(int32_t result) {
    switch (result) {
    case NR_FIRMWARE_UPDATED: return Updated;
    case NR_FIRMWARE_IMAGE_REFUSED: return ImageRefused;
    case NR_FIRMWARE_NO_DEVICE: return NotFound;
    case NR_FIRMWARE_DEVICE_LOST: return DeviceLost;
    case NR_FIRMWARE_ENTER_FAILED: return EnterFailed;
    case NR_FIRMWARE_ERASE_FAILED: return EraseFailed;
    case NR_FIRMWARE_WRITE_FAILED: return WriteFailed;
    case NR_FIRMWARE_COPY_FAILED: return CopyFailed;
    case NR_FIRMWARE_LEAVE_FAILED: return LeaveFailed;
    case NR_FIRMWARE_NOT_RUNNING:
    default: return NotRunning;  // no other result exists
    }
}

// Without an answer to the probe the routine still sends leave-program-mode:
// a Pallix left waiting in program mode answers no probe.
ExitStatus runUpdate(const UpdaterOptions &options) {
    NrDiscovery(options.deviceAddress.c_str());
    return exitStatusOf(nrFirmwareUpdate(options.deviceAddress.c_str(), options.imagePath.c_str()));
}

}  // namespace

int main(int argc, char **argv) {
    const UpdaterOptions options = parseUpdaterOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
    case UpdaterOptions::Action::Help:
        programdoc::printText(programdoc::helpText(updaterDoc()));
        return Updated;
    case UpdaterOptions::Action::Version:
        programdoc::printText("nrfwupdate " + programdoc::version() + "\n");
        return Updated;
    case UpdaterOptions::Action::ManPage: {
        std::string error;
        if (programdoc::writeManPage(updaterDoc(), options.imagePath, &error)) return Updated;
        std::fprintf(stderr, "nrfwupdate: %s\n", error.c_str());
        return BadCommandLine;
    }
    case UpdaterOptions::Action::Refuse:
        std::fprintf(stderr, "nrfwupdate: %s\n\n%s", options.error.c_str(),
                     programdoc::helpText(updaterDoc()).c_str());
        return BadCommandLine;
    case UpdaterOptions::Action::Update:
        break;
    }
    return runUpdate(options);
}
