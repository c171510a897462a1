#include <gtest/gtest.h>

#include "RegisterBank.h"

using namespace pallixsim;

TEST(SimGlobalStatus, KeepsBitsOneToThreeAndAcknowledgesEvents) {
    RegisterBank bank;
    bank.requestPowerAction();
    EXPECT_EQ(bank.read(kGlobalStatus), 0x01);
    bank.write(kGlobalStatus, 0x00);  // a 0 does not acknowledge
    EXPECT_EQ(bank.read(kGlobalStatus), 0x01);
    bank.write(kGlobalStatus, 0xFF);
    EXPECT_EQ(bank.read(kGlobalStatus), 0x0E);
    bank.requestPowerAction();
    bank.losePower();
    EXPECT_EQ(bank.read(kGlobalStatus), 0xC1);
    bank.write(kGlobalStatus, 225);
    EXPECT_EQ(bank.read(kGlobalStatus), 0x00);
}

TEST(SimOutState, ManualDriveAndInputTriggersSwitchTheOutputs) {
    RegisterBank bank;
    bank.write(kOutState, 0xFF);  // bits 0 and 1 cannot be written
    EXPECT_EQ(bank.read(kOutState), 0x3F);
    bank.write(kOutState, 0x0C);  // manual, drive off
    EXPECT_EQ(bank.read(kOutState), 0x0C);

    bank.write(kOutState, 0x00);
    bank.write(kOutInEnable, 0x08);  // output 2 follows input 2
    bank.setInput(1, true);
    EXPECT_EQ(bank.read(kOutState), 0x00);
    bank.setInput(2, true);
    EXPECT_EQ(bank.read(kOutState), 0x02);
    bank.write(kOutInEnable, 0x01);  // output 1 follows input 1
    EXPECT_EQ(bank.read(kOutState), 0x01);
}

TEST(SimInState, IsReadOnlyAndShowsTheInputs) {
    RegisterBank bank;
    EXPECT_FALSE(bank.write(kInState, 3));
    EXPECT_EQ(bank.read(kInState), 0);
    bank.setInput(2, true);
    EXPECT_EQ(bank.read(kInState), 2);
}

TEST(SimRegisters, FlagRegistersKeepTheirFlagsOthersTheWholeByte) {
    RegisterBank bank;
    bank.write(kOutAcpiEnable, 0xFF);
    bank.write(kPowerInEnable, 0xFE);
    bank.write(kOutInEnable, 0xFF);
    bank.write(kPowerOnDelay, 0xFF);
    bank.write(kWdtEnable, 0x80);
    EXPECT_EQ(bank.read(kOutAcpiEnable), 0x03);
    EXPECT_EQ(bank.read(kPowerInEnable), 0x02);
    EXPECT_EQ(bank.read(kOutInEnable), 0x0F);
    EXPECT_EQ(bank.read(kPowerOnDelay), 0xFF);
    EXPECT_EQ(bank.read(kWdtEnable), 0x80);
}

TEST(SimPowerLoss, ReturnsTheConfigurationToItsDefaults) {
    RegisterBank bank;
    for (int reg = 1; reg < kRegisterCount; ++reg) bank.write(reg, 0x55);
    bank.setInput(1, true);
    bank.losePower();
    for (int reg = 1; reg < kRegisterCount; ++reg) {
        if (reg == kInState) continue;
        EXPECT_EQ(bank.value(reg), RegisterDefaults::values[reg]) << "register " << reg;
    }
    EXPECT_EQ(bank.value(kInState), 1) << "the inputs are not configuration";
}

TEST(SimFaults, StuckMisreadAndOutputStuckChangeOnlyWhatThePcReads) {
    RegisterBank bank;
    bank.faults().stick(kPowerOnDelay, 0);
    bank.write(kPowerOnDelay, 9);
    EXPECT_EQ(bank.read(kPowerOnDelay), 0);
    EXPECT_EQ(bank.value(kPowerOnDelay), 9);

    bank.faults().misread(kPowerOffDelay, 9, 7);
    bank.write(kPowerOffDelay, 8);
    EXPECT_EQ(bank.read(kPowerOffDelay), 8);
    bank.write(kPowerOffDelay, 9);
    EXPECT_EQ(bank.read(kPowerOffDelay), 7);
    bank.write(kPowerOffDelay, 10);
    EXPECT_EQ(bank.read(kPowerOffDelay), 10);

    bank.faults().stickOutput(2);
    bank.write(kOutState, 0x3C);
    EXPECT_EQ(bank.read(kOutState), 0x3D);

    bank.faults().clear();
    EXPECT_EQ(bank.read(kPowerOnDelay), 9);
    EXPECT_EQ(bank.read(kOutState), 0x3F);
}
