// Text inside the core is UTF-8. The device library's texts are Latin-1 and
// are converted where they enter and leave.
#pragma once

#include <string>
#include <string_view>
#include <vector>

std::string latin1ToUtf8(std::string_view latin1);
// Characters outside Latin-1 become '?'.
std::string utf8ToLatin1(std::string_view utf8);

// Fields between separators; empty ones kept.
std::vector<std::string> split(std::string_view text, char separator);
std::string join(const std::vector<std::string> &parts, std::string_view separator);
std::string trimmed(std::string_view text);
// ASCII letters compared without case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
// Every "from" replaced by "to".
std::string replaceAll(std::string text, std::string_view from, std::string_view to);
