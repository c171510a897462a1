// The Linux platform's helpers and the command line.
#include "AppState.h"
#include "CommandLineOptions.h"
#include "FakePlatform.h"
#include "NrDiscovery.h"
#include "PlatformLinux.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(KernelRelease, MajorAndMinorNumbers) {
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
                 const QByteArray &environment = desktop1) {
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

TEST(RunningCopies, CountsExecutablesByNameIgnoringCase) {
    ProcTree proc;
    proc.process("10", "/opt/app/Pallix");
    proc.process("11", "/home/u/PALLIX");
    proc.process("12", "/usr/bin/pallix-sim");
    proc.process("13", "", "pallix");          // exe link not readable: its name counts
    proc.process("14", "/usr/bin/bash", "Pallix");
    proc.process("self", "/opt/app/Pallix");   // not a process number
    EXPECT_EQ(countProcesses(proc.dir.path(), "Pallix", onDesktop1), 3);
    EXPECT_EQ(countProcesses(proc.dir.path(), "bash", onDesktop1), 1);
    EXPECT_EQ(countProcesses(proc.dir.path() + "/none", "Pallix", onDesktop1), 0);
}

TEST(RunningCopies, CopiesOnOtherDesktopsDoNotCount) {
    ProcTree proc;
    proc.process("20", "/opt/app/Pallix");
    proc.process("21", "/opt/app/Pallix", {}, QByteArray("DISPLAY=:2\0", 11));
    proc.process("22", "/opt/app/Pallix", {}, QByteArray("WAYLAND_DISPLAY=wayland-0\0", 26));
    proc.process("23", "/opt/app/Pallix", {}, QByteArray());   // environment unreadable
    EXPECT_EQ(countProcesses(proc.dir.path(), "Pallix", onDesktop1), 1);
    EXPECT_EQ(desktopOf(QByteArray("DISPLAY=:1\0", 11)), onDesktop1);
}

TEST(RunningCopies, ThisProcessIsFoundUnderTheRealProc) {
    const QString me = QFileInfo(QFile::symLinkTarget("/proc/self/exe")).fileName();
    QFile own("/proc/self/environ");
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_GE(countProcesses("/proc", me.toUpper(), desktopOf(own.readAll())), 1);
}

TEST(CommandLine, LocalAddressesRepeatAndDryRunIsAFlag) {
    AppState state;
    ApplyCommandLine(QStringList{"Pallix", "--local-address", "10.0.0.5", "--local-address=127.0.0.1",
                                 "--dry-run"},
                     state);
    EXPECT_EQ(state.LocalAddressOverride, (QStringList{"10.0.0.5", "127.0.0.1"}));
    EXPECT_TRUE(state.DryRun);

    AppState plain;
    ApplyCommandLine(QStringList{"Pallix"}, plain);
    EXPECT_TRUE(plain.LocalAddressOverride.isEmpty());
    EXPECT_FALSE(plain.DryRun);
}

TEST(CommandLine, LocalAddressesMustBeDottedIPv4) {
    EXPECT_TRUE(IsIPv4Address("127.0.0.1"));
    EXPECT_TRUE(IsIPv4Address("10.0.0.5"));
    EXPECT_FALSE(IsIPv4Address("localhost"));
    EXPECT_FALSE(IsIPv4Address("10.0.0"));
    EXPECT_FALSE(IsIPv4Address("10.0.0.256"));
    EXPECT_FALSE(IsIPv4Address(""));
}

TEST(CommandLine, AppFolderEndsInASeparator) {
    EXPECT_EQ(AppFolder("/opt/pallix"), QStringLiteral("/opt/pallix/"));
    EXPECT_EQ(AppFolder("/opt/pallix/"), QStringLiteral("/opt/pallix/"));
}

TEST(LocalAddressList, TheCommandLineReplacesThePlatformsList) {
    FakePlatform platform;
    platform.addresses = {"192.168.1.20", "", "10.1.1.1"};
    appState().LocalAddressOverride.clear();
    EXPECT_EQ(LocalAddresses(), (QStringList{"192.168.1.20", "10.1.1.1"}));
    appState().LocalAddressOverride = {"127.0.0.1"};
    EXPECT_EQ(LocalAddresses(), QStringList{"127.0.0.1"});
    appState().LocalAddressOverride.clear();
}

TEST(LocalAddressList, TheRealListLeavesLoopbackOut) {
    for (const QString &address : LinuxPlatform().localAddresses())
        EXPECT_FALSE(address.startsWith("127.")) << address.toStdString();
}

TEST(CommandLineText, ProgramAndArgumentsJoinedByBlanks) {
    EXPECT_EQ((CommandLine{"systemctl", {"poweroff"}}).text(), QStringLiteral("systemctl poweroff"));
    EXPECT_EQ((CommandLine{"true", {}}).text(), QStringLiteral("true"));
}

}  // namespace
