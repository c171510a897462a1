// The PC's own networks, as discovery and the About window see them.
#pragma once

#include "app/Platform.h"

#include <string>
#include <vector>

// The PC's networks that discovery broadcasts on, in interface order: the
// usable ones, or the addresses named on the command line (with what the
// system knows of them).
std::vector<LocalNetwork> discoveryNetworks();
// Their addresses in dotted decimal.
std::vector<std::string> localAddresses();
// How many networks the PC is on: two addresses on one interface are one.
int localNetworkCount();

// Where a network's discovery goes: the broadcast address the system gives,
// or else its /24 broadcast.
std::string discoveryTarget(const LocalNetwork &network);
// "192.168.1.20" gives "192.168.1.255", the /24 broadcast.
// Throws NrError when the text has no ".".
std::string broadcastAddress(const std::string &address);
