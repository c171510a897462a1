#include "NrDiscovery.h"

#include "AppState.h"
#include "ConfigView.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "MousePointer.h"
#include "NrAPI.h"
#include "NrErrors.h"
#include "Platform.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

// Sends the probe to each network in turn; the reply count of the first
// network that answered, else 0.
int probeNetworks(const QList<LocalNetwork> &networks)
{
    int count = 0;
    for (const LocalNetwork &network : networks) {
        NrAPI::NrDiscovery(discoveryTarget(network));
        count = NrAPI::NrDiscoveryCount();
        if (count > 0) break;
    }
    return count;
}

// A device named on the command line gets the probe itself.
int probeDevice(const QString &address)
{
    NrAPI::NrDiscovery(address);
    return NrAPI::NrDiscoveryCount();
}

void storeDevices(int count)
{
    AppState &state = appState();
    state.discoveryFailed = false;
    state.macAddress = NrAPI::NrGetMACAddress();
    state.firmwareVersion = NrAPI::NrGetFirmwareVersion();
    state.deviceCount = count;
    state.deviceList = QStringList(count + 1, QString());
    for (int i = 0; i < count; ++i) {
        state.deviceList[i] = deviceAddressFromReply(NrAPI::NrGetDevice(i));
        if (configViewVisible()) configView()->loadDevices();
    }
}

}   // namespace

void runDiscovery()
{
    AppState &state = appState();
    try {
        QCoreApplication::processEvents();
        setMousePointer(MousePointer::Hourglass);
        const int count = state.fixedDevice.isEmpty() ? probeNetworks(discoveryNetworks())
                                                      : probeDevice(state.fixedDevice);
        if (count < 1) {
            state.discoveryFailed = true;
            logFile(QStringLiteral("Discovery Count < 1 "));
            return;
        }
        storeDevices(count);
        setMousePointer(MousePointer::Default);
        state.discoveryFailed = state.deviceCount <= 0;
        if (state.deviceCount > 0) monitorState().setWatching(true);
    } catch (const NrError &error) {
        showError(error);
    }
}

QList<LocalNetwork> discoveryNetworks()
{
    const QList<LocalNetwork> system = Platform::current().localNetworks();
    const QStringList &named = appState().localAddressOverride;
    QList<LocalNetwork> networks;
    if (named.isEmpty()) {
        for (const LocalNetwork &network : system)
            if (network.usable && !network.address.trimmed().isEmpty()) networks << network;
        return networks;
    }
    // Named addresses count whatever their interface is.
    for (const QString &address : named) {
        auto known = std::find_if(system.begin(), system.end(),
                                  [&](const LocalNetwork &n) { return n.address == address; });
        networks << (known != system.end() ? *known : LocalNetwork{address, {}, address, true});
    }
    return networks;
}

QStringList localAddresses()
{
    QStringList addresses;
    for (const LocalNetwork &network : discoveryNetworks())
        addresses << network.address;
    return addresses;
}

int localNetworkCount()
{
    QStringList interfaces;
    for (const LocalNetwork &network : discoveryNetworks())
        if (!interfaces.contains(network.interfaceName)) interfaces << network.interfaceName;
    return int(interfaces.size());
}

QString discoveryTarget(const LocalNetwork &network)
{
    return network.broadcast.isEmpty() ? broadcastAddress(network.address) : network.broadcast;
}

QString broadcastAddress(const QString &address)
{
    const qsizetype dot = address.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        throw NrError(5, QStringLiteral("Invalid address \"%1\": no \".\" in it.").arg(address));
    return address.left(dot) + QStringLiteral(".255");
}

QString deviceAddressFromReply(const QString &reply)
{
    const QStringList fields = reply.split(QLatin1Char(':'));
    if (fields.size() < 4) throw NrError(1, QStringLiteral("No Pallix detected."));
    return fields[2];
}

QString watchedDevice()
{
    const QStringList &devices = appState().deviceList;
    if (devices.isEmpty()) throw NrError(9, QStringLiteral("Subscript out of range"));
    return devices.first();
}

void selectWatchedDevice()
{
    checkError(NrAPI::NrSetDevice(watchedDevice()), QStringLiteral("Set Device"));
}

void selectDeviceLettingEventsRun(const QString &address)
{
    checkError(NrAPI::NrSetDevice(address), QStringLiteral("Set Device"));
    QCoreApplication::processEvents();
    checkError(NrAPI::NrSetDevice(address), QStringLiteral("Set Device"));
}
