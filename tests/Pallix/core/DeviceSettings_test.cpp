// The settings model against the simulated device: value lists, encodings,
// lamp rule, and the exact reads and writes of each operation.
#include "ConfigTestSupport.h"
#include "DeviceSettings.h"
#include "NrErrors.h"

#include <gtest/gtest.h>

using configtest::kRead;
using configtest::registersOf;
using configtest::SilenceAfter;
using configtest::SimulatedDevices;
using configtest::writesOf;

namespace {

const std::vector<int> kLoadOrder{0, 9, 10, 5, 8, 11, 13, 14, 15, 7, 16, 12, 1, 3, 2, 4};
const std::vector<int> kSaveOrder{9, 10, 5, 8, 11, 13, 14, 15, 7, 16, 1, 3, 2, 4};

// Every field different, so a value in the wrong place shows.
DeviceConfig distinctConfig()
{
    DeviceConfig c;
    c.PowerOnDelay = 21;
    c.PowerOffDelay = 22;
    c.Out1Manual = 1;
    c.Out2Manual = 0;
    c.Out1Drive = 0;
    c.Out2Drive = 1;
    c.Out1ACPIEnable = 0;
    c.Out2ACPIEnable = 1;
    c.PowerIn1Enable = 1;
    c.PowerIn2Enable = 0;
    c.ACPIPulseWidth1 = 23;
    c.ACPIPulseWidth2 = 24;
    c.WDTEnable = 0;
    c.Out1In1Enable = 0;
    c.Out1In2Enable = 1;
    c.Out2In1Enable = 1;
    c.Out2In2Enable = 0;
    c.ShutdownAction = 4;
    c.Out1OnDelay = 25;
    c.Out1OffDelay = 26;
    c.Out2OnDelay = 27;
    c.Out2OffDelay = 28;
    return c;
}

void expectError(const std::function<void()> &operation, int number, const QString &text)
{
    try {
        operation();
        ADD_FAILURE() << "no error, expected " << text.toStdString();
    } catch (const NrError &error) {
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.description(), text);
    }
}

}  // namespace

TEST(SettingsLists, DelayStepsCountHalfSecondsFromZeroTo127AndAHalf)
{
    const QStringList &steps = DelaySteps();
    ASSERT_EQ(steps.size(), 256);
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
    EXPECT_EQ(ShutdownActionNames(), (QStringList{"Shutdown", "Restart", "Hibernate/Sleep",
                                                   "Stand By", "Log Out", "No Action"}));
}

TEST(SettingsEncodings, ActionCodesBeyondTheListShowNoAction)
{
    EXPECT_EQ(ShutdownActionEntry(0), 0);
    EXPECT_EQ(ShutdownActionEntry(5), 5);
    EXPECT_EQ(ShutdownActionEntry(6), 5);
    EXPECT_EQ(ShutdownActionEntry(255), 5);
}

TEST(SettingsEncodings, EnablesTickOnAnyValueDriveAndManualOnlyOnOne)
{
    EXPECT_FALSE(EnableTicked(0));
    EXPECT_TRUE(EnableTicked(1));
    EXPECT_TRUE(EnableTicked(2));
    EXPECT_TRUE(DriveTicked(1));
    EXPECT_FALSE(DriveTicked(2));
    EXPECT_TRUE(ManualChosen(1));
    EXPECT_FALSE(ManualChosen(2));
    EXPECT_FALSE(ManualChosen(0));
    EXPECT_EQ(TickValue(true), 1);
    EXPECT_EQ(TickValue(false), 0);
}

TEST(IndicatorLamps, EachLampIsArmedOnlyByItsOwnEnables)
{
    DeviceStatus s;
    EXPECT_EQ(IndicatorLamps(s).out1, LampState::Disabled);

    s.Out2In1Enable = 1;   // arms output 2 and input 1, nothing else
    StatusLamps lamps = IndicatorLamps(s);
    EXPECT_EQ(lamps.out1, LampState::Disabled);
    EXPECT_EQ(lamps.out2, LampState::Armed);
    EXPECT_EQ(lamps.in1, LampState::Armed);
    EXPECT_EQ(lamps.in2, LampState::Disabled);

    s = {};
    s.PowerIn2Enable = 1;   // only input 2
    lamps = IndicatorLamps(s);
    EXPECT_EQ(lamps.out1, LampState::Disabled);
    EXPECT_EQ(lamps.out2, LampState::Disabled);
    EXPECT_EQ(lamps.in1, LampState::Disabled);
    EXPECT_EQ(lamps.in2, LampState::Armed);

    s = {};
    s.Out1In2Enable = 1;
    lamps = IndicatorLamps(s);
    EXPECT_EQ(lamps.out1, LampState::Armed);
    EXPECT_EQ(lamps.in2, LampState::Armed);
    EXPECT_EQ(lamps.in1, LampState::Disabled);
}

