#include "app/LogFile.h"

#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Files.h"
#include "app/LocalTime.h"
#include "app/LogRepeats.h"
#include "app/Notice.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

struct LogState {
    LogSink sink;
    LogRepeats repeats;
    bool failureReported = false;
};

LogState &logState()
{
    static LogState state;
    return state;
}

void reportFailureOnce(const std::string &path, const std::string &reason)
{
    LogState &state = logState();
    if (state.failureReported) return;
    state.failureReported = true;
    const std::string text = "The log file " + path + " cannot be written: " + reason
                             + ". The Pallix Control Center goes on without its log.";
    std::fprintf(stderr, "Pallix: %s\n", text.c_str());
    showNotice(text, appTitle(), MsgIcon::Critical);
}

// The old file goes in one rename, so a reader finds one whole file or the other.
void rollOverWhenFull(const std::string &path)
{
    std::error_code error;
    const auto size = fs::file_size(fsPath(path), error);
    if (error || std::int64_t(size) < LogRollOverBytes) return;
    fs::rename(fsPath(path), fsPath(logFolder() + "log.old.txt"), error);
}

// The log is text in the system's code page.
std::string systemText(const std::string &utf8)
{
#ifdef _WIN32
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0,
                                           nullptr, nullptr);
    std::string text(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
#else
    return utf8;
#endif
}

void writeLine(const std::string &text)
{
    if (logState().sink) {
        logState().sink(text);
        return;
    }
    const std::string path = logFilePath();
    rollOverWhenFull(path);
    const std::string line =
        systemText(text + " --- " + generalDateTime(std::chrono::system_clock::now()) + "\r\n");
    errno = 0;
    std::ofstream file(fsPath(path), std::ios::binary | std::ios::app);
    const int openError = errno;
    if (file) file.write(line.data(), std::streamsize(line.size()));
    if (file) file.flush();
    if (!file) reportFailureOnce(path, std::strerror(openError ? openError : EIO));
}

}   // namespace

std::string logFilePath() { return logFolder() + "log.txt"; }

std::string generalDateTime(std::chrono::system_clock::time_point when)
{
    return localTime(when, "%x %X");
}

void setLogSink(LogSink sink) { logState().sink = std::move(sink); }

void logFile(const std::string &entry)
{
    for (const std::string &line : logState().repeats.add(entry, LogRepeats::Clock::now()))
        writeLine(line);
}

void logEvent(const std::string &entry)
{
    for (const std::string &line : logState().repeats.addEvent(entry))
        writeLine(line);
}

void flushLogFile()
{
    for (const std::string &line : logState().repeats.flush())
        writeLine(line);
}
