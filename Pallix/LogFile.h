#pragma once

#include <QString>

// Appends "<entry> --- <local date and time>" to log.txt in the application
// folder. Throws NrError when the file cannot be written.
void LogFile(const QString &entry);
