// Finding the device from the PC's side: one broadcast per local network.
#pragma once

#include "app/LocalNetworks.h"
#include "loop/Task.h"

#include <string>
#include <vector>

// One discovery pass over every local network, or a probe of
// appState().fixedDevice alone when it is set; sets deviceList, deviceCount,
// discoveryFailed, macAddress (and the MAC of each device) and
// firmwareVersion. Reports its own errors.
loop::Task<> runDiscovery();

// The address field of a discovery reply (between the second and third ":").
// Throws NrError(1, "No Pallix detected.") when there is no third ":".
std::string deviceAddressFromReply(const std::string &reply);

// The MAC address and firmware version a discovery reply announces, read as
// the library reads the first reply's: the 17 characters after the fourth
// ":" and the 5 after the sixth, colons left out.
std::string macAddressFromReply(const std::string &reply);
std::string firmwareVersionFromReply(const std::string &reply);

// deviceList element 0, the watched device. Throws NrError when no device
// has been found.
std::string watchedDevice();
