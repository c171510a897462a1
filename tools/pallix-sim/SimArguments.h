// pallix-sim's command line.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "Simulator.h"

namespace pallixsim {

struct BadArguments : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Fills the options from the arguments after the program name. Returns
// false when the program should only print its help; throws BadArguments.
// The values themselves are checked when the simulator is made.
bool parseArguments(const std::vector<std::string> &arguments, SimOptions &options);

// The usage lines of --help.
const char *usageText();

}  // namespace pallixsim
