// The Control Center's command line as both front ends take it: the options
// into the application's state, and --help, --version, --paths and
// --man-page answered on standard output.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Applies the options; an exit status when the program is done (it printed
// what was asked for, or the command line was bad), none when it runs on.
std::optional<int> applyCommandLine(const std::vector<std::string> &arguments);

// The arguments after the program's name.
std::vector<std::string> argumentsOf(int argc, char **argv);
