// The application's command line.
#pragma once

#include "AppState.h"

class QCoreApplication;

// Parses the options into state; --help and --version print and exit.
void applyCommandLine(const QCoreApplication &app, AppState &state);
void applyCommandLine(const QStringList &arguments, AppState &state);

// True for dotted-decimal IPv4 text such as "192.168.1.20".
bool isIPv4Address(const QString &text);

// The folder text with a trailing separator.
QString appFolder(const QString &folder);
