#include <gtest/gtest.h>

#include "CommandLanguage.h"

using namespace pallixsim;

namespace {

class SimCommandLanguageTest : public ::testing::Test {
protected:
    std::string run(const std::string &line) { return commands.run(line, Clock::now()); }

    std::vector<Device> devices = [] {
        std::vector<Device> list;
        list.emplace_back("127.0.0.2", Device::Mac{2, 0x50, 0x4C, 0, 0, 1}, "01.03", std::chrono::seconds(3));
        list.emplace_back("127.0.0.3", Device::Mac{2, 0x50, 0x4C, 0, 0, 2}, "01.03", std::chrono::seconds(3));
        return list;
    }();
    CommandLanguage commands{devices};
};

}  // namespace

TEST_F(SimCommandLanguageTest, SetGetAndDumpAddressTheChosenDevice) {
    EXPECT_EQ(run("set 9 30"), "ok");
    EXPECT_EQ(run("set 9 0x1F 2"), "ok");
    EXPECT_EQ(run("get 9"), "30");
    EXPECT_EQ(run("get 9 2"), "31");
    EXPECT_EQ(run("dump 2"), "0=0 1=2 2=2 3=2 4=2 5=0 6=0 7=0 8=1 9=31 10=20 11=0 12=0 13=2 14=2 15=0 16=0");
}

TEST_F(SimCommandLanguageTest, EventsReachTheRegisters) {
    EXPECT_EQ(run("power-request 2"), "ok");
    EXPECT_EQ(devices[1].registers().value(kGlobalStatus), 0x01);
    EXPECT_EQ(devices[0].registers().value(kGlobalStatus), 0x00);
    EXPECT_EQ(run("input 2 on"), "ok");
    EXPECT_EQ(run("get 12"), "2");
    EXPECT_EQ(run("input 2 off"), "ok");
    EXPECT_EQ(run("get 12"), "0");
    run("set 10 99");
    EXPECT_EQ(run("power-lost"), "ok");
    EXPECT_EQ(run("get 0"), "192");
    EXPECT_EQ(run("get 10"), "20");
}

TEST_F(SimCommandLanguageTest, FaultsAreSetAndCleared) {
    EXPECT_EQ(run("stuck 13 0"), "ok");
    EXPECT_EQ(run("misread 14 9 7"), "ok");
    EXPECT_EQ(run("output-stuck 1"), "ok");
    devices[0].registers().write(kAcpiPulseWidth1, 5);
    devices[0].registers().write(kAcpiPulseWidth2, 9);
    EXPECT_EQ(devices[0].registers().read(kAcpiPulseWidth1), 0);
    EXPECT_EQ(devices[0].registers().read(kAcpiPulseWidth2), 7);
    EXPECT_EQ(run("faults-clear"), "ok");
    EXPECT_EQ(devices[0].registers().read(kAcpiPulseWidth1), 5);
}

TEST_F(SimCommandLanguageTest, ReportsFlashAndFirmwareState) {
    EXPECT_EQ(run("firmware 2"), "01.03");
    EXPECT_EQ(run("program-mode"), "0");
    EXPECT_EQ(run("flash-refusals"), "0");
    EXPECT_EQ(run("requests"), "0");
    const std::string record = run("flash 0xFBC0 2");
    ASSERT_EQ(record.size(), 128u);
    EXPECT_EQ(record.substr(0, 22), "02504C00000230312E3033");
    EXPECT_EQ(record.substr(22), std::string(106, 'F'));
}

TEST_F(SimCommandLanguageTest, BadCommandsSayWhy) {
    EXPECT_EQ(run("bogus"), "error: unknown command 'bogus' (try help)");
    EXPECT_EQ(run("get 17"), "error: register must be 0 to 16, not '17'");
    EXPECT_EQ(run("set 1 256"), "error: value must be 0 to 255, not '256'");
    EXPECT_EQ(run("get 1 3"), "error: device must be 1 to 2, not '3'");
    EXPECT_EQ(run("input 3 on"), "error: input must be 1 to 2, not '3'");
    EXPECT_EQ(run("input 1 maybe"), "error: state must be on or off, not 'maybe'");
    EXPECT_EQ(run("reply long"), "error: reply must be normal, zero or short, not 'long'");
    EXPECT_EQ(run("drop 101"), "error: percent must be 0 to 100, not '101'");
    EXPECT_EQ(run("misread 1 2"), "error: usage: misread <register> <written> <readback> [device]");
    EXPECT_EQ(run("offline -1"), "error: seconds must be 0 to 86400, not '-1'");
    EXPECT_EQ(run("flash 0x1FFC1"), "error: address must be 0 to 131008, not '0x1FFC1'");
    EXPECT_EQ(run(std::string(2000, 'x')).rfind("error: line longer", 0), 0u);
    EXPECT_EQ(run("   "), "");
    EXPECT_EQ(devices[0].registers().dump(), RegisterBank().dump()) << "a refused command changes nothing";
}

TEST_F(SimCommandLanguageTest, HelpListsEveryCommandAndQuitIsRemembered) {
    const std::string help = run("help");
    for (const char *name : {"power-request", "misread", "flash-refusals", "requests-clear", "quit"}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
    }
    EXPECT_FALSE(commands.quitRequested());
    EXPECT_EQ(run("quit"), "ok");
    EXPECT_TRUE(commands.quitRequested());
}