TEST(IndicatorLamps, TriggeredOnlyByAStateOfExactlyOne)
{
    DeviceStatus s;
    s.Out1State = 1;
    s.In2State = 1;
    s.Out2State = 2;
    s.Out1In1Enable = 1;
    const StatusLamps lamps = IndicatorLamps(s);
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
    const int values[][2] = {{0, 0x0C}, {1, 11},  {2, 12},  {3, 13},   {4, 14},
                             {5, 0x14}, {7, 0x05}, {8, 0x02}, {9, 200}, {10, 255},
                             {11, 0x02}, {12, 0x02}, {13, 7}, {14, 9}, {15, 1}, {16, 3}};
    for (const auto &[reg, value] : values) sim.setReg(1, reg, value);

    const LoadedSettings loaded = LoadSettings(devices.address(1));

    EXPECT_EQ(registersOf(sim.requests(1), kRead), kLoadOrder);
    EXPECT_EQ(writesOf(sim.requests(1)).size(), 0u);
    EXPECT_EQ(loaded.globalStatus, 0x0C);
    EXPECT_EQ(appState().LastGlobalStatus, 0x0C);
    const DeviceConfig &c = loaded.config;
    EXPECT_EQ(c.PowerOnDelay, 200);
    EXPECT_EQ(c.PowerOffDelay, 255);
    EXPECT_EQ(c.Out1OnDelay, 11);
    EXPECT_EQ(c.Out2OnDelay, 12);
    EXPECT_EQ(c.Out1OffDelay, 13);
    EXPECT_EQ(c.Out2OffDelay, 14);
    EXPECT_EQ(c.Out1Manual, 1);
    EXPECT_EQ(c.Out2Manual, 0);
    EXPECT_EQ(c.Out1Drive, 1);
    EXPECT_EQ(c.Out2Drive, 0);
    EXPECT_EQ(c.Out1ACPIEnable, 0);
    EXPECT_EQ(c.Out2ACPIEnable, 1);
    EXPECT_EQ(c.PowerIn1Enable, 0);
    EXPECT_EQ(c.PowerIn2Enable, 1);
    EXPECT_EQ(c.ACPIPulseWidth1, 7);
    EXPECT_EQ(c.ACPIPulseWidth2, 9);
    EXPECT_EQ(c.WDTEnable, 1);
    EXPECT_EQ(c.Out1In1Enable, 1);
    EXPECT_EQ(c.Out1In2Enable, 0);
    EXPECT_EQ(c.Out2In1Enable, 1);
    EXPECT_EQ(c.Out2In2Enable, 0);
    EXPECT_EQ(c.ShutdownAction, 3);
    const DeviceStatus &s = loaded.status;
    EXPECT_EQ(s.Out1State, 1);   // manual drive on
    EXPECT_EQ(s.Out2State, 0);   // follows input 1, which is idle
    EXPECT_EQ(s.In1State, 0);
    EXPECT_EQ(s.In2State, 1);
    EXPECT_EQ(s.Out2In1Enable, 1);
    EXPECT_EQ(s.PowerIn2Enable, 1);
}

TEST_F(SettingsOnDevice, LoadThatFailsAtInStateHandsNothingOverButKeepsTheGlobalStatus)
{
    SimulatedDevices devices;
    devices.sim().setReg(1, 0, 0x0A);
    appState().LastGlobalStatus = -7;
    {
        SilenceAfter silence(devices.sim(), 1, 11);
        expectError([&] { LoadSettings(devices.address(1)); }, 3, "Error: Get In State");
    }
    EXPECT_TRUE(appState().DeviceError);
    EXPECT_EQ(appState().LastGlobalStatus, 0x0A);
}

