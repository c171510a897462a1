// Finding the device from the PC's side: one broadcast per local network.
#pragma once

#include "Platform.h"

#include <QString>
#include <QStringList>

// One discovery pass over every local network, or a probe of
// appState().fixedDevice alone when it is set; sets deviceList, deviceCount,
// discoveryFailed, macAddress and firmwareVersion. Reports its own errors.
void runDiscovery();

// The PC's networks that discovery broadcasts on, in interface order: the
// usable ones, or the addresses named on the command line (with what the
// system knows of them).
QList<LocalNetwork> discoveryNetworks();
// Their addresses in dotted decimal.
QStringList localAddresses();
// How many networks the PC is on: two addresses on one interface are one.
int localNetworkCount();

// Where a network's discovery goes: the broadcast address the system gives,
// or else its /24 broadcast.
QString discoveryTarget(const LocalNetwork &network);
// "192.168.1.20" gives "192.168.1.255", the /24 broadcast.
// Throws NrError when the text has no ".".
QString broadcastAddress(const QString &address);

// The address field of a discovery reply (between the second and third ":").
// Throws NrError(1, "No Pallix detected.") when there is no third ":".
QString deviceAddressFromReply(const QString &reply);

// deviceList element 0, the watched device; selected for the next library
// calls. Both throw NrError when no device has been found.
QString watchedDevice();
void selectWatchedDevice();

// Selects a device, lets pending events run, and selects it again: a handler
// that ran in between may have selected another one.
void selectDeviceLettingEventsRun(const QString &address);
