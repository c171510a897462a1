// The Windows platform: command lines as programs read them back, the PC's
// networks, the copies of a program, the version, and where files and the
// log lie.
#include "AppTestSupport.h"
#include "PlatformWindows.h"
#include "WideText.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <shellapi.h>

namespace fs = std::filesystem;

namespace {

// What a program started with that command line gets as its arguments.
std::vector<std::string> argumentsRead(const std::wstring &commandLine)
{
    int count = 0;
    wchar_t **words = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(utf8Text(words[i]));
    LocalFree(words);
    return arguments;
}

TEST(CommandLines, EveryArgumentComesBackAsItWasGiven)
{
    const CommandLine awkward{"C:\\Program Files\\Pallix\\nrfwupdate.exe",
                              {"plain", "two words", "", "say \"hi\"", "ends in\\", "C:\\a\\\\\"b"}};
    std::vector<std::string> expected{awkward.program};
    expected.insert(expected.end(), awkward.arguments.begin(), awkward.arguments.end());
    EXPECT_EQ(argumentsRead(commandLineOf(awkward)), expected);
    EXPECT_EQ(commandLineOf({"Shutdown", {"/s", "/t", "0"}}), L"Shutdown /s /t 0");
}

TEST(CommandLines, TheUpdaterGetsTheDeviceAndTheImageInQuotes)
{
    const CommandLine updater{"C:\\App\\nrfwupdate.exe", {"192.168.1.50", "C:\\App\\download\\test_out.hex"}};
    EXPECT_EQ(updaterCommandLine(updater),
              L"C:\\App\\nrfwupdate.exe 192.168.1.50 \"C:\\App\\download\\test_out.hex\"");
    // A folder with blanks: the program's path is quoted too, or it would be read as two words.
    const CommandLine spaced{"C:\\Program Files\\Pallix\\nrfwupdate.exe",
                             {"10.0.0.7", "C:\\Program Files\\Pallix\\download\\test_out.hex"}};
    EXPECT_EQ(argumentsRead(updaterCommandLine(spaced)),
              (std::vector<std::string>{spaced.program, "10.0.0.7", spaced.arguments[1]}));
}

TEST(Networks, BroadcastFollowsThePrefix)
{
    const auto address = [](const char *text) { return inet_addr(text); };
    EXPECT_EQ(broadcastOf(address("192.168.1.20"), 24), "192.168.1.255");
    EXPECT_EQ(broadcastOf(address("10.1.2.3"), 8), "10.255.255.255");
    EXPECT_EQ(broadcastOf(address("172.16.5.9"), 20), "172.16.15.255");
    EXPECT_EQ(broadcastOf(address("10.0.0.1"), 32), "10.0.0.1");
}

TEST(Networks, OnlyAdaptersThatAreUpAndReachANetworkAreUsable)
{
    EXPECT_TRUE(usableAdapter(IF_TYPE_ETHERNET_CSMACD, IfOperStatusUp));
    EXPECT_TRUE(usableAdapter(IF_TYPE_IEEE80211, IfOperStatusUp));
    EXPECT_FALSE(usableAdapter(IF_TYPE_ETHERNET_CSMACD, IfOperStatusDown));
    EXPECT_FALSE(usableAdapter(IF_TYPE_SOFTWARE_LOOPBACK, IfOperStatusUp));
    EXPECT_FALSE(usableAdapter(IF_TYPE_TUNNEL, IfOperStatusUp));
}

// The test runs in a namespace of its own with loopback alone: the system
// lists it, without a broadcast and not for discovery.
TEST(Networks, LoopbackIsListedButNotUsable)
{
    WindowsPlatform platform;
    const std::vector<LocalNetwork> networks = platform.localNetworks();
    const auto loopback = std::find_if(networks.begin(), networks.end(),
                                       [](const LocalNetwork &n) { return n.address == "127.0.0.1"; });
    ASSERT_NE(loopback, networks.end());
    EXPECT_FALSE(loopback->usable);
    EXPECT_EQ(loopback->broadcast, "");
}

TEST(Processes, CopiesAreCountedByExecutableNameInAnyCase)
{
    EXPECT_TRUE(sameExecutable(L"PALLIX.EXE", "Pallix"));
    EXPECT_TRUE(sameExecutable(L"pallix.exe", "Pallix.exe"));
    EXPECT_FALSE(sameExecutable(L"Pallix2.exe", "Pallix"));
    EXPECT_FALSE(sameExecutable(L"Pallix", "Pallix"));

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string name = utf8Of(fs::path(self).filename());
    WindowsPlatform platform;
    EXPECT_EQ(platform.runningCopies(name), 1);
}

// One monitor of the PC's Pallix at a time; the place is free once its
// holder lets go.
TEST(Processes, TheMonitorLockIsHeldByOneAtATime)
{
    WindowsPlatform platform;
    MonitorHolder holder{"someone", 7, 8};
    std::unique_ptr<MonitorLock> first = platform.takeMonitorLock("Pallix", &holder);
    ASSERT_TRUE(first);
    EXPECT_FALSE(platform.takeMonitorLock("Pallix", &holder));
    EXPECT_EQ(holder.program, "");
    first.reset();
    EXPECT_TRUE(platform.takeMonitorLock("Pallix", &holder));
}

TEST(Version, TheSystemsOwnNumbers)
{
    const OSVersion version = WindowsPlatform().osVersion();
    EXPECT_GE(version.major, 5);
    EXPECT_GE(version.minor, 0);
}

// Everything lies beside Pallix.exe, and so does the log; a program that
// is not in its application folder logs to %LOCALAPPDATA%\Pallix\.
TEST(AppFolder, FilesAndTheLogBesideTheProgram)
{
    TestAppFolder folder;
    const std::string app = folder.path();
    EXPECT_EQ(appFile(AppFile::Updater), app + "nrfwupdate.exe");
    EXPECT_EQ(appFile(AppFile::FirmwareImage), app + "download\\test_out.hex");
    EXPECT_EQ(appFile(AppFile::Library), app + "NerrinAPI.dll");
    ASSERT_TRUE(runsFromAppFolder());
    EXPECT_EQ(logFolder(), app);

    fs::create_directories(fsPath(app + "elsewhere"));
    appState().appPath = app + "elsewhere\\";
    EXPECT_EQ(logFolder(), app + "state\\Pallix\\");
    EXPECT_TRUE(fs::is_directory(fsPath(logFolder())));
}

}   // namespace