TEST_F(SettingsOnDevice, SaveWritesFourteenRegistersInOrderToTheGivenDevice)
{
    SimulatedDevices devices(2);
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(2, 15, 1);

    SaveSettings(devices.address(2), distinctConfig());

    EXPECT_EQ(sim.requestCount(1), 0u);
    const std::vector<std::pair<int, int>> expected{
        {9, 21},  {10, 22}, {5, 4 + 32}, {8, 2},  {11, 1},  {13, 23}, {14, 24},
        {15, 0},  {7, 2 + 4}, {16, 4},   {1, 25}, {3, 26},  {2, 27},  {4, 28}};
    EXPECT_EQ(writesOf(sim.requests(2)), expected);
    EXPECT_EQ(registersOf(sim.requests(2), kRead).size(), 0u);
    EXPECT_EQ(sim.reg(2, 15), 0);
    EXPECT_EQ(sim.reg(2, 16), 4);
}

TEST_F(SettingsOnDevice, SaveThatFailsAtShutdownActionKeepsTheFirstNineWrites)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    int before[17];
    for (int reg = 0; reg < 17; ++reg) before[reg] = sim.reg(1, reg);
    const DeviceConfig config = distinctConfig();
    {
        SilenceAfter silence(sim, 1, 9);
        expectError([&] { SaveSettings(devices.address(1), config); }, 3,
                    "Error: Set Shutdown Action");
    }
    EXPECT_EQ(sim.reg(1, 9), 21);
    EXPECT_EQ(sim.reg(1, 10), 22);
    EXPECT_EQ(sim.reg(1, 8), 2);
    EXPECT_EQ(sim.reg(1, 11), 1);
    EXPECT_EQ(sim.reg(1, 13), 23);
    EXPECT_EQ(sim.reg(1, 14), 24);
    EXPECT_EQ(sim.reg(1, 15), 0);
    EXPECT_EQ(sim.reg(1, 7), 6);
    for (int reg : {16, 1, 3, 2, 4}) EXPECT_EQ(sim.reg(1, reg), before[reg]) << "register " << reg;
}

TEST_F(SettingsOnDevice, WriteOutStateWritesBothOutputsInOneRequest)
{
    SimulatedDevices devices;
    WriteOutState(devices.address(1), 0, 1, 0, 1);
    EXPECT_EQ(writesOf(devices.sim().requests(1)), (std::vector<std::pair<int, int>>{{5, 0x28}}));
    EXPECT_EQ(devices.sim().reg(1, 5) & 0x3C, 0x28);
}

TEST_F(SettingsOnDevice, LoadStatusReadsFourRegistersOfTheGivenDevice)
{
    SimulatedDevices devices(2);
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(2, 7, 0x04);   // output 2 follows input 1
    sim.setReg(2, 11, 0x01);
    sim.setInput(2, 1, true);

    const DeviceStatus s = LoadStatus(devices.address(2));

    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_EQ(registersOf(sim.requests(2), kRead), (std::vector<int>{5, 11, 7, 12}));
    EXPECT_EQ(s.In1State, 1);
    EXPECT_EQ(s.In2State, 0);
    EXPECT_EQ(s.Out1State, 0);
    EXPECT_EQ(s.Out2State, 1);
    EXPECT_EQ(s.Out2In1Enable, 1);
    EXPECT_EQ(s.PowerIn1Enable, 1);
    const StatusLamps lamps = IndicatorLamps(s);
    EXPECT_EQ(lamps.in1, LampState::Triggered);
    EXPECT_EQ(lamps.out2, LampState::Triggered);
    EXPECT_EQ(lamps.in2, LampState::Disabled);
}

TEST_F(SettingsOnDevice, AFailedDiscoveryStopsEveryOperationBeforeAnyDeviceCall)
{
    SimulatedDevices devices;
    appState().DiscoveryFailed = true;
    const QString address = devices.address(1);
    const QString load = "Cannot Load Settings - Device Discovery Failed.";
    const QString save = "Cannot Save Settings - Device Discovery Failed.";

    expectError([&] { LoadSettings(address); }, 1, load);
    expectError([&] { LoadStatus(address); }, 1, load);
    expectError([&] { SaveSettings(address, distinctConfig()); }, 1, save);
    expectError([&] { WriteOutState(address, 1, 1, 1, 1); }, 1, save);

    EXPECT_EQ(devices.sim().requestCount(1), 0u);
    EXPECT_FALSE(appState().DeviceError);
}
