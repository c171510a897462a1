// The device's register numbers, as the register map gives them. The
// simulator and the tests share them; the library keeps its own, so the
// simulator stays an independent check of it.
#pragma once

namespace pallixsim::registers {

enum Register : int {
    kGlobalStatus = 0,
    kOutOnDelay1 = 1,
    kOutOnDelay2 = 2,
    kOutOffDelay1 = 3,
    kOutOffDelay2 = 4,
    kOutState = 5,
    kUnused = 6,
    kOutInEnable = 7,
    kOutAcpiEnable = 8,
    kPowerOnDelay = 9,
    kPowerOffDelay = 10,
    kPowerInEnable = 11,
    kInState = 12,
    kAcpiPulseWidth1 = 13,
    kAcpiPulseWidth2 = 14,
    kWdtEnable = 15,
    kShutdownAction = 16,
    kRegisterCount = 17,
};

}  // namespace pallixsim::registers
