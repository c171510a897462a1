// The Linux platform's helpers and the command line.
#include "AppState.h"
#include "CommandLineOptions.h"
#include "FakePlatform.h"
#include "NrDiscovery.h"
#include "PlatformLinux.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <net/if.h>

namespace {

TEST(KernelRelease, MajorAndMinorNumbers)
{
    EXPECT_EQ(parseKernelRelease("6.1.0-13-amd64").major, 6);
    EXPECT_EQ(parseKernelRelease("6.1.0-13-amd64").minor, 1);
    EXPECT_EQ(parseKernelRelease("5.15rc2").minor, 15);
    EXPECT_EQ(parseKernelRelease("").major, 0);
}

const QByteArray desktop1("HOME=/root\0DISPLAY=:1\0", 22);
const QString onDesktop1 = desktopOf(desktop1);

class ProcTree {
public:
    void process(const QString &pid, const QString &exeTarget, const QString &comm = {},
                 const QByteArray &environment = desktop1)
    {
        const QString folder = dir.path() + '/' + pid;
        QDir().mkpath(folder);
        if (!environment.isNull()) {
            QFile file(folder + QStringLiteral("/environ"));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(environment);
        }
        if (!exeTarget.isEmpty()) QFile::link(exeTarget, folder + QStringLiteral("/exe"));
        if (!comm.isEmpty()) {
            QFile file(folder + QStringLiteral("/comm"));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(comm.toUtf8() + '\n');
        }
    }
    QTemporaryDir dir;
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
    EXPECT_EQ(countProcesses(proc.dir.path(), "Pallix", onDesktop1), 3);
    EXPECT_EQ(countProcesses(proc.dir.path(), "bash", onDesktop1), 1);
    EXPECT_EQ(countProcesses(proc.dir.path() + "/none", "Pallix", onDesktop1), 0);
}

TEST(RunningCopies, CopiesOnOtherDesktopsDoNotCount)
{
    ProcTree proc;
    proc.process("20", "/opt/app/Pallix");
    proc.process("21", "/opt/app/Pallix", {}, QByteArray("DISPLAY=:2\0", 11));
    proc.process("22", "/opt/app/Pallix", {}, QByteArray("WAYLAND_DISPLAY=wayland-0\0", 26));
    proc.process("23", "/opt/app/Pallix", {}, QByteArray());   // environment unreadable
    EXPECT_EQ(countProcesses(proc.dir.path(), "Pallix", onDesktop1), 1);
    EXPECT_EQ(desktopOf(QByteArray("DISPLAY=:1\0", 11)), onDesktop1);
}

TEST(RunningCopies, ThisProcessIsFoundUnderTheRealProc)
{
    const QString me = QFileInfo(QFile::symLinkTarget("/proc/self/exe")).fileName();
    QFile own("/proc/self/environ");
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_GE(countProcesses("/proc", me.toUpper(), desktopOf(own.readAll())), 1);
}

TEST(CommandLine, LocalAddressesRepeatAndDryRunIsAFlag)
{
    AppState state;
    applyCommandLine(QStringList{"Pallix", "--local-address", "10.0.0.5",
                                 "--local-address=127.0.0.1", "--dry-run"},
                     state);
    EXPECT_EQ(state.localAddressOverride, (QStringList{"10.0.0.5", "127.0.0.1"}));
    EXPECT_TRUE(state.dryRun);

    AppState plain;
    applyCommandLine(QStringList{"Pallix"}, plain);
    EXPECT_TRUE(plain.localAddressOverride.isEmpty());
    EXPECT_FALSE(plain.dryRun);
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
    EXPECT_EQ(appFolder("/opt/pallix"), QStringLiteral("/opt/pallix/"));
    EXPECT_EQ(appFolder("/opt/pallix/"), QStringLiteral("/opt/pallix/"));
}

TEST(DiscoveryNetworks, OnlyRunningBroadcastInterfacesCountUnlessNamed)
{
    FakePlatform platform;
    platform.networks = {{"192.168.1.20", "192.168.1.255", "eth0", true},
                         {"172.17.0.1", "172.17.255.255", "docker0", false},
                         {"10.1.1.1", "", "wlan0", true}};
    appState().localAddressOverride.clear();
    EXPECT_EQ(localAddresses(), (QStringList{"192.168.1.20", "10.1.1.1"}));
    QStringList targets;
    for (const LocalNetwork &network : discoveryNetworks())
        targets << discoveryTarget(network);
    EXPECT_EQ(targets,
              (QStringList{"192.168.1.255", "10.1.1.255"}));   // /24 only when none is given

    // Named addresses count as they are, with what the system knows of them.
    appState().localAddressOverride = {"172.17.0.1", "127.0.0.1"};
    const QList<LocalNetwork> named = discoveryNetworks();
    ASSERT_EQ(named.size(), 2);
    EXPECT_EQ(discoveryTarget(named[0]), QStringLiteral("172.17.255.255"));
    EXPECT_EQ(discoveryTarget(named[1]), QStringLiteral("127.0.0.255"));
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
    const auto ip = [](const QString &args) {
        return QProcess::execute(QStringLiteral("ip"), args.split(' ')) == 0;
    };
    // A veth end has carrier only while its peer is up.
    const auto link = [&](const char *name, const char *peer, const char *address, bool peerUp) {
        ASSERT_TRUE(ip(QStringLiteral("link add %1 type veth peer name %2").arg(name, peer)));
        ASSERT_TRUE(ip(QStringLiteral("addr add %1 brd + dev %2").arg(address, name)));
        ASSERT_TRUE(ip(QStringLiteral("link set %1 up").arg(name)));
        if (peerUp) {
            ASSERT_TRUE(ip(QStringLiteral("link set %1 up").arg(peer)));
        }
    };
    if (!ip("link add probe0 type veth peer name probe1"))
        GTEST_SKIP() << "cannot add interfaces here";
    link("lan0", "lan0peer", "10.9.0.5/16", true);
    link("docker0", "dockerpeer", "172.17.0.1/16", true);
    link("lan1", "lan1peer", "10.10.0.5/24", false);   // no carrier

    QList<LocalNetwork> usable;
    for (const LocalNetwork &network : LinuxPlatform().localNetworks())
        if (network.usable) usable << network;
    ASSERT_EQ(usable.size(), 1);
    EXPECT_EQ(usable[0].address, QStringLiteral("10.9.0.5"));
    EXPECT_EQ(usable[0].broadcast, QStringLiteral("10.9.255.255"));
    EXPECT_EQ(usable[0].interfaceName, QStringLiteral("lan0"));
}

TEST(CommandLineText, ProgramAndArgumentsJoinedByBlanks)
{
    EXPECT_EQ((CommandLine{"systemctl", {"poweroff"}}).text(),
              QStringLiteral("systemctl poweroff"));
    EXPECT_EQ((CommandLine{"true", {}}).text(), QStringLiteral("true"));
}

}   // namespace
