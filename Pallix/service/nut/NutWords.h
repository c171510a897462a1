// The words of a NUT request line and the quoting of reply values, as NUT
// writes them: words split at spaces and tabs, "..." holds spaces, and a
// backslash takes the next character as it is (\" and \\).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// nullopt for a line that cannot be split: an open quote or a backslash at its end.
std::optional<std::vector<std::string>> splitNutWords(std::string_view line);

// value in quotes, with " and \ escaped (a line break becomes a space).
std::string quoteNutValue(std::string_view value);

// ASCII case-insensitive equality, as NUT compares names and commands.
bool sameNutName(std::string_view a, std::string_view b);

// "ERR WORD", NUT's error reply.
std::string nutError(std::string_view word);
