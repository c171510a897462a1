// The settings model against the simulated device: value lists, encodings,
// lamp rule, and the exact reads and writes of each operation.
#include "ConfigTestSupport.h"
#include "app/NrErrors.h"
#include "device/DeviceSettings.h"

#include <gtest/gtest.h>
#include <optional>

using configtest::kRead;
using configtest::registersOf;
using configtest::SilenceAfter;
using configtest::SimulatedDevices;
using configtest::writesOf;

using namespace pallixsim::registers;

namespace {

const std::vector<int> kLoadOrder{0, 9, 10, 5, 8, 11, 13, 14, 15, 7, 16, 12, 1, 3, 2, 4};
const std::vector<int> kSaveOrder{9, 10, 5, 8, 11, 13, 14, 15, 7, 16, 1, 3, 2, 4};

// Every field different, so a value in the wrong place shows.
DeviceConfig distinctConfig()
{
    DeviceConfig c;
    c.powerOnDelay = 21;
    c.powerOffDelay = 22;
    c.out1Manual = 1;
    c.out2Manual = 0;
    c.out1Drive = 0;
    c.out2Drive = 1;
    c.out1ACPIEnable = 0;
    c.out2ACPIEnable = 1;
    c.powerIn1Enable = 1;
    c.powerIn2Enable = 0;
    c.acpiPulseWidth1 = 23;
    c.acpiPulseWidth2 = 24;
    c.wdtEnable = 0;
    c.out1In1Enable = 0;
    c.out1In2Enable = 1;
    c.out2In1Enable = 1;
    c.out2In2Enable = 0;
    c.shutdownAction = 4;
    c.out1OnDelay = 25;
    c.out1OffDelay = 26;
    c.out2OnDelay = 27;
    c.out2OffDelay = 28;
    return c;
}

// The operation's error, checked against the number and text expected.
std::optional<NrError> expectError(loop::Task<> operation, int number, const std::string &text)
{
    try {
        runTask(std::move(operation));
        ADD_FAILURE() << "no error, expected " << text;
    } catch (const NrError &error) {
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.description(), text);
        return error;
    }
    return std::nullopt;
}

loop::Task<> loading(std::string address) { co_await loadSettings(address); }
loop::Task<> loadingStatus(std::string address) { co_await loadStatus(address); }

}   // namespace

TEST(SettingsLists, DelayStepsCountHalfSecondsFromZeroTo127AndAHalf)
{
    const std::vector<std::string> &steps = delaySteps();
    ASSERT_EQ(steps.size(), 256u);
    EXPECT_EQ(steps[0], "0");
    EXPECT_EQ(steps[1], "0.5");
    EXPECT_EQ(steps[2], "1");
    EXPECT_EQ(steps[3], "1.5");
    EXPECT_EQ(steps[20], "10");
    EXPECT_EQ(steps[254], "127");
    EXPECT_EQ(steps[255], "127.5");
}

TEST(SettingsLists, ShutdownActionsInCodeOrder)
{
    EXPECT_EQ(shutdownActionNames(),
              (std::vector<std::string>{"Shutdown", "Restart", "Hibernate/Sleep", "Stand By",
                                        "Log Out", "No Action"}));
}

TEST(SettingsEncodings, ActionCodesBeyondTheListShowNoAction)
{
    EXPECT_EQ(shutdownActionEntry(0), 0);
    EXPECT_EQ(shutdownActionEntry(5), 5);
    EXPECT_EQ(shutdownActionEntry(6), 5);
    EXPECT_EQ(shutdownActionEntry(255), 5);
}

TEST(SettingsEncodings, EnablesTickOnAnyValueDriveAndManualOnlyOnOne)
{
    EXPECT_FALSE(enableTicked(0));
    EXPECT_TRUE(enableTicked(1));
    EXPECT_TRUE(enableTicked(2));
    EXPECT_TRUE(driveTicked(1));
    EXPECT_FALSE(driveTicked(2));
    EXPECT_TRUE(manualChosen(1));
    EXPECT_FALSE(manualChosen(2));
    EXPECT_FALSE(manualChosen(0));
    EXPECT_EQ(tickValue(true), 1);
    EXPECT_EQ(tickValue(false), 0);
}

