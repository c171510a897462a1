#include "device/RegisterAccess.h"

#include "app/NrErrors.h"
#include "device/ConfirmedRead.h"
#include "device/NrAPI.h"

#include <iterator>

using namespace NrAPI;

namespace registers {

void selectDevice(const std::string &address)
{
    checkError(NrSetDevice(address), "Set Device");
}

int32_t readGlobalStatus()
{
    int32_t status = 0;
    checkError(pallixGetGlobalStatus(status), "Get Global Status");
    return status;
}

void writeGlobalStatus(int32_t value)
{
    checkError(pallixSetGlobalStatus(value), "Set Global Status");
}

namespace {

// The enables live in both records: the status needs them to arm its lamps.
void copyEnables(const DeviceConfig &config, DeviceStatus &status)
{
    status.out1In1Enable = config.out1In1Enable;
    status.out1In2Enable = config.out1In2Enable;
    status.out2In1Enable = config.out2In1Enable;
    status.out2In2Enable = config.out2In2Enable;
    status.powerIn1Enable = config.powerIn1Enable;
    status.powerIn2Enable = config.powerIn2Enable;
}

}   // namespace

LoadedSettings readConfiguration()
{
    LoadedSettings loaded;
    DeviceConfig &c = loaded.config;
    DeviceStatus &s = loaded.status;
    checkError(pallixGetPowerOnDelay(c.powerOnDelay), "Get Power On Delay");
    checkError(pallixGetPowerOffDelay(c.powerOffDelay), "Get Power Off Delay");
    checkError(pallixGetOutState(s.out1State, s.out2State, c.out1Manual, c.out2Manual, c.out1Drive,
                                 c.out2Drive),
               "Get Out State");
    checkError(pallixGetOutACPIEnable(c.out1ACPIEnable, c.out2ACPIEnable), "Get Out ACPI Enable");
    checkError(pallixGetPowerInEnable(c.powerIn1Enable, c.powerIn2Enable), "Get Power In Enable");
    checkError(pallixGetACPIPulseWidth1(c.acpiPulseWidth1), "Get ACPI Pulse Width 1");
    checkError(pallixGetACPIPulseWidth2(c.acpiPulseWidth2), "Get ACPI Pulse Width 2");
    checkError(pallixGetWDTEnable(c.wdtEnable), "Get WDT Enable");
    checkError(
        pallixGetOutInEnable(c.out1In1Enable, c.out1In2Enable, c.out2In1Enable, c.out2In2Enable),
        "Get Out In Enable");
    checkError(pallixGetShutdownAction(c.shutdownAction), "Get Shutdown Action");
    checkError(pallixGetInState(s.in1State, s.in2State), "Get In State");
    checkError(pallixGetOutOnDelay1(c.out1OnDelay), "Get Out On Delay 1");
    checkError(pallixGetOutOffDelay1(c.out1OffDelay), "Get Out Off Delay 1");
    checkError(pallixGetOutOnDelay2(c.out2OnDelay), "Get Out On Delay 2");
    checkError(pallixGetOutOffDelay2(c.out2OffDelay), "Get Out Off Delay 2");
    copyEnables(c, s);
    return loaded;
}

namespace {

using ConfigWrite = void (*)(const DeviceConfig &);

// One write per register, indexed by ConfigRegister: the order of a save.
const ConfigWrite configWrites[] = {
    [](const DeviceConfig &c) {
        checkError(pallixSetPowerOnDelay(c.powerOnDelay), "Set Power On Delay");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetPowerOffDelay(c.powerOffDelay), "Set Power Off Delay");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutState(c.out1Manual, c.out2Manual, c.out1Drive, c.out2Drive),
                   "Set Out State");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutACPIEnable(c.out1ACPIEnable, c.out2ACPIEnable),
                   "Set Out ACPI Enable");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetPowerInEnable(c.powerIn1Enable, c.powerIn2Enable),
                   "Set Power In Enable");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetACPIPulseWidth1(c.acpiPulseWidth1), "Set ACPI Pulse Width 1");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetACPIPulseWidth2(c.acpiPulseWidth2), "Set ACPI Pulse Width 2");
    },
    [](const DeviceConfig &c) { checkError(pallixSetWDTEnable(c.wdtEnable), "Set WDT Enable"); },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutInEnable(c.out1In1Enable, c.out1In2Enable, c.out2In1Enable,
                                        c.out2In2Enable),
                   "Set Out In Enable");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetShutdownAction(c.shutdownAction), "Set Shutdown Action");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutOnDelay1(c.out1OnDelay), "Set Out On Delay 1");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutOffDelay1(c.out1OffDelay), "Set Out Off Delay 1");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutOnDelay2(c.out2OnDelay), "Set Out On Delay 2");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutOffDelay2(c.out2OffDelay), "Set Out Off Delay 2");
    },
};
static_assert(std::size(configWrites) == size_t(ConfigRegister::Count));

}   // namespace

DeviceConfig readConfirmedConfiguration()
{
    return readConfirmed([] { return readConfiguration().config; }, "Get Configuration");
}

void writeConfiguration(const DeviceConfig &config)
{
    for (const ConfigWrite write : configWrites)
        write(config);
}

void writeRegister(ConfigRegister reg, const DeviceConfig &config)
{
    configWrites[size_t(reg)](config);
}

void writeOutState(int32_t out1Manual, int32_t out2Manual, int32_t out1Drive, int32_t out2Drive)
{
    checkError(pallixSetOutState(out1Manual, out2Manual, out1Drive, out2Drive), "Set Out State");
}

DeviceStatus readStatus()
{
    DeviceStatus s;
    int32_t out1Manual = 0, out2Manual = 0, out1Drive = 0, out2Drive = 0;
    checkError(
        pallixGetOutState(s.out1State, s.out2State, out1Manual, out2Manual, out1Drive, out2Drive),
        "Get Out State");
    checkError(pallixGetPowerInEnable(s.powerIn1Enable, s.powerIn2Enable), "Get Power In Enable");
    checkError(
        pallixGetOutInEnable(s.out1In1Enable, s.out1In2Enable, s.out2In1Enable, s.out2In2Enable),
        "Get Out In Enable");
    checkError(pallixGetInState(s.in1State, s.in2State), "Get In State");
    return s;
}

}   // namespace registers
