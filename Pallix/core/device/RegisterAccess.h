// The register sequences the operations are made of, as the device thread
// runs them: each a run of library calls, each call checked. Device thread
// only.
#pragma once

#include "device/DeviceSettings.h"
#include "device/DeviceThread.h"

#include <functional>
#include <string>

namespace registers {

// NrSetDevice, checked "Set Device". Every job that talks to a device
// selects it first: jobs of other tasks may have run since its last one.
void selectDevice(const std::string &address);

int32_t readGlobalStatus();
void writeGlobalStatus(int32_t value);
// Registers 1 to 16 but the global status, in the load's order (steps 2 to 16).
LoadedSettings readConfiguration();
// readConfiguration's configuration, once two reads in a row agree.
DeviceConfig readConfirmedConfiguration();
// The fourteen writes, in the save's order.
void writeConfiguration(const DeviceConfig &config);
void writeRegister(ConfigRegister reg, const DeviceConfig &config);
void writeOutState(int32_t out1Manual, int32_t out2Manual, int32_t out1Drive, int32_t out2Drive);
// Out state, power-in enable, out-in enable, in state.
DeviceStatus readStatus();

}   // namespace registers

// co_await onDevice(address, job, inputs...): the job on that device, which
// is selected first.
template <typename Job, typename... Inputs>
auto onDevice(std::string address, Job job, Inputs... inputs)
{
    return device().call(
        [](const std::string &selected, Job selectedJob, Inputs... given) {
            registers::selectDevice(selected);
            return std::invoke(selectedJob, given...);
        },
        std::move(address), job, std::move(inputs)...);
}
