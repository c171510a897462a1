// The application's command line.
#pragma once

#include "AppState.h"

class QCoreApplication;

// Parses the options into state; --help and --version print and exit.
void ApplyCommandLine(const QCoreApplication &app, AppState &state);
void ApplyCommandLine(const QStringList &arguments, AppState &state);

// True for dotted-decimal IPv4 text such as "192.168.1.20".
bool IsIPv4Address(const QString &text);

// The folder text with a trailing separator.
QString AppFolder(const QString &folder);