TEST(IndicatorLamps, EachLampIsArmedOnlyByItsOwnEnables)
{
    DeviceStatus s;
    EXPECT_EQ(indicatorLamps(s).out1, LampState::Disabled);

    s.out2In1Enable = 1;   // arms output 2 and input 1, nothing else
    StatusLamps lamps = indicatorLamps(s);
    EXPECT_EQ(lamps.out1, LampState::Disabled);
    EXPECT_EQ(lamps.out2, LampState::Armed);
    EXPECT_EQ(lamps.in1, LampState::Armed);
    EXPECT_EQ(lamps.in2, LampState::Disabled);

    s = {};
    s.powerIn2Enable = 1;   // only input 2
    lamps = indicatorLamps(s);
    EXPECT_EQ(lamps.out1, LampState::Disabled);
    EXPECT_EQ(lamps.out2, LampState::Disabled);
    EXPECT_EQ(lamps.in1, LampState::Disabled);
    EXPECT_EQ(lamps.in2, LampState::Armed);

    s = {};
    s.out1In2Enable = 1;
    lamps = indicatorLamps(s);
    EXPECT_EQ(lamps.out1, LampState::Armed);
    EXPECT_EQ(lamps.in2, LampState::Armed);
    EXPECT_EQ(lamps.in1, LampState::Disabled);
}

TEST(IndicatorLamps, TriggeredOnlyByAStateOfExactlyOne)
{
    DeviceStatus s;
    s.out1State = 1;
    s.in2State = 1;
    s.out2State = 2;
    s.out1In1Enable = 1;
    const StatusLamps lamps = indicatorLamps(s);
    EXPECT_EQ(lamps.out1, LampState::Triggered);
    EXPECT_EQ(lamps.in2, LampState::Triggered);
    EXPECT_EQ(lamps.out2, LampState::Disabled);
    EXPECT_EQ(lamps.in1, LampState::Armed);
}

class SettingsOnDevice : public ::testing::Test {
protected:
    TestAppFolder folder;
    FakePlatform platform;
};

TEST_F(SettingsOnDevice, LoadReadsSixteenRegistersInOrderAndHandsOverTheirValues)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    const int values[][2] = {{0, 0x0C}, {1, 11},   {2, 12},  {3, 13},   {4, 14},    {5, 0x14},
                             {7, 0x05}, {8, 0x02}, {9, 200}, {10, 255}, {11, 0x02}, {12, 0x02},
                             {13, 7},   {14, 9},   {15, 1},  {16, 3}};
    for (const auto &[reg, value] : values)
        sim.setReg(1, reg, value);

    const LoadedSettings loaded = runTask(loadSettings(devices.address(1)));

    EXPECT_EQ(registersOf(sim.requests(1), kRead), kLoadOrder);
    EXPECT_EQ(writesOf(sim.requests(1)).size(), 0u);
    EXPECT_EQ(loaded.globalStatus, 0x0C);
    EXPECT_EQ(appState().lastGlobalStatus, 0x0C);
    const DeviceConfig &c = loaded.config;
    EXPECT_EQ(c.powerOnDelay, 200);
    EXPECT_EQ(c.powerOffDelay, 255);
    EXPECT_EQ(c.out1OnDelay, 11);
    EXPECT_EQ(c.out2OnDelay, 12);
    EXPECT_EQ(c.out1OffDelay, 13);
    EXPECT_EQ(c.out2OffDelay, 14);
    EXPECT_EQ(c.out1Manual, 1);
    EXPECT_EQ(c.out2Manual, 0);
    EXPECT_EQ(c.out1Drive, 1);
    EXPECT_EQ(c.out2Drive, 0);
    EXPECT_EQ(c.out1ACPIEnable, 0);
    EXPECT_EQ(c.out2ACPIEnable, 1);
    EXPECT_EQ(c.powerIn1Enable, 0);
    EXPECT_EQ(c.powerIn2Enable, 1);
    EXPECT_EQ(c.acpiPulseWidth1, 7);
    EXPECT_EQ(c.acpiPulseWidth2, 9);
    EXPECT_EQ(c.wdtEnable, 1);
    EXPECT_EQ(c.out1In1Enable, 1);
    EXPECT_EQ(c.out1In2Enable, 0);
    EXPECT_EQ(c.out2In1Enable, 1);
    EXPECT_EQ(c.out2In2Enable, 0);
    EXPECT_EQ(c.shutdownAction, 3);
    const DeviceStatus &s = loaded.status;
    EXPECT_EQ(s.out1State, 1);   // manual drive on
    EXPECT_EQ(s.out2State, 0);   // follows input 1, which is idle
    EXPECT_EQ(s.in1State, 0);
    EXPECT_EQ(s.in2State, 1);
    EXPECT_EQ(s.out2In1Enable, 1);
    EXPECT_EQ(s.powerIn2Enable, 1);
}

TEST_F(SettingsOnDevice, LoadThatFailsAtInStateHandsNothingOverButKeepsTheGlobalStatus)
{
    SimulatedDevices devices;
    devices.sim().setReg(1, kGlobalStatus, 0x0A);
    appState().lastGlobalStatus = -7;
    {
        SilenceAfter silence(devices.sim(), 1, 11);
        const auto error = expectError(loading(devices.address(1)), 3, "Error: Get In State");
        EXPECT_TRUE(error && error->fromDevice());
    }
    EXPECT_EQ(appState().lastGlobalStatus, 0x0A);
}

