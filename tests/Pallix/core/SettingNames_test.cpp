// Settings by name, as pallixctl and pallixd take them: every value a user
// can give reads back as given, bad ones are refused, and a set writes the
// one register that holds the setting, its neighbours as they were.
#include "ConfigTestSupport.h"
#include "app/NrErrors.h"
#include "app/Text.h"
#include "device/NrAPI.h"
#include "device/SettingNames.h"

#include <algorithm>
#include <cctype>

#include <gtest/gtest.h>

using configtest::SimulatedDevices;
using configtest::writesOf;
using namespace pallixsim::registers;

namespace {

// The values a unit stores, each a register value.
std::vector<int32_t> legalValues(SettingUnit unit)
{
    switch (unit) {
    case SettingUnit::HalfSeconds: {
        std::vector<int32_t> all(256);
        for (int32_t v = 0; v < 256; ++v)
            all[size_t(v)] = v;
        return all;
    }
    case SettingUnit::Action: return {0, 1, 2, 3, 4, 5};
    default: return {0, 1};
    }
}

TEST(SettingNames, EveryValueATextNamesParsesBackToItself)
{
    for (const SettingField &field : settingFields())
        for (const int32_t value : legalValues(field.unit)) {
            const std::string text = settingText(field, value);
            std::string upper = text;
            std::transform(upper.begin(), upper.end(), upper.begin(),
                           [](unsigned char c) { return char(std::toupper(c)); });
            EXPECT_EQ(parseSetting(field, text, nullptr), value) << field.name << " " << value;
            EXPECT_EQ(parseSetting(field, upper, nullptr), value) << field.name;
        }
    EXPECT_EQ(findSetting("POWEROFFDELAY"), findSetting("powerOffDelay"));
    EXPECT_EQ(settingFields().size(), 22u);
}

TEST(SettingNames, TextsOutsideAUnitAreRefusedWithTheReason)
{
    const SettingField &delay = *findSetting("powerOffDelay");
    for (const char *bad : {"128", "127.6", "0.25", "-1", "1e2", "", " 3", "3.", "0x10", "half"}) {
        std::string reason;
        EXPECT_FALSE(parseSetting(delay, bad, &reason)) << bad;
        EXPECT_NE(reason.find("0 to 127.5 seconds in steps of 0.5"), std::string::npos) << bad;
    }
    EXPECT_EQ(parseSetting(delay, ("127.50"), nullptr), 255);
    EXPECT_EQ(parseSetting(delay, ("0.5"), nullptr), 1);
    const SettingField &action = *findSetting(("shutdownAction"));
    EXPECT_EQ(parseSetting(action, ("stand by"), nullptr), 3);
    EXPECT_FALSE(parseSetting(action, ("Standby"), nullptr));
    EXPECT_EQ(settingText(action, 9), ("No Action"));   // as the window shows it
    const SettingField &drive = *findSetting(("out1Drive"));
    EXPECT_EQ(settingText(drive, 2), ("off"));   // drive is on only at 1
    EXPECT_EQ(settingText(*findSetting(("wdtEnable")), 2), ("on"));
    EXPECT_EQ(findSetting(("all")), nullptr);
}

class SettingWrite : public ::testing::Test {
protected:
    SettingWrite() { EXPECT_TRUE(NrAPI::load()); }
    TestAppFolder folder;
    FakePlatform platform;
    SimulatedDevices devices;
};

// Each setting against a device whose registers all differ: the one
// register is written, and every other value the device held stays.
TEST_F(SettingWrite, ASetWritesOnlyTheRegisterThatHoldsTheSetting)
{
    pallixsim::Simulator &sim = devices.sim();
    const std::string device = devices.address(1);
    for (const SettingField &field : settingFields()) {
        for (int reg = 1; reg < kRegisterCount; ++reg)
            if (reg != kInState && reg != kUnused) sim.setReg(1, reg, 0);
        sim.setReg(1, kPowerOnDelay, 9);
        sim.setReg(1, kOutInEnable, 0x0A);   // out1In2 and out2In2
        sim.setReg(1, kOutState, 0x24);      // out1Manual, out2Drive
        sim.setReg(1, kWdtEnable, 1);        // a save from the window would clear it
        const DeviceConfig before = runTask(loadSettings(device)).config;
        const int32_t wanted =
            before.*field.value == 0 ? (field.unit == SettingUnit::Action ? 4 : 1) : 0;
        sim.clearRequests();
        const DeviceConfig after = runTask(writeSetting(device, field, wanted));

        const auto writes = writesOf(sim.requests(1));
        ASSERT_EQ(writes.size(), 1u) << field.name;
        DeviceConfig expected = before;
        expected.*field.value = wanted;
        for (const SettingField &other : settingFields())
            EXPECT_EQ(after.*other.value, expected.*other.value)
                << "setting " << field.name << " changed " << other.name;
    }
}

// The register's other setting is written back only as the device gave it
// twice: a change from a value that flickers writes nothing.
TEST_F(SettingWrite, ASetFromAnUnconfirmedRegisterWritesNothing)
{
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(1, kPowerInEnable, 0x00);
    sim.command("flicker 11 1");   // power input 1 seems enabled every other read
    sim.clearRequests();
    const SettingField &field = *findSetting("powerIn2Enable");
    EXPECT_THROW(runTask(writeSetting(devices.address(1), field, 1)), NrError);
    EXPECT_TRUE(writesOf(sim.requests(1)).empty());
    EXPECT_EQ(sim.reg(1, kPowerInEnable), 0x00);
}

}   // namespace
