// Finding the device from the PC's side: one broadcast per local network.
#pragma once

#include "Platform.h"

#include <QString>
#include <QStringList>

// One discovery pass over every local network; sets DeviceList, DeviceCount,
// DiscoveryFailed, MACAddress and FirmwareVersion. Reports its own errors.
void RunDiscovery();

// The PC's networks that discovery broadcasts on, in interface order: the
// usable ones, or the addresses named on the command line (with what the
// system knows of them).
QList<LocalNetwork> LocalNetworks();
// Their addresses in dotted decimal.
QStringList LocalAddresses();
// How many networks the PC is on: two addresses on one interface are one.
int LocalNetworkCount();

// Where a network's discovery goes: the broadcast address the system gives,
// or else its /24 broadcast.
QString DiscoveryTarget(const LocalNetwork &network);
// "192.168.1.20" gives "192.168.1.255", the /24 broadcast.
// Throws NrError when the text has no ".".
QString BroadcastAddress(const QString &address);

// The address field of a discovery reply (between the second and third ":").
// Throws NrError(1, "No Pallix detected.") when there is no third ":".
QString DeviceAddressFromReply(const QString &reply);

// DeviceList element 0, the watched device; selected for the next library
// calls. Both throw NrError when no device has been found.
QString WatchedDevice();
void SelectWatchedDevice();

// Selects a device, lets pending events run, and selects it again: a handler
// that ran in between may have selected another one.
void SelectDeviceLettingEventsRun(const QString &address);
