// What pallixd does on the signals other than SIGTERM and SIGINT: SIGHUP
// reads the configuration again and applies what can change while it
// runs; SIGUSR1, SIGUSR2 and SIGALRM are logged and ignored; SIGPIPE is
// ignored (a client that went is seen by its socket).
#pragma once

#include "ServiceOptions.h"

#include <QStringList>
#include <csignal>

class PallixService;

void ignoreBrokenPipes();
// One of SIGHUP, SIGUSR1, SIGUSR2 and SIGALRM, caught.
void handleSignal(PallixService &service, int signalNumber);

// What differs between two configurations, one text a setting.
QStringList configChanges(const ServiceConfig &before, const ServiceConfig &after);
