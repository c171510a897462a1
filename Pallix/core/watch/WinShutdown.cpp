#include "watch/WinShutdown.h"

#include "app/AppState.h"
#include "app/Files.h"
#include "app/LogFile.h"
#include "app/Notice.h"
#include "app/OSVer.h"
#include "app/Text.h"

#include <array>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

struct ActionTexts {
    const char *name;
    const char *progress;
};

constexpr std::array<ActionTexts, 5> actionTexts{{
    {"Shutdown", "Shutting down"},
    {"Restart", "Restarting"},
    {"Hibernate/Sleep", "Hibernating/Sleep"},
    {"Stand By", "Standing By"},
    {"Log Out", "Logging Out"},
}};

const ActionTexts *textsOf(int code)
{
    if (code < 1 || code > int(actionTexts.size())) return nullptr;
    return &actionTexts[size_t(code - 1)];
}

CommandLine command(const std::string &program, const std::string &arguments)
{
    CommandLine line{program, {}};
    for (const std::string &word : split(arguments, ' '))
        if (!word.empty()) line.arguments.push_back(word);
    return line;
}

WindowsPowerStep run(const std::string &program, const std::string &arguments)
{
    WindowsPowerStep step;
    step.kind = WindowsPowerStep::Run;
    step.command = command(program, arguments);
    return step;
}

WindowsPowerStep exitWindows(int flags)
{
    WindowsPowerStep step;
    step.kind = WindowsPowerStep::ExitWindows;
    step.exitFlags = flags;
    return step;
}

WindowsPowerStep message(const std::string &text)
{
    WindowsPowerStep step;
    step.kind = WindowsPowerStep::Message;
    step.message = text;
    return step;
}

#ifndef _WIN32
// loginctl takes "self" for the caller's own session when none is named.
std::string currentSessionId()
{
    const std::string id = environment("XDG_SESSION_ID").value_or("");
    return id.empty() ? "self" : id;
}
#endif

void writeDryRun(const CommandLine &line)
{
    const std::string entry = "Dry run: " + line.text();
    std::printf("%s\n", entry.c_str());
    std::fflush(stdout);
    logEvent(entry);
}

void start(const CommandLine &line)
{
    if (appState().dryRun)
        writeDryRun(line);
    else
        Platform::current().runCommand(line);
}

#ifdef _WIN32
std::string windowsFolder()
{
    std::string folder = environment("windir").value_or("");
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

// A process may shut the PC down only with its shutdown privilege enabled.
void exitWindowsPrivileged(int flags)
{
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    ExitWindowsEx(UINT(flags), 0);
}

void carryOut(const WindowsPowerStep &step)
{
    switch (step.kind) {
    case WindowsPowerStep::Run: start(step.command); break;
    case WindowsPowerStep::ExitWindows:
        if (appState().dryRun)
            writeDryRun({"ExitWindowsEx", {std::to_string(step.exitFlags)}});
        else
            exitWindowsPrivileged(step.exitFlags);
        break;
    case WindowsPowerStep::Message: showNotice(step.message, appTitle(), MsgIcon::None); break;
    case WindowsPowerStep::Nothing: break;
    }
}
#endif

}   // namespace

std::string actionName(int code)
{
    const ActionTexts *texts = textsOf(code);
    return texts ? texts->name : "";
}

std::string actionProgressText(int code)
{
    const ActionTexts *texts = textsOf(code);
    return texts ? texts->progress : "";
}

WindowsPowerStep windowsPowerAction(int code, OSVersion version, const std::string &windowsFolder)
{
    const bool win2000 = version.major == 5 && version.minor == 0;
    const bool winXP = version.major == 5 && version.minor == 1;
    const bool modern = version.major >= 6;
    const std::string rundll = windowsFolder + "system32\\rundll32.exe";
    const std::string suspend = "powrprof.dll,SetSuspendState";

    switch (code) {
    case 1:
        if (win2000) return exitWindows(1);
        if (winXP || modern) return run("Shutdown", "/s /t 0");
        return {};
    case 2:
        if (win2000) return exitWindows(2);
        if (winXP || modern) return run("Shutdown", "/r /t 0");
        return {};
    case 3:
        if (win2000) return message("No Hibernate for 2k");
        if (winXP) return run(rundll, suspend + " Hibernate");
        if (modern) return run(rundll, suspend + " 0,1,0");
        return {};
    case 4: return run(rundll, suspend + " Standby");
    case 5:
        // "/l" logs off; "/t 0" alone would not.
        if (win2000) return exitWindows(0);
        if (winXP || modern) return run("Shutdown", "/l");
        return {};
    default: return {};
    }
}

std::optional<CommandLine> linuxPowerCommand(int code, const std::string &sessionId)
{
    const std::string systemctl = "systemctl";
    switch (code) {
    case 1: return CommandLine{systemctl, {"poweroff"}};
    case 2: return CommandLine{systemctl, {"reboot"}};
    case 3: return CommandLine{systemctl, {"hibernate"}};
    case 4: return CommandLine{systemctl, {"suspend"}};
    case 5:
        return CommandLine{"loginctl",
                           {"terminate-session", sessionId}};
    default: return std::nullopt;
    }
}

std::optional<CommandLine> powerCommand(int code)
{
    const std::map<int, CommandLine> &chosen = appState().powerCommands;
    if (const auto found = chosen.find(code); found != chosen.end()) return found->second;
#ifdef _WIN32
    return std::nullopt;
#else
    return linuxPowerCommand(code, currentSessionId());
#endif
}

void doPowerAction(int code)
{
    getOSVersion();
#ifdef _WIN32
    if (!appState().powerCommands.count(code)) {
        carryOut(windowsPowerAction(code, {osMajor(), osMinor()}, windowsFolder()));
        return;
    }
#endif
    if (const auto line = powerCommand(code)) start(*line);
}
