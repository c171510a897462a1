// Typed access to NerrinAPI, loaded by name from the application folder on
// first use. Text results are copied (Latin-1 to UTF-8) and their system
// strings freed.
//
// The library's calls must never overlap: they run on the device thread
// alone (DeviceThread), which claims them while it lives.
#pragma once

#include <cstdint>
#include <string>

namespace NrAPI {

constexpr int32_t NotLoadedStatus = -2;   // the library file could not be loaded

// Loads the library now, from any thread; false (and why) when it cannot be.
bool load(std::string *reason = nullptr);

// Where the library's diagnostic lines ("No Reply Error", ...) go: standard
// output, the library's own way, unless a program whose standard output is
// its answer sends them elsewhere before its first call.
enum class Diagnostics { StandardOutput, StandardError, Dropped };
void setDiagnostics(Diagnostics where);

// Calls of the library are refused (the program aborts) from any thread but
// the owner, while one is set. No owner: any thread (a program without a
// device thread, such as a test of the library itself).
void setOwnerThread(bool owned);

int32_t NrDiscovery(const std::string &address);
int32_t NrDiscoveryCount();
std::string NrGetDevice(int32_t slot);
int32_t NrSetDevice(const std::string &address);
std::string NrGetFirmwareVersion();
std::string NrGetMACAddress();
std::string NrGetDiscoveryString();

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
