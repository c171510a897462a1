#include "NrDiscovery.h"

#include "AppState.h"
#include "LogFile.h"
#include "MousePointer.h"
#include "NrAPI.h"
#include "NrErrors.h"
#include "Platform.h"
#include "TrayControl.h"
#include "WindowHooks.h"

#include <QCoreApplication>

namespace {

// Sends the probe to each network in turn; the reply count of the first
// network that answered, else 0.
int probeNetworks(const QStringList &addresses)
{
    int count = 0;
    for (const QString &address : addresses) {
        NrAPI::NrDiscovery(BroadcastAddress(address));
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
        if (ConfigWindowVisible()) ConfigWindowLoadIPs();
    }
}

}  // namespace

void RunDiscovery()
{
    AppState &state = appState();
    try {
        QCoreApplication::processEvents();
        SetMousePointer(MousePointer::Hourglass);
        const int count = probeNetworks(LocalAddresses());
        if (count < 1) {
            // Marked first: a log that cannot be written must not pass for a find.
            state.DiscoveryFailed = true;
            LogFile(QStringLiteral("Discovery Count < 1 "));
            return;
        }
        storeDevices(count);
        SetMousePointer(MousePointer::Default);
        state.DiscoveryFailed = state.DeviceCount <= 0;
        if (state.DeviceCount > 0) trayControl().setMonitorEnabled(true);
    } catch (const NrError &error) {
        ShowError(error);
    }
}

QStringList LocalAddresses()
{
    const QStringList &replacement = appState().LocalAddressOverride;
    QStringList addresses =
        replacement.isEmpty() ? Platform::current().localAddresses() : replacement;
    addresses.removeIf([](const QString &address) { return address.trimmed().isEmpty(); });
    return addresses;
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

void SelectWatchedDevice()
{
    const QStringList &devices = appState().DeviceList;
    if (devices.isEmpty()) throw NrError(9, QStringLiteral("Subscript out of range"));
    CheckError(NrAPI::NrSetDevice(devices.first()), QStringLiteral("Set Device"));
}
