// Typed access to NerrinAPI, loaded by name from the application folder on
// first use. Text results are copied and their system strings freed.
//
// Only one library call runs at a time: a message box shown from inside the
// library runs a nested event loop, and a call started from there would
// corrupt the library's state. Such a call is refused with BusyStatus;
// timer ticks ask busy() first and skip their turn.
#pragma once

#include <QString>
#include <cstdint>

namespace NrAPI {

constexpr int32_t BusyStatus = -1;
constexpr int32_t NotLoadedStatus = -2;   // the library file could not be loaded

bool busy();
// Loads the library now; false (and a reason) when it cannot be loaded.
bool load(QString *reason = nullptr);

int32_t NrDiscovery(const QString &address);
int32_t NrDiscoveryCount();
QString NrGetDevice(int32_t slot);
int32_t NrSetDevice(const QString &address);
QString NrGetFirmwareVersion();
QString NrGetMACAddress();
QString NrGetDiscoveryString();

int32_t pallixGetGlobalStatus(int32_t &value);
int32_t pallixSetGlobalStatus(int32_t value);
int32_t pallixGetPowerOnDelay(int32_t &value);
int32_t pallixGetPowerOffDelay(int32_t &value);
int32_t pallixSetPowerOnDelay(int32_t value);
int32_t pallixSetPowerOffDelay(int32_t value);
int32_t pallixGetOutOnDelay1(int32_t &value);
int32_t pallixSetOutOnDelay1(int32_t value);
int32_t pallixGetOutOffDelay1(int32_t &value);
int32_t pallixSetOutOffDelay1(int32_t value);
int32_t pallixGetOutOnDelay2(int32_t &value);
int32_t pallixSetOutOnDelay2(int32_t value);
int32_t pallixGetOutOffDelay2(int32_t &value);
int32_t pallixSetOutOffDelay2(int32_t value);
int32_t pallixGetOutState(int32_t &f0, int32_t &f1, int32_t &f2, int32_t &f3, int32_t &f4,
                          int32_t &f5);
int32_t pallixSetOutState(int32_t f2, int32_t f3, int32_t f4, int32_t f5);
int32_t pallixGetOutACPIEnable(int32_t &f0, int32_t &f1);
int32_t pallixSetOutACPIEnable(int32_t f0, int32_t f1);
int32_t pallixSetPowerInEnable(int32_t f0, int32_t f1);
int32_t pallixGetPowerInEnable(int32_t &f0, int32_t &f1);
int32_t pallixGetACPIPulseWidth1(int32_t &value);
int32_t pallixSetACPIPulseWidth1(int32_t value);
int32_t pallixGetACPIPulseWidth2(int32_t &value);
int32_t pallixSetACPIPulseWidth2(int32_t value);
int32_t pallixGetWDTEnable(int32_t &value);
int32_t pallixSetWDTEnable(int32_t value);
int32_t pallixGetOutInEnable(int32_t &f0, int32_t &f1, int32_t &f2, int32_t &f3);
int32_t pallixSetOutInEnable(int32_t f0, int32_t f1, int32_t f2, int32_t f3);
int32_t pallixGetShutdownAction(int32_t &value);
int32_t pallixSetShutdownAction(int32_t value);
int32_t pallixGetInState(int32_t &f0, int32_t &f1);

}   // namespace NrAPI
