// A command line from a configuration value, split into words as a shell
// would, without any expansion: blanks separate words, '...' keeps
// everything, "..." keeps all but \" \\ \$ \`, a backslash outside quotes
// keeps the next character. No shell ever runs it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The words, or nothing with the reason in error (an unterminated quote, a
// trailing backslash).
std::optional<QStringList> commandWords(const QString &text, QString *error);
