// Where pallixd's log goes: standard error, each line "pallixd: <entry>".
// Under systemd, whose journal is then standard error (JOURNAL_STREAM names
// it), the journal adds the name itself, so each line is "<N><entry>" with
// the entry's priority in sd-daemon's form instead.
#pragma once

#include <string>

enum class LogPriority { Error = 3, Warning = 4, Info = 6 };

// Errors: a device call that failed ("Error: ..."); warnings: what someone
// must know of (the device lost, a power loss, a power request and its
// action, an abandoned countdown, a forced shutdown of the NUT
// secondaries); everything else is information. Start errors are written
// as errors by whoever stops the start.
LogPriority entryPriority(const std::string &entry);

void writeServiceLog(const std::string &entry, LogPriority priority);
// logFile's entries go to writeServiceLog from here on.
void logToStandardError();

// JOURNAL_STREAM ("device:inode") names the file that is standard error.
bool standardErrorIsJournal();
