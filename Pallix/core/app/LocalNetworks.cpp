#include "app/LocalNetworks.h"

#include "app/AppState.h"
#include "app/NrErrors.h"
#include "app/Text.h"

#include <algorithm>
#include <set>

std::vector<LocalNetwork> discoveryNetworks()
{
    const std::vector<LocalNetwork> system = Platform::current().localNetworks();
    const std::vector<std::string> &named = appState().localAddressOverride;
    std::vector<LocalNetwork> networks;
    if (named.empty()) {
        for (const LocalNetwork &network : system)
            if (network.usable && !trimmed(network.address).empty()) networks.push_back(network);
        return networks;
    }
    // Named addresses count whatever their interface is.
    for (const std::string &address : named) {
        const auto known = std::find_if(system.begin(), system.end(),
                                        [&](const LocalNetwork &n) { return n.address == address; });
        networks.push_back(known != system.end() ? *known : LocalNetwork{address, {}, address, true});
    }
    return networks;
}

std::vector<std::string> localAddresses()
{
    std::vector<std::string> addresses;
    for (const LocalNetwork &network : discoveryNetworks())
        addresses.push_back(network.address);
    return addresses;
}

int localNetworkCount()
{
    std::set<std::string> interfaces;
    for (const LocalNetwork &network : discoveryNetworks())
        interfaces.insert(network.interfaceName);
    return int(interfaces.size());
}

std::string discoveryTarget(const LocalNetwork &network)
{
    return network.broadcast.empty() ? broadcastAddress(network.address) : network.broadcast;
}

std::string broadcastAddress(const std::string &address)
{
    const size_t dot = address.rfind('.');
    if (dot == std::string::npos)
        throw NrError(5, "Invalid address \"" + address + "\": no \".\" in it.");
    return address.substr(0, dot) + ".255";
}
