// Finding the device from the PC's side: one broadcast per local network.
#pragma once

#include <QString>
#include <QStringList>

// One discovery pass over every local network; sets DeviceList, DeviceCount,
// DiscoveryFailed, MACAddress and FirmwareVersion. Reports its own errors.
void RunDiscovery();

// The PC's IPv4 addresses in dotted decimal (the command line may replace them).
QStringList LocalAddresses();

// "192.168.1.20" gives "192.168.1.255"; the network is always taken as /24.
// Throws NrError when the text has no ".".
QString BroadcastAddress(const QString &address);

// The address field of a discovery reply (between the second and third ":").
// Throws NrError(1, "No Pallix detected.") when there is no third ":".
QString DeviceAddressFromReply(const QString &reply);

// Selects DeviceList element 0, the watched device, for the next library calls.
// Throws NrError when no device has been found.
void SelectWatchedDevice();
