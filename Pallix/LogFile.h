#pragma once

#include <QDateTime>
#include <QString>

// Appends "<entry> --- <local date and time>" to log.txt in the application
// folder. Throws NrError when the file cannot be written.
void LogFile(const QString &entry);

// The system's general date-and-time form: short date, then the time with seconds.
QString GeneralDateTime(const QDateTime &when);

// Number of the error LogFile throws when the file cannot be written.
constexpr int LogFileAccessError = 75;
