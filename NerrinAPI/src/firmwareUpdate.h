// Reprogramming a device's flash from a firmware image file: program
// control mode, erase of the upper flash, staged block writes, the flash
// copy with the device's restart, rediscovery, and the rest of the image.
#pragma once

#include <chrono>
#include <cstdint>

// Every wait of the routine in one place. The export uses these values;
// tests pass short ones.
struct NrFirmwareTimings {
    std::chrono::milliseconds restartWait{5000};        // after the flash-copy command
    std::chrono::milliseconds rediscoveryPause{2000};   // after each rediscovery attempt
    std::chrono::milliseconds renewalPause{2000};       // after each network-renewal command
    std::chrono::milliseconds comeBackBound{120000};    // give up when the device stays silent
};

// The routine behind nrFirmwareUpdate; returns one of the NR_FIRMWARE_
// results of NerrinAPI.h. Needs the discovery that found the device to have
// run just before (its MAC address goes into the image). Stops at the first
// request the device does not answer.
int32_t nrFirmwareUpdateWith(const char *deviceAddress, const char *imagePath,
                             const NrFirmwareTimings &timings);
