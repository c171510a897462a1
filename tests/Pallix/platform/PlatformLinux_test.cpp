// The Linux platform's helpers and the command line.
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "PlatformLinux.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Files.h"
#include "app/LocalNetworks.h"
#include "app/Options.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <net/if.h>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

TEST(KernelRelease, MajorAndMinorNumbers)
{
    EXPECT_EQ(parseKernelRelease("6.1.0-13-amd64").major, 6);
    EXPECT_EQ(parseKernelRelease("6.1.0-13-amd64").minor, 1);
    EXPECT_EQ(parseKernelRelease("5.15rc2").minor, 15);
    EXPECT_EQ(parseKernelRelease("").major, 0);
}

const std::string desktop1("HOME=/root\0DISPLAY=:1\0", 22);
const std::string onDesktop1 = desktopOf(desktop1);

void writeText(const std::string &path, const std::string &text)
{
    std::ofstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    file << text;
}

// A /proc of the test's own making; a process without environment has
// none it may read.
class ProcTree {
public:
    void process(const std::string &pid, const std::string &exeTarget, const std::string &comm = {},
                 const std::optional<std::string> &environment = desktop1)
    {
        const std::string folder = path() + "/" + pid;
        fs::create_directories(folder);
        if (environment) writeText(folder + "/environ", *environment);
        if (!exeTarget.empty()) fs::create_symlink(exeTarget, folder + "/exe");
        if (!comm.empty()) writeText(folder + "/comm", comm + "\n");
    }
    std::string path() const { return folder.path() + "proc"; }
    TestAppFolder folder;
};

TEST(RunningCopies, CountsExecutablesByNameIgnoringCase)
{
    ProcTree proc;
    proc.process("10", "/opt/app/Pallix");
    proc.process("11", "/home/u/PALLIX");
    proc.process("12", "/usr/bin/pallix-sim");
    proc.process("13", "", "pallix");   // exe link not readable: its name counts
    proc.process("14", "/usr/bin/bash", "Pallix");
    proc.process("self", "/opt/app/Pallix");   // not a process number
    EXPECT_EQ(countProcesses(proc.path(), "Pallix", onDesktop1), 3);
    EXPECT_EQ(countProcesses(proc.path(), "bash", onDesktop1), 1);
    EXPECT_EQ(countProcesses(proc.path() + "/none", "Pallix", onDesktop1), 0);
}

TEST(RunningCopies, CopiesOnOtherDesktopsDoNotCount)
{
    ProcTree proc;
    proc.process("20", "/opt/app/Pallix");
    proc.process("21", "/opt/app/Pallix", {}, std::string("DISPLAY=:2\0", 11));
    proc.process("22", "/opt/app/Pallix", {}, std::string("WAYLAND_DISPLAY=wayland-0\0", 26));
    proc.process("23", "/opt/app/Pallix", {}, std::nullopt);   // environment unreadable
    EXPECT_EQ(countProcesses(proc.path(), "Pallix", onDesktop1), 1);
    EXPECT_EQ(desktopOf(std::string("DISPLAY=:1\0", 11)), onDesktop1);
}

