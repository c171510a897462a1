#include "ServiceLog.h"

#include "app/LogFile.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct PriorityByStart {
    std::string_view start;
    LogPriority priority;
};

constexpr PriorityByStart priorities[] = {
    {"Error", LogPriority::Error},
    {"device-lost:", LogPriority::Warning},
    {"power-lost:", LogPriority::Warning},
    {"power-request:", LogPriority::Warning},
    {"power-action:", LogPriority::Warning},
    {"countdown-abandoned:", LogPriority::Warning},
    {"NUT: forced shutdown", LogPriority::Warning},
    {"NUT: hostsync time passed", LogPriority::Warning},
    {"pallixd was told to stop while", LogPriority::Warning},
    {"The notify command", LogPriority::Warning},
};

}   // namespace

LogPriority entryPriority(const std::string &entry)
{
    for (const PriorityByStart &rule : priorities)
        if (entry.starts_with(rule.start)) return rule.priority;
    return LogPriority::Info;
}

bool standardErrorIsJournal()
{
    const char *stream = std::getenv("JOURNAL_STREAM");
    struct stat error {};
    if (!stream || fstat(STDERR_FILENO, &error) != 0) return false;
    unsigned long long device = 0, inode = 0;
    char end = 0;
    if (std::sscanf(stream, "%llu:%llu%c", &device, &inode, &end) != 2) return false;
    return device == static_cast<unsigned long long>(error.st_dev)
           && inode == static_cast<unsigned long long>(error.st_ino);
}

void writeServiceLog(const std::string &entry, LogPriority priority)
{
    static const bool journal = standardErrorIsJournal();
    if (journal)
        std::fprintf(stderr, "<%d>%s\n", static_cast<int>(priority), entry.c_str());
    else
        std::fprintf(stderr, "pallixd: %s\n", entry.c_str());
    std::fflush(stderr);
}

void logToStandardError()
{
    setLogSink([](const std::string &entry) { writeServiceLog(entry, entryPriority(entry)); });
}
