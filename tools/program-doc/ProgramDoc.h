// One description of a program's command line that makes both its --help
// text and its manual page, so the two cannot drift apart. Standard C++
// only, so every program of the project can use it.
#pragma once

#include <string>
#include <vector>

namespace programdoc {

struct Option {
    std::string name;    // without the dashes: "config"
    std::string value;   // what it takes ("FILE"), empty for a flag
    std::string text;
};

struct Command {
    std::string usage;   // "get [NAME|all]"
    std::string text;
};

// Free text: paragraphs separated by a blank line; a paragraph whose lines
// start with two blanks is shown as it stands (examples, tables).
struct Section {
    std::string title;
    std::string text;
};

struct ProgramDoc {
    std::string name;
    int section = 1;
    std::string summary;                 // one line, for the page's NAME
    std::vector<std::string> synopsis;   // usage lines, without the name
    std::string description;
    std::vector<Command> commands;
    std::vector<Option> options;
    std::vector<Section> sections;   // in the manual page only, after the options
};

std::string optionTerm(const Option &option);   // "--config FILE"

// Usage, description, commands and options, for a terminal.
std::string helpText(const ProgramDoc &doc);
// The whole page in man(7) roff.
std::string manPage(const ProgramDoc &doc, const std::string &version);

// The project's version, "1.0.0".
std::string version();
// Writes text to standard output at once.
void printText(const std::string &text);
// Writes the manual page to path; false (and why) when it cannot.
bool writeManPage(const ProgramDoc &doc, const std::string &path, std::string *error);

}   // namespace programdoc