TEST(RunningCopies, ThisProcessIsFoundUnderTheRealProc)
{
    std::string me = fs::read_symlink("/proc/self/exe").filename().string();
    std::transform(me.begin(), me.end(), me.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    const auto own = readFile("/proc/self/environ");
    ASSERT_TRUE(own);
    EXPECT_GE(countProcesses("/proc", me, desktopOf(*own)), 1);
}

TEST(CommandLine, LocalAddressesRepeatAndDryRunIsAFlag)
{
    AppState state;
    applyOptions(parseControlCenterOptions(
                     {"--local-address", "10.0.0.5", "--local-address=127.0.0.1", "--dry-run"}),
                 state);
    EXPECT_EQ(state.localAddressOverride, (Lines{"10.0.0.5", "127.0.0.1"}));
    EXPECT_TRUE(state.dryRun);

    AppState plain;
    applyOptions(parseControlCenterOptions({}), plain);
    EXPECT_TRUE(plain.localAddressOverride.empty());
    EXPECT_FALSE(plain.dryRun);
}

TEST(CommandLine, BadOptionsAreRefusedByName)
{
    for (const Lines &bad : {Lines{"--local-address", "localhost"}, Lines{"--local-address"},
                             Lines{"--dry-run=yes"}, Lines{"--frobnicate"}, Lines{"stray"}}) {
        try {
            parseControlCenterOptions(bad);
            ADD_FAILURE() << bad[0] << " accepted";
        } catch (const OptionError &error) {
            EXPECT_NE(std::string(error.what()).find(bad[0].substr(0, 7)), std::string::npos)
                << error.what();
        }
    }
}

TEST(CommandLine, LocalAddressesMustBeDottedIPv4)
{
    EXPECT_TRUE(isIPv4Address("127.0.0.1"));
    EXPECT_TRUE(isIPv4Address("10.0.0.5"));
    EXPECT_FALSE(isIPv4Address("localhost"));
    EXPECT_FALSE(isIPv4Address("10.0.0"));
    EXPECT_FALSE(isIPv4Address("10.0.0.256"));
    EXPECT_FALSE(isIPv4Address(""));
}

TEST(CommandLine, AppFolderEndsInASeparator)
{
    EXPECT_EQ(appFolder("/opt/pallix"), std::string("/opt/pallix/"));
    EXPECT_EQ(appFolder("/opt/pallix/"), std::string("/opt/pallix/"));
}

TEST(DiscoveryNetworks, OnlyRunningBroadcastInterfacesCountUnlessNamed)
{
    FakePlatform platform;
    platform.networks = {{"192.168.1.20", "192.168.1.255", "eth0", true},
                         {"172.17.0.1", "172.17.255.255", "docker0", false},
                         {"10.1.1.1", "", "wlan0", true}};
    appState().localAddressOverride.clear();
    EXPECT_EQ(localAddresses(), (std::vector<std::string>{"192.168.1.20", "10.1.1.1"}));
    std::vector<std::string> targets;
    for (const LocalNetwork &network : discoveryNetworks())
        targets.push_back(discoveryTarget(network));
    EXPECT_EQ(targets,
              (std::vector<std::string>{"192.168.1.255", "10.1.1.255"}));   // /24 only when none is given

    // Named addresses count as they are, with what the system knows of them.
    appState().localAddressOverride = {"172.17.0.1", "127.0.0.1"};
    const std::vector<LocalNetwork> named = discoveryNetworks();
    ASSERT_EQ(named.size(), 2u);
    EXPECT_EQ(discoveryTarget(named[0]), std::string("172.17.255.255"));
    EXPECT_EQ(discoveryTarget(named[1]), std::string("127.0.0.255"));
    appState().localAddressOverride.clear();
}

TEST(DiscoveryNetworks, UsableInterfacesAreUpRunningAndNoBridges)
{
    const unsigned upRunning = IFF_UP | IFF_RUNNING | IFF_BROADCAST;
    EXPECT_TRUE(usableInterface("eth0", upRunning));
    EXPECT_FALSE(usableInterface("eth0", IFF_UP | IFF_BROADCAST));   // no carrier
    EXPECT_FALSE(usableInterface("lo", upRunning | IFF_LOOPBACK));
    EXPECT_FALSE(usableInterface("tun0", IFF_UP | IFF_RUNNING | IFF_POINTOPOINT));
    for (const char *bridge : {"docker0", "br-1a2b3c", "virbr0", "veth12ab"})
        EXPECT_FALSE(usableInterface(bridge, upRunning)) << bridge;
}

// In the test's own network namespace: interfaces made for it, read back
// through the real platform with their own broadcast addresses.
TEST(DiscoveryNetworks, TheSystemsBroadcastAddressIsUsed)
{
    const auto ip = [](const std::string &args) {
        return std::system(("ip " + args + " 2>/dev/null").c_str()) == 0;
    };
    // A veth end has carrier only while its peer is up.
    const auto link = [&](const std::string &name, const std::string &peer,
                          const std::string &address, bool peerUp) {
        ASSERT_TRUE(ip("link add " + name + " type veth peer name " + peer));
        ASSERT_TRUE(ip("addr add " + address + " brd + dev " + name));
        ASSERT_TRUE(ip("link set " + name + " up"));
        if (peerUp) {
            ASSERT_TRUE(ip("link set " + peer + " up"));
        }
    };
    if (!ip("link add probe0 type veth peer name probe1"))
        GTEST_SKIP() << "cannot add interfaces here";
    link("lan0", "lan0peer", "10.9.0.5/16", true);
    link("docker0", "dockerpeer", "172.17.0.1/16", true);
    link("lan1", "lan1peer", "10.10.0.5/24", false);   // no carrier

    std::vector<LocalNetwork> usable;
    for (const LocalNetwork &network : LinuxPlatform().localNetworks())
        if (network.usable) usable.push_back(network);
    ASSERT_EQ(usable.size(), 1u);
    EXPECT_EQ(usable[0].address, std::string("10.9.0.5"));
    EXPECT_EQ(usable[0].broadcast, std::string("10.9.255.255"));
    EXPECT_EQ(usable[0].interfaceName, std::string("lan0"));
}

TEST(CommandLineText, ProgramAndArgumentsJoinedByBlanks)
{
    EXPECT_EQ((CommandLine{"systemctl", {"poweroff"}}).text(),
              std::string("systemctl poweroff"));
    EXPECT_EQ((CommandLine{"true", {}}).text(), std::string("true"));
}

}   // namespace

namespace {

// The updater and the power commands start without a shell and without
// waiting; a program that cannot start says so.
TEST(StartDetached, StartsAProgramWithItsArgumentsAndReportsOneThatCannotStart)
{
    TestAppFolder folder;
    const std::string marker = folder.path() + "started";
    ASSERT_TRUE(startDetached({"touch", {marker}}));
    EXPECT_TRUE(waitUntil([&] { return fileExists(marker); }, 5000));
    EXPECT_FALSE(startDetached({folder.path() + "no-such-program", {}}));
}

}   // namespace
