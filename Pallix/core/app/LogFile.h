// The log: "<entry> --- <local date and time>" lines in log.txt.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// Appends "<entry> --- <local date and time>" to log.txt in the log folder.
// Repeats are counted rather than written (LogRepeats), so a state that
// lasts costs a line or two. At 1 MiB the file rolls over to log.old.txt. A
// log that cannot be written is reported once per run, on standard error
// and in one box; nothing is thrown.
void logFile(const std::string &entry);
// An entry written every time it comes: what the PC did or was asked to do.
void logEvent(const std::string &entry);

// Writes a pending repeat count; the application is ending.
void flushLogFile();

// A program without an application folder of its own (the service) takes
// the entries, repeats counted as above, instead of log.txt; null goes back
// to the file.
using LogSink = std::function<void(const std::string &entry)>;
void setLogSink(LogSink sink);

std::string logFilePath();

// The system's general date-and-time form: short date, then the time with seconds.
std::string generalDateTime(std::chrono::system_clock::time_point when);

// Size at which log.txt becomes log.old.txt.
constexpr std::int64_t LogRollOverBytes = 1024 * 1024;
