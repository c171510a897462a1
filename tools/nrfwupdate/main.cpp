// nrfwupdate: the firmware updater the Control Center starts. It finds the
// device at the given address with a unicast probe, then runs the library's
// firmware routine, which prints its progress on standard output.

#include "UpdaterOptions.h"

#include <NerrinAPI.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

enum ExitStatus { Updated = 0, ImageRefused = 1, BadCommandLine = 2, NotFound = 3, DeviceLost = 4 };

int runUpdate(const UpdaterOptions &options) {
    NrDiscovery(options.deviceAddress.c_str());
    if (NrDiscoveryCount() <= 0) {
        std::fprintf(stderr, "nrfwupdate: no Pallix answered at %s; nothing was written\n",
                     options.deviceAddress.c_str());
        return NotFound;
    }
    std::fflush(stdout);
    switch (nrFirmwareUpdate(options.deviceAddress.c_str(), options.imagePath.c_str())) {
    case NR_FIRMWARE_UPDATED:
        return Updated;
    case NR_FIRMWARE_IMAGE_REFUSED:
        std::fprintf(stderr, "nrfwupdate: the image %s was refused; nothing was written\n",
                     options.imagePath.c_str());
        return ImageRefused;
    case NR_FIRMWARE_NO_DEVICE:
        std::fprintf(stderr, "nrfwupdate: no Pallix answered at %s\n", options.deviceAddress.c_str());
        return NotFound;
    default:
        std::fprintf(stderr, "nrfwupdate: the Pallix at %s did not come back after its restart\n",
                     options.deviceAddress.c_str());
        return DeviceLost;
    }
}

}  // namespace

int main(int argc, char **argv) {
    const UpdaterOptions options = parseUpdaterOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
    case UpdaterOptions::Action::Help:
        std::fputs(updaterUsage(), stdout);
        return Updated;
    case UpdaterOptions::Action::Refuse:
        std::fprintf(stderr, "nrfwupdate: %s\n\n%s", options.error.c_str(), updaterUsage());
        return BadCommandLine;
    case UpdaterOptions::Action::Update:
        break;
    }
    return runUpdate(options);
}