TEST_F(SettingsOnDevice, SaveWritesFourteenRegistersInOrderToTheGivenDevice)
{
    SimulatedDevices devices(2);
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(2, kWdtEnable, 1);

    runTask(saveSettings(devices.address(2), distinctConfig()));

    EXPECT_EQ(sim.requestCount(1), 0u);
    const std::vector<std::pair<int, int>> expected{
        {9, 21}, {10, 22},   {5, 4 + 32}, {8, 2},  {11, 1}, {13, 23}, {14, 24},
        {15, 0}, {7, 2 + 4}, {16, 4},     {1, 25}, {3, 26}, {2, 27},  {4, 28}};
    EXPECT_EQ(writesOf(sim.requests(2)), expected);
    EXPECT_EQ(registersOf(sim.requests(2), kRead).size(), 0u);
    EXPECT_EQ(sim.reg(2, kWdtEnable), 0);
    EXPECT_EQ(sim.reg(2, kShutdownAction), 4);
}

TEST_F(SettingsOnDevice, SaveThatFailsAtShutdownActionKeepsTheFirstNineWrites)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    int before[17];
    for (int reg = 0; reg < 17; ++reg)
        before[reg] = sim.reg(1, reg);
    const DeviceConfig config = distinctConfig();
    {
        SilenceAfter silence(sim, 1, 9);
        expectError(saveSettings(devices.address(1), config), 3, "Error: Set Shutdown Action");
    }
    EXPECT_EQ(sim.reg(1, kPowerOnDelay), 21);
    EXPECT_EQ(sim.reg(1, kPowerOffDelay), 22);
    EXPECT_EQ(sim.reg(1, kOutAcpiEnable), 2);
    EXPECT_EQ(sim.reg(1, kPowerInEnable), 1);
    EXPECT_EQ(sim.reg(1, kAcpiPulseWidth1), 23);
    EXPECT_EQ(sim.reg(1, kAcpiPulseWidth2), 24);
    EXPECT_EQ(sim.reg(1, kWdtEnable), 0);
    EXPECT_EQ(sim.reg(1, kOutInEnable), 6);
    for (int reg : {16, 1, 3, 2, 4})
        EXPECT_EQ(sim.reg(1, reg), before[reg]) << "register " << reg;
}

TEST_F(SettingsOnDevice, WriteOutStateWritesBothOutputsInOneRequest)
{
    SimulatedDevices devices;
    runTask(writeOutState(devices.address(1), 0, 1, 0, 1));
    EXPECT_EQ(writesOf(devices.sim().requests(1)), (std::vector<std::pair<int, int>>{{5, 0x28}}));
    EXPECT_EQ(devices.sim().reg(1, kOutState) & 0x3C, 0x28);
}

TEST_F(SettingsOnDevice, LoadStatusReadsFourRegistersOfTheGivenDevice)
{
    SimulatedDevices devices(2);
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(2, kOutInEnable, 0x04);   // output 2 follows input 1
    sim.setReg(2, kPowerInEnable, 0x01);
    sim.setInput(2, 1, true);

    const DeviceStatus s = runTask(loadStatus(devices.address(2)));

    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_EQ(registersOf(sim.requests(2), kRead), (std::vector<int>{5, 11, 7, 12}));
    EXPECT_EQ(s.in1State, 1);
    EXPECT_EQ(s.in2State, 0);
    EXPECT_EQ(s.out1State, 0);
    EXPECT_EQ(s.out2State, 1);
    EXPECT_EQ(s.out2In1Enable, 1);
    EXPECT_EQ(s.powerIn1Enable, 1);
    const StatusLamps lamps = indicatorLamps(s);
    EXPECT_EQ(lamps.in1, LampState::Triggered);
    EXPECT_EQ(lamps.out2, LampState::Triggered);
    EXPECT_EQ(lamps.in2, LampState::Disabled);
}

TEST_F(SettingsOnDevice, AFailedDiscoveryStopsEveryOperationBeforeAnyDeviceCall)
{
    SimulatedDevices devices;
    appState().discoveryFailed = true;
    const std::string address = devices.address(1);
    const std::string load = "Cannot Load Settings - Device Discovery Failed.";
    const std::string save = "Cannot Save Settings - Device Discovery Failed.";

    for (const auto &error : {expectError(loading(address), 1, load),
                              expectError(loadingStatus(address), 1, load),
                              expectError(saveSettings(address, distinctConfig()), 1, save),
                              expectError(writeOutState(address, 1, 1, 1, 1), 1, save)})
        EXPECT_TRUE(error && !error->fromDevice());

    EXPECT_EQ(devices.sim().requestCount(1), 0u);
}
