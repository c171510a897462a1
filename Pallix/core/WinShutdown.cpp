#include "WinShutdown.h"

#include "AppState.h"
#include "LogFile.h"
#include "Notice.h"
#include "OSVer.h"

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

CommandLine command(const QString &program, const QString &arguments)
{
    return {program, arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts)};
}

WindowsPowerStep run(const QString &program, const QString &arguments)
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

WindowsPowerStep message(const QString &text)
{
    WindowsPowerStep step;
    step.kind = WindowsPowerStep::Message;
    step.message = text;
    return step;
}

// loginctl takes "self" for the caller's own session when none is named.
QString currentSessionId()
{
    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
    return id.isEmpty() ? QStringLiteral("self") : id;
}

void writeDryRun(const CommandLine &line)
{
    const QString entry = QStringLiteral("Dry run: ") + line.text();
    std::printf("%s\n", entry.toLocal8Bit().constData());
    std::fflush(stdout);
    logFile(entry);
}

void start(const CommandLine &line)
{
    if (appState().dryRun)
        writeDryRun(line);
    else
        Platform::current().runCommand(line);
}

#ifdef _WIN32
QString windowsFolder()
{
    QString folder = qEnvironmentVariable("windir");
    if (!folder.endsWith(QLatin1Char('\\'))) folder += QLatin1Char('\\');
    return folder;
}

void carryOut(const WindowsPowerStep &step)
{
    switch (step.kind) {
    case WindowsPowerStep::Run: start(step.command); break;
    case WindowsPowerStep::ExitWindows:
        if (appState().dryRun)
            writeDryRun({QStringLiteral("ExitWindowsEx"), {QString::number(step.exitFlags)}});
        else
            ExitWindowsEx(UINT(step.exitFlags), 0);
        break;
    case WindowsPowerStep::Message: showNotice(step.message, appTitle(), MsgIcon::None); break;
    case WindowsPowerStep::Nothing: break;
    }
}
#endif

}   // namespace

QString actionName(int code)
{
    const ActionTexts *texts = textsOf(code);
    return texts ? QString::fromUtf8(texts->name) : QString();
}

QString actionProgressText(int code)
{
    const ActionTexts *texts = textsOf(code);
    return texts ? QString::fromUtf8(texts->progress) : QString();
}

WindowsPowerStep windowsPowerAction(int code, OSVersion version, const QString &windowsFolder)
{
    const bool win2000 = version.major == 5 && version.minor == 0;
    const bool winXP = version.major == 5 && version.minor == 1;
    const bool modern = version.major >= 6;
    const QString rundll = windowsFolder + QStringLiteral("system32\\rundll32.exe");
    const QString suspend = QStringLiteral("powrprof.dll,SetSuspendState");
    const WindowsPowerStep standby = run(rundll, suspend + QStringLiteral(" Standby"));

    switch (code) {
    case 1:
        if (win2000) return exitWindows(1);
        if (winXP || modern) return run(QStringLiteral("Shutdown"), QStringLiteral("/s /t 0"));
        return {};
    case 2:
        if (win2000) return exitWindows(2);
        if (winXP || modern) return run(QStringLiteral("Shutdown"), QStringLiteral("/r /t 0"));
        return {};
    case 3:
        if (win2000) return message(QStringLiteral("No Hibernate for 2k"));
        if (winXP) return run(rundll, suspend + QStringLiteral(" Hibernate"));
        if (modern) return run(rundll, suspend + QStringLiteral(" 0,1,0"));
        return {};
    case 4: return standby;
    case 5:
        // "/l" logs off; "/t 0" alone would not.
        if (win2000) return exitWindows(0);
        if (winXP || modern) return run(QStringLiteral("Shutdown"), QStringLiteral("/l"));
        return {};
    case 7:
        if (modern) return run(rundll, suspend + QStringLiteral(" 0,0,0"));
        if (version.major < 5)
            return message(QStringLiteral("No sleep for systems older than Windows XP"));
        return standby;
    default: return {};
    }
}

std::optional<CommandLine> linuxPowerCommand(int code, const QString &sessionId)
{
    const QString systemctl = QStringLiteral("systemctl");
    switch (code) {
    case 1: return CommandLine{systemctl, {QStringLiteral("poweroff")}};
    case 2: return CommandLine{systemctl, {QStringLiteral("reboot")}};
    case 3: return CommandLine{systemctl, {QStringLiteral("hibernate")}};
    case 4:
    case 7: return CommandLine{systemctl, {QStringLiteral("suspend")}};
    case 5:
        return CommandLine{QStringLiteral("loginctl"),
                           {QStringLiteral("terminate-session"), sessionId}};
    default: return std::nullopt;
    }
}

std::optional<CommandLine> powerCommand(int code)
{
    const QHash<int, CommandLine> &chosen = appState().powerCommands;
    if (chosen.contains(code)) return chosen[code];
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
    if (!appState().powerCommands.contains(code)) {
        carryOut(windowsPowerAction(code, {osMajor(), osMinor()}, windowsFolder()));
        return;
    }
#endif
    if (const auto line = powerCommand(code)) start(*line);
}
