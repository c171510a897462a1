#include "PlatformWindows.h"

#include "WideText.h"

#include <cwctype>
#include <vector>

// winsock2.h before windows.h, iphlpapi.h after both.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <tlhelp32.h>

namespace {

// Window styles a started program shows with.
constexpr WORD MinimizedWithFocus = 2;   // power commands
constexpr WORD NormalWithFocus = 1;      // the updater

// Started and left to run: nothing waits for it.
bool startProgram(const std::wstring &application, std::wstring commandLine, WORD show)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessW(application.empty() ? nullptr : application.c_str(), commandLine.data(),
                       nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    if (!started) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool isLoopbackOrLink(unsigned long interfaceType)
{
    return interfaceType == IF_TYPE_SOFTWARE_LOOPBACK || interfaceType == IF_TYPE_TUNNEL
           || interfaceType == IF_TYPE_PPP;
}

std::string dottedText(std::uint32_t networkOrder)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(&networkOrder);
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2])
           + "." + std::to_string(bytes[3]);
}

// The adapters with their IPv4 addresses; empty when the system gives none.
std::vector<unsigned char> adapterTable()
{
    constexpr ULONG Flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> table(size);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ULONG result = GetAdaptersAddresses(
            AF_INET, Flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES *>(table.data()), &size);
        if (result == ERROR_SUCCESS) return table;
        if (result != ERROR_BUFFER_OVERFLOW) break;
        table.resize(size);   // the list grew meanwhile
    }
    return {};
}

}   // namespace

std::wstring quotedArgument(const std::wstring &argument, bool always)
{
    if (!always && !argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    // Before the closing quote, too.
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring commandLineOf(const CommandLine &command)
{
    std::wstring line = quotedArgument(wideText(command.program));
    for (const std::string &argument : command.arguments)
        line += L" " + quotedArgument(wideText(argument));
    return line;
}

std::wstring updaterCommandLine(const CommandLine &command)
{
    std::wstring line = quotedArgument(wideText(command.program));
    for (size_t i = 0; i < command.arguments.size(); ++i)
        line += L" " + quotedArgument(wideText(command.arguments[i]), i + 1 == command.arguments.size());
    return line;
}

std::string broadcastOf(std::uint32_t address, unsigned prefixLength)
{
    if (prefixLength >= 32) return dottedText(address);
    const std::uint32_t hostBits = prefixLength == 0 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> prefixLength);
    return dottedText(address | htonl(hostBits));
}

bool usableAdapter(unsigned long interfaceType, int operStatus)
{
    return operStatus == IfOperStatusUp && !isLoopbackOrLink(interfaceType);
}

bool sameExecutable(const std::wstring &processName, const std::string &executableName)
{
    std::wstring wanted = wideText(executableName);
    const bool hasExtension = wanted.size() > 4 && wanted.substr(wanted.size() - 4).find(L'.') == 0;
    if (!hasExtension) wanted += L".exe";
    if (processName.size() != wanted.size()) return false;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (std::towupper(processName[i]) != std::towupper(wanted[i])) return false;
    return true;
}

void WindowsPlatform::runCommand(const CommandLine &command)
{
    // Found through the search path, as the shell would ("Shutdown").
    startProgram({}, commandLineOf(command), MinimizedWithFocus);
}

bool WindowsPlatform::startUpdater(const CommandLine &command)
{
    return startProgram(wideText(command.program), updaterCommandLine(command), NormalWithFocus);
}

std::vector<LocalNetwork> WindowsPlatform::localNetworks()
{
    std::vector<LocalNetwork> networks;
    std::vector<unsigned char> table = adapterTable();
    if (table.empty()) return networks;
    for (auto *adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES *>(table.data()); adapter;
         adapter = adapter->Next) {
        for (auto *unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const sockaddr *address = unicast->Address.lpSockaddr;
            if (!address || address->sa_family != AF_INET) continue;
            const std::uint32_t ipv4 = reinterpret_cast<const sockaddr_in *>(address)->sin_addr.s_addr;
            LocalNetwork network;
            network.address = dottedText(ipv4);
            // As on Linux, loopback and point-to-point links have no broadcast.
            if (!isLoopbackOrLink(adapter->IfType))
                network.broadcast = broadcastOf(ipv4, unicast->OnLinkPrefixLength);
            network.interfaceName = adapter->FriendlyName ? utf8Text(adapter->FriendlyName) : "";
            network.usable = usableAdapter(adapter->IfType, adapter->OperStatus);
            networks.push_back(network);
        }
    }
    return networks;
}

int WindowsPlatform::runningCopies(const std::string &executableName)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (sameExecutable(entry.szExeFile, executableName)) ++count;
    CloseHandle(snapshot);
    return count;
}

namespace {

constexpr wchar_t MonitorLockName[] = L"Global\\Pallix.monitor";

// Taken while the mutex exists; Windows closes the handle when the process
// ends, however it ends.
class MutexLock : public MonitorLock {
public:
    explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
    ~MutexLock() override { CloseHandle(mutex_); }
    MutexLock(const MutexLock &) = delete;
    MutexLock &operator=(const MutexLock &) = delete;

private:
    HANDLE mutex_;
};

}   // namespace

// Another user's mutex may refuse this one access: that is taken too.
std::unique_ptr<MonitorLock> WindowsPlatform::takeMonitorLock(const std::string &,
                                                              MonitorHolder *holder)
{
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, MonitorLockName);
    if (mutex && GetLastError() != ERROR_ALREADY_EXISTS) return std::make_unique<MutexLock>(mutex);
    if (mutex) CloseHandle(mutex);
    *holder = MonitorHolder{};
    return nullptr;
}

// GetVersionEx answers what the program's manifest allows it to know;
// RtlGetVersion tells the truth.
OSVersion WindowsPlatform::osVersion()
{
    using RtlGetVersionCall = LONG(WINAPI *)(OSVERSIONINFOW *);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return {};
    const auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionCall>(reinterpret_cast<void *>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) return {};
    return {int(info.dwMajorVersion), int(info.dwMinorVersion)};
}
