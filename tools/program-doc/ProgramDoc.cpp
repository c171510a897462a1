#include "ProgramDoc.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace programdoc {
namespace {

constexpr size_t HelpColumn = 28;
constexpr size_t HelpWidth = 79;

// Words filled into lines of at most width, each after indent blanks but the first.
std::string wrap(const std::string &text, size_t indent, size_t width)
{
    std::string out, line;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
            out += line + '\n' + std::string(indent, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + line;
}

std::vector<std::string> paragraphs(const std::string &text)
{
    std::vector<std::string> result;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find("\n\n", start);
        const std::string part = text.substr(start, end == std::string::npos ? end : end - start);
        if (!part.empty()) result.push_back(part);
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return result;
}

bool literal(const std::string &paragraph) { return paragraph.rfind("  ", 0) == 0; }

// Text as roff reads it: backslashes and hyphens escaped, no line opening
// with a control character.
std::string roff(const std::string &text)
{
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string upper(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return text;
}

void helpItem(std::ostringstream &out, const std::string &term, const std::string &text)
{
    out << "  " << term;
    if (term.size() + 2 < HelpColumn)
        out << std::string(HelpColumn - term.size() - 2, ' ');
    else
        out << '\n' << std::string(HelpColumn, ' ');
    out << wrap(text, HelpColumn, HelpWidth) << '\n';
}

void manText(std::ostringstream &out, const std::string &text)
{
    for (const std::string &paragraph : paragraphs(text)) {
        if (literal(paragraph))
            out << ".PP\n.nf\n" << roff(paragraph) << "\n.fi\n";
        else
            out << ".PP\n" << roff(paragraph) << '\n';
    }
}

void manItem(std::ostringstream &out, const std::string &term, const std::string &text)
{
    out << ".TP\n.B " << roff(term) << '\n' << roff(text) << '\n';
}

}   // namespace

std::string optionTerm(const Option &option)
{
    return "--" + option.name + (option.value.empty() ? "" : " " + option.value);
}

std::string helpText(const ProgramDoc &doc)
{
    std::ostringstream out;
    for (size_t i = 0; i < doc.synopsis.size(); ++i)
        out << (i == 0 ? "Usage: " : "       ") << doc.name << ' ' << doc.synopsis[i] << '\n';
    for (const std::string &paragraph : paragraphs(doc.description))
        out << '\n' << (literal(paragraph) ? paragraph : wrap(paragraph, 0, HelpWidth)) << '\n';
    if (!doc.commands.empty()) {
        out << "\nCommands:\n";
        for (const Command &command : doc.commands)
            helpItem(out, command.usage, command.text);
    }
    out << "\nOptions:\n";
    for (const Option &option : doc.options)
        helpItem(out, optionTerm(option), option.text);
    out << "\nSee " << doc.name << '(' << doc.section << ") for the whole manual.\n";
    return out.str();
}

std::string manPage(const ProgramDoc &doc, const std::string &version)
{
    std::ostringstream out;
    out << ".TH " << upper(doc.name) << ' ' << doc.section << " \"\" \"" << doc.name << ' '
        << version << "\" \"Pallix\"\n";
    out << ".SH NAME\n" << roff(doc.name) << " \\- " << roff(doc.summary) << '\n';
    out << ".SH SYNOPSIS\n";
    for (const std::string &line : doc.synopsis)
        out << ".B " << roff(doc.name) << '\n' << roff(line) << "\n.br\n";
    out << ".SH DESCRIPTION\n";
    manText(out, doc.description);
    if (!doc.commands.empty()) {
        out << ".SH COMMANDS\n";
        for (const Command &command : doc.commands)
            manItem(out, command.usage, command.text);
    }
    out << ".SH OPTIONS\n";
    for (const Option &option : doc.options)
        manItem(out, optionTerm(option), option.text);
    for (const Section &section : doc.sections) {
        out << ".SH " << upper(section.title) << '\n';
        manText(out, section.text);
    }
    return out.str();
}

std::string version() { return PROGRAM_VERSION; }

void printText(const std::string &text)
{
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

bool writeManPage(const ProgramDoc &doc, const std::string &path, std::string *error)
{
    std::ofstream page(path, std::ios::trunc);
    page << manPage(doc, version());
    page.close();
    if (page) return true;
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
}

}   // namespace programdoc
