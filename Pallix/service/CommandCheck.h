// The commands pallixd is told to start exist and may be run, so a typo
// shows at start rather than when the PC should shut down.
#pragma once

#include "app/Platform.h"

#include <QString>

// Empty when the program of command can be started: a path to an
// executable file, or a name found as one on PATH. Otherwise why not,
// naming the option and the program.
QString commandProblem(const QString &option, const CommandLine &command);
