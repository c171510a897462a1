// pallixctl's command line. The command and option tables make the parser,
// each --help and the manual page.
#pragma once

#include "ProgramDoc.h"

#include <QStringList>
#include <stdexcept>

struct CtlRequest {
    QString command;     // discover, status, get, set, export, import, watch, cancel, selftest
    QStringList words;   // what follows the command
    QString device;      // the device to address, without discovery
    QStringList localAddresses;
    QString socketPath;   // the service's socket, when named
    bool json = false;
    bool details = false;
    int loops = 1;
};

// A command line that cannot be used: exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString &text) : std::runtime_error(text.toStdString()) {}
};

struct CtlStart {
    bool run = true;   // false: help, version or the manual page was written
    CtlRequest request;
};

const programdoc::ProgramDoc &ctlDoc();

// Throws UsageError.
CtlStart parseCtlArguments(const QStringList &arguments);
