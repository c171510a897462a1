// Settings by name, as pallixctl and pallixd take them: every value a user
// can give reads back as given, bad ones are refused, and a set writes the
// one register that holds the setting, its neighbours as they were.
#include "ConfigTestSupport.h"
#include "NrAPI.h"
#include "SettingNames.h"

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
            const QString text = settingText(field, value);
            EXPECT_EQ(parseSetting(field, text, nullptr), value) << field.name << " " << value;
            EXPECT_EQ(parseSetting(field, text.toUpper(), nullptr), value) << field.name;
        }
    EXPECT_EQ(findSetting(QStringLiteral("POWEROFFDELAY")), findSetting("powerOffDelay"));
    EXPECT_EQ(settingFields().size(), 22);
}

TEST(SettingNames, TextsOutsideAUnitAreRefusedWithTheReason)
{
    const SettingField &delay = *findSetting(QStringLiteral("powerOffDelay"));
    for (const char *bad : {"128", "127.6", "0.25", "-1", "1e2", "", " 3", "3.", "0x10", "half"}) {
        QString reason;
        EXPECT_FALSE(parseSetting(delay, QString::fromLatin1(bad), &reason)) << bad;
        EXPECT_TRUE(reason.contains(QStringLiteral("0 to 127.5 seconds in steps of 0.5"))) << bad;
    }
    EXPECT_EQ(parseSetting(delay, QStringLiteral("127.50"), nullptr), 255);
    EXPECT_EQ(parseSetting(delay, QStringLiteral("0.5"), nullptr), 1);
    const SettingField &action = *findSetting(QStringLiteral("shutdownAction"));
    EXPECT_EQ(parseSetting(action, QStringLiteral("stand by"), nullptr), 3);
    EXPECT_FALSE(parseSetting(action, QStringLiteral("Standby"), nullptr));
    EXPECT_EQ(settingText(action, 9), QStringLiteral("No Action"));   // as the window shows it
    const SettingField &drive = *findSetting(QStringLiteral("out1Drive"));
    EXPECT_EQ(settingText(drive, 2), QStringLiteral("off"));   // drive is on only at 1
    EXPECT_EQ(settingText(*findSetting(QStringLiteral("wdtEnable")), 2), QStringLiteral("on"));
    EXPECT_EQ(findSetting(QStringLiteral("all")), nullptr);
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
    const QString device = devices.address(1);
    for (const SettingField &field : settingFields()) {
        for (int reg = 1; reg < kRegisterCount; ++reg)
            if (reg != kInState && reg != kUnused) sim.setReg(1, reg, 0);
        sim.setReg(1, kPowerOnDelay, 9);
        sim.setReg(1, kOutInEnable, 0x0A);   // out1In2 and out2In2
        sim.setReg(1, kOutState, 0x24);      // out1Manual, out2Drive
        sim.setReg(1, kWdtEnable, 1);        // a save from the window would clear it
        const DeviceConfig before = loadSettings(device).config;
        const int32_t wanted =
            before.*field.value == 0 ? (field.unit == SettingUnit::Action ? 4 : 1) : 0;
        sim.clearRequests();
        const DeviceConfig after = writeSetting(device, field, wanted);

        const auto writes = writesOf(sim.requests(1));
        ASSERT_EQ(writes.size(), 1u) << field.name;
        DeviceConfig expected = before;
        expected.*field.value = wanted;
        for (const SettingField &other : settingFields())
            EXPECT_EQ(after.*other.value, expected.*other.value)
                << "setting " << field.name << " changed " << other.name;
    }
}

}   // namespace
