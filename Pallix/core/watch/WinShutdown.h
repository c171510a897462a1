// PC power actions by action code (the device's shutdown-action register + 1).
// Codes 6 and 7 carry out nothing: the configuration window, pallixctl and
// the countdown all show register values 5 and 6 as "No Action", and a PC
// must not be put to sleep by a setting that reads so.
#pragma once

#include "app/Platform.h"

#include <optional>
#include <string>

std::string actionName(int code);           // "Shutdown", ... ; empty for other codes
std::string actionProgressText(int code);   // "Shutting down", ... ; empty for other codes

// What one action code does on Windows of a given version.
struct WindowsPowerStep {
    enum Kind { Nothing, Run, ExitWindows, Message } kind = Nothing;
    CommandLine command;   // Run
    int exitFlags = 0;     // ExitWindows: 0 log off, 1 shut down, 2 reboot
    std::string message;   // Message
};
// windowsFolder ends in a separator; programs below it are found there.
WindowsPowerStep windowsPowerAction(int code, OSVersion version, const std::string &windowsFolder);

// The command that carries out an action code on Linux; none for 6, 7 and
// unknown codes. sessionId is the current login session.
std::optional<CommandLine> linuxPowerCommand(int code, const std::string &sessionId);

// The command that carries out an action code here: the one chosen for it
// in appState().powerCommands, or else the system's (none on Windows, where
// some codes are calls rather than commands).
std::optional<CommandLine> powerCommand(int code);

// Carries out an action code at once, by the command chosen for it in
// appState().powerCommands or else the system's; with the dry-run option the
// command is written to standard output and the log instead. Never throws.
void doPowerAction(int code);
