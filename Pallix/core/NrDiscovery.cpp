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
        NrAPI::NrDiscovery(DiscoveryTarget(network));
        count = NrAPI::NrDiscoveryCount();
        if (count > 0) break;
    }
    return count;
}

void storeDevices(int count)
{
    AppState &state = appState();
    state.DiscoveryFailed = false;
    state.MACAddress = NrAPI::NrGetMACAddress();
    state.FirmwareVersion = NrAPI::NrGetFirmwareVersion();
    state.DeviceCount = count;
    state.DeviceList = QStringList(count + 1, QString());
    for (int i = 0; i < count; ++i) {
        state.DeviceList[i] = DeviceAddressFromReply(NrAPI::NrGetDevice(i));
        if (configViewVisible()) configView()->loadDevices();
    }
}

}  // namespace

void RunDiscovery()
{
    AppState &state = appState();
    try {
        QCoreApplication::processEvents();
        SetMousePointer(MousePointer::Hourglass);
        const int count = probeNetworks(LocalNetworks());
        if (count < 1) {
            state.DiscoveryFailed = true;
            LogFile(QStringLiteral("Discovery Count < 1 "));
            return;
        }
        storeDevices(count);
        SetMousePointer(MousePointer::Default);
        state.DiscoveryFailed = state.DeviceCount <= 0;
        if (state.DeviceCount > 0) monitorState().setWatching(true);
    } catch (const NrError &error) {
        ShowError(error);
    }
}

QList<LocalNetwork> LocalNetworks()
{
    const QList<LocalNetwork> system = Platform::current().localNetworks();
    const QStringList &named = appState().LocalAddressOverride;
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

QStringList LocalAddresses()
{
    QStringList addresses;
    for (const LocalNetwork &network : LocalNetworks()) addresses << network.address;
    return addresses;
}

int LocalNetworkCount()
{
    QStringList interfaces;
    for (const LocalNetwork &network : LocalNetworks())
        if (!interfaces.contains(network.interfaceName)) interfaces << network.interfaceName;
    return int(interfaces.size());
}

QString DiscoveryTarget(const LocalNetwork &network)
{
    return network.broadcast.isEmpty() ? BroadcastAddress(network.address) : network.broadcast;
}

QString BroadcastAddress(const QString &address)
{
    const qsizetype dot = address.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        throw NrError(5, QStringLiteral("Invalid address \"%1\": no \".\" in it.").arg(address));
    return address.left(dot) + QStringLiteral(".255");
}

QString DeviceAddressFromReply(const QString &reply)
{
    const QStringList fields = reply.split(QLatin1Char(':'));
    if (fields.size() < 4) throw NrError(1, QStringLiteral("No Pallix detected."));
    return fields[2];
}

QString WatchedDevice()
{
    const QStringList &devices = appState().DeviceList;
    if (devices.isEmpty()) throw NrError(9, QStringLiteral("Subscript out of range"));
    return devices.first();
}

void SelectWatchedDevice()
{
    CheckError(NrAPI::NrSetDevice(WatchedDevice()), QStringLiteral("Set Device"));
}

void SelectDeviceLettingEventsRun(const QString &address)
{
    CheckError(NrAPI::NrSetDevice(address), QStringLiteral("Set Device"));
    QCoreApplication::processEvents();
    CheckError(NrAPI::NrSetDevice(address), QStringLiteral("Set Device"));
}
