// The updater program: its command line, and whole runs against the
// simulated device.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "FirmwareTestSupport.h"
#include "Frames.h"
#include "UdpClient.h"
#include "UpdaterOptions.h"

extern char **environ;

using namespace fwtest;

namespace {

TEST(UpdaterOptions, RefusesAnythingButADottedIPv4Address) {
    for (const char *address : {"192.168.1", "192.168.1.256", "0x7f.0.0.1", "pallix.local", "::1", "", " 10.0.0.1"}) {
        const UpdaterOptions options = parseUpdaterOptions({address, "image.hex"});
        EXPECT_EQ(options.action, UpdaterOptions::Action::Refuse) << address;
        EXPECT_NE(options.error.find("not a dotted IPv4 address"), std::string::npos) << address;
    }
}

struct Outcome {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

// Starts the updater without a shell and waits for it.
Outcome runUpdater(const std::vector<std::string> &arguments) {
    const TempFile log("");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.path().c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<std::string> all{NRFWUPDATE_PROGRAM};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);

    Outcome run;
    pid_t pid = 0;
    if (posix_spawn(&pid, NRFWUPDATE_PROGRAM, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ostringstream text;
    text << std::ifstream(log.path()).rdbuf();
    run.output = text.str();
    return run;
}

class UpdaterRun : public ::testing::Test {
protected:
    void TearDown() override {
        if (sim_) sim_->stop();
    }
    // Silent after its restart for longer than the updater's first wait.
    pallixsim::Simulator &startDevice() {
        pallixsim::SimOptions options;
        options.firmware = "01.02";
        options.restartMs = 6000;
        sim_ = std::make_unique<pallixsim::Simulator>(options);
        sim_->start();
        return *sim_;
    }

private:
    std::unique_ptr<pallixsim::Simulator> sim_;
};

TEST_F(UpdaterRun, HelpDescribesTheCommandLine) {
    const Outcome run = runUpdater({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("Usage: nrfwupdate <device address> <image path>"), std::string::npos);
    EXPECT_NE(run.output.find("  10  left program mode, but the Pallix answers no register read"), std::string::npos);
}

TEST_F(UpdaterRun, BadCommandLinesAreRefusedBeforeAnyTraffic) {
    pallixsim::Simulator &sim = startDevice();
    for (const std::vector<std::string> &arguments :
         {std::vector<std::string>{}, {"127.0.0.2"}, {"127.0.2", PALLIX_CARRIED_IMAGE},
          {"localhost", PALLIX_CARRIED_IMAGE}}) {
        const Outcome run = runUpdater(arguments);
        EXPECT_EQ(run.exitCode, 2) << run.output;
        EXPECT_NE(run.output.find("Usage:"), std::string::npos);
    }
    EXPECT_NE(runUpdater({"127.0.2", "x"}).output.find("\"127.0.2\" is not a dotted IPv4 address"),
              std::string::npos);
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(UpdaterRun, NoDeviceAtTheAddressExitsWithoutProgramming) {
    pallixsim::Simulator &sim = startDevice();
    const Outcome run = runUpdater({"127.0.0.9", PALLIX_CARRIED_IMAGE});
    EXPECT_EQ(run.exitCode, 3) << run.output;
    EXPECT_NE(run.output.find("No Pallix answered at 127.0.0.9. Nothing was written to it."), std::string::npos)
        << run.output;
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(UpdaterRun, ADeviceWaitingInProgramModeIsReleased) {
    pallixsim::Simulator &sim = startDevice();
    pallixtest::UdpClient client;
    ASSERT_TRUE(client.exchange("127.0.0.2", pallixtest::controlRequest(1)));  // enter program mode
    const Outcome run = runUpdater({"127.0.0.2", PALLIX_CARRIED_IMAGE});
    EXPECT_EQ(run.exitCode, 3) << run.output;
    EXPECT_NE(run.output.find("has been released"), std::string::npos) << run.output;
    EXPECT_FALSE(sim.programMode(1));
    EXPECT_EQ(sim.firmware(1), "01.02") << "nothing was erased, the old firmware runs";
}

TEST_F(UpdaterRun, AFailedUpdateExitsWithItsOwnStatusAndNeverWithSuccess) {
    const std::vector<std::pair<const char *, int>> faults{{"offline-after 10", 6}, {"bad-flash 0x1A000", 10}};
    for (const auto &[fault, exitCode] : faults) {
        pallixsim::Simulator &sim = startDevice();
        sim.command(fault);
        const Outcome run = runUpdater({"127.0.0.2", PALLIX_CARRIED_IMAGE});
        EXPECT_EQ(run.exitCode, exitCode) << fault << "\n" << run.output;
        EXPECT_NE(run.output.find("Pallix Firmware Update: Firmware update failed: "), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("complete"), std::string::npos) << run.output;
    }
}

TEST_F(UpdaterRun, BrokenImageIsRefusedAfterTheProbeAlone) {
    pallixsim::Simulator &sim = startDevice();
    TempFile image(imageOf({0x0, 0x40}) + recordText(0x80).substr(0, 100) + "\n");
    const Outcome run = runUpdater({"127.0.0.2", image.path()});
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("line 4"), std::string::npos) << run.output;
    ASSERT_EQ(sim.requestCount(1), 1u);
    EXPECT_EQ(sim.requests(1)[0].opcode, 0x63);
}

TEST_F(UpdaterRun, ReprogramsTheDeviceWithTheCarriedImage) {
    pallixsim::Simulator &sim = startDevice();
    const Outcome run = runUpdater({"127.0.0.2", PALLIX_CARRIED_IMAGE});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Firmware update complete!"), std::string::npos);
    EXPECT_NE(run.output.find("Pallix Firmware Update: Firmware Update Complete!"), std::string::npos);
    EXPECT_EQ(sim.firmware(1), "01.03");
    EXPECT_EQ(sim.flashRefusals(1), 0);
}

}  // namespace
