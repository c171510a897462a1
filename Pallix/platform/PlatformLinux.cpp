#include "PlatformLinux.h"

#include "SocketLock.h"

#include "app/Files.h"
#include "app/Text.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <thread>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/utsname.h>
#include <sys/wait.h>

extern char **environ;

namespace fs = std::filesystem;

namespace {

std::string ipv4Text(const sockaddr *address)
{
    if (address->sa_family != AF_INET) return {};
    char text[INET_ADDRSTRLEN] = {};
    const auto *inet = reinterpret_cast<const sockaddr_in *>(address);
    return inet_ntop(AF_INET, &inet->sin_addr, text, sizeof text) ? text : "";
}

std::string executableNameOf(const fs::path &processFolder)
{
    std::error_code error;
    const fs::path target = fs::read_symlink(processFolder / "exe", error);
    if (!error) return replaceAll(target.filename().string(), " (deleted)", "");
    // Another user's process: its exe link cannot be read, its name can.
    return trimmed(readFile((processFolder / "comm").string()).value_or(""));
}

// The folders under procRoot of the processes whose executable has that name.
std::vector<fs::path> processFolders(const std::string &procRoot, const std::string &executableName)
{
    std::vector<fs::path> folders;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(procRoot, error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c));
            }))
            continue;
        if (equalsIgnoringCase(executableNameOf(entry.path()), executableName))
            folders.push_back(entry.path());
    }
    return folders;
}

}   // namespace

bool startDetached(const CommandLine &command)
{
    std::vector<std::string> words{command.program};
    words.insert(words.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int result =
        posix_spawnp(&pid, command.program.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) return false;
    // Reaped when it ends, so no finished child lingers.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}

void LinuxPlatform::runCommand(const CommandLine &command) { startDetached(command); }

bool LinuxPlatform::startUpdater(const CommandLine &command) { return startDetached(command); }

std::vector<LocalNetwork> LinuxPlatform::localNetworks()
{
    std::vector<LocalNetwork> networks;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0) return networks;
    for (const ifaddrs *entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET) continue;
        LocalNetwork network;
        network.address = ipv4Text(entry->ifa_addr);
        if ((entry->ifa_flags & IFF_BROADCAST) && entry->ifa_broadaddr)
            network.broadcast = ipv4Text(entry->ifa_broadaddr);
        if (network.broadcast == "0.0.0.0") network.broadcast.clear();
        network.interfaceName = entry->ifa_name;
        network.usable = usableInterface(network.interfaceName, entry->ifa_flags);
        if (!network.address.empty()) networks.push_back(network);
    }
    freeifaddrs(list);
    return networks;
}

bool usableInterface(const std::string &name, unsigned flags)
{
    if (!(flags & IFF_UP) || !(flags & IFF_RUNNING)) return false;
    if (flags & (IFF_LOOPBACK | IFF_POINTOPOINT)) return false;
    for (const char *bridge : {"docker", "br-", "virbr", "veth"})
        if (name.starts_with(bridge)) return false;
    return true;
}

// One copy per desktop: copies on other displays (other users, other
// sessions) do not count.
int LinuxPlatform::runningCopies(const std::string &executableName)
{
    return countProcesses("/proc", executableName,
                          desktopOf(readFile("/proc/self/environ").value_or("")));
}

std::unique_ptr<MonitorLock> LinuxPlatform::takeMonitorLock(const std::string &program,
                                                            MonitorHolder *holder)
{
    return takeSocketLock(MonitorLockName, program, holder);
}

OSVersion LinuxPlatform::osVersion()
{
    utsname names{};
    if (uname(&names) != 0) return {};
    return parseKernelRelease(names.release);
}

OSVersion parseKernelRelease(const std::string &release)
{
    const std::vector<std::string> parts = split(release, '.');
    const auto leadingNumber = [](const std::string &part) {
        size_t digits = 0;
        while (digits < part.size() && digits < 9
               && std::isdigit(static_cast<unsigned char>(part[digits])))
            ++digits;
        return digits == 0 ? 0 : std::stoi(part.substr(0, digits));
    };
    OSVersion version;
    if (!parts.empty()) version.major = leadingNumber(parts[0]);
    if (parts.size() > 1) version.minor = leadingNumber(parts[1]);
    return version;
}

std::string desktopOf(const std::string &environment)
{
    std::string display, wayland;
    for (const std::string &entry : split(environment, '\0')) {
        if (entry.starts_with("DISPLAY=")) display = entry.substr(8);
        if (entry.starts_with("WAYLAND_DISPLAY=")) wayland = entry.substr(16);
    }
    return "DISPLAY=" + display + "\nWAYLAND_DISPLAY=" + wayland;
}

int countProcesses(const std::string &procRoot, const std::string &executableName,
                   const std::string &desktop)
{
    int count = 0;
    for (const fs::path &folder : processFolders(procRoot, executableName)) {
        const auto environment = readFile((folder / "environ").string());
        if (environment && desktopOf(*environment) == desktop) ++count;
    }
    return count;
}

