// Reading pallixd's configuration file: a regular file of sane size, so a
// device, a FIFO or a huge file named by mistake is refused, not read.
#pragma once

#include <QString>
#include <optional>

inline constexpr qint64 MaxConfigFileBytes = 64 * 1024;

// The file's text; nothing when it is missing and was not named. Throws
// ConfigError naming the file.
std::optional<QString> configFileText(const QString &path, bool named);
