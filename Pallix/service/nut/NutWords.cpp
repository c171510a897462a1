#include "NutWords.h"

#include <algorithm>

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}   // namespace

std::optional<std::vector<std::string>> splitNutWords(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\') {
            if (++i == line.size()) return std::nullopt;
            word += line[i];
            inWord = true;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;   // "" is an empty word
        } else if (isSpace(c) && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) return std::nullopt;
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::string quoteNutValue(std::string_view value)
{
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') quoted += '\\';
        // A reply is one line, whatever a value holds.
        quoted += c == '\n' || c == '\r' ? ' ' : c;
    }
    return quoted + '"';
}

bool sameNutName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

std::string nutError(std::string_view word) { return "ERR " + std::string(word); }
