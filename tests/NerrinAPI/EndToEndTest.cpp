// The pallix-sim program with three devices, driven through the shared
// library's exports only: a broadcast finds all three, and each answers a
// register write and read at its own address.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "LoadedLibrary.h"
#include "NerrinAPI.h"
#include "Records.h"

extern char **environ;

namespace {

// The simulator program as a child process, ended by its pid.
class SimulatorProcess {
public:
    explicit SimulatorProcess(int devices) {
        const std::string count = std::to_string(devices);
        char *const argv[] = {const_cast<char *>(PALLIX_SIM_PATH), const_cast<char *>("--devices"),
                              const_cast<char *>(count.c_str()), nullptr};
        int input[2];
        if (::pipe(input) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        if (posix_spawn(&pid_, PALLIX_SIM_PATH, &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        stdin_ = input[1];
    }
    ~SimulatorProcess() {
        if (stdin_ >= 0) ::close(stdin_);
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
};

TEST(NrEndToEnd, ThreeSimulatedDevicesAnswerBroadcastAndRegisters) {
    LoadedLibrary library(NERRINAPI_LIBRARY_PATH);
    ASSERT_TRUE(library.loaded()) << dlerror();
    const auto discovery = library.function<decltype(NrDiscovery)>("NrDiscovery");
    const auto discoveryCount = library.function<decltype(NrDiscoveryCount)>("NrDiscoveryCount");
    const auto getDevice = library.function<decltype(NrGetDevice)>("NrGetDevice");
    const auto setDevice = library.function<decltype(NrSetDevice)>("NrSetDevice");
    const auto setDelay =
        library.function<decltype(pallixSetPowerOnDelay)>("pallixSetPowerOnDelay");
    const auto getDelay =
        library.function<decltype(pallixGetPowerOnDelay)>("pallixGetPowerOnDelay");
    const auto byteLength = library.function<decltype(SysStringByteLen)>("SysStringByteLen");
    const auto freeString = library.function<decltype(SysFreeString)>("SysFreeString");
    ASSERT_TRUE(discovery && discoveryCount && getDevice && setDevice && setDelay && getDelay &&
                byteLength && freeString);
    const auto deviceText = [&](int slot) {
        BSTR text = getDevice(slot);
        std::string copy(text, byteLength(text));
        freeString(text);
        return copy;
    };

    SimulatorProcess sim(3);
    ASSERT_TRUE(sim.started());
    // The program needs a moment to bind; each empty discovery waits a second.
    for (int tries = 0; tries < 10 && discoveryCount() < 3; ++tries) discovery("127.0.0.255");
    ASSERT_EQ(discoveryCount(), 3);

    std::set<std::string> addresses;
    for (int slot = 0; slot < 3; ++slot) addresses.insert(fieldOf(deviceText(slot), 2));
    EXPECT_EQ(addresses, (std::set<std::string>{"127.0.0.2", "127.0.0.3", "127.0.0.4"}));

    int32_t delay = 20;
    for (const std::string &address : addresses) {
        setDevice(address.c_str());
        EXPECT_EQ(setDelay(delay++), 0) << address;
    }
    delay = 20;
    for (const std::string &address : addresses) {
        setDevice(address.c_str());
        int32_t read = -1;
        EXPECT_EQ(getDelay(&read), 0) << address;
        EXPECT_EQ(read, delay++) << address;
    }
}

}  // namespace
