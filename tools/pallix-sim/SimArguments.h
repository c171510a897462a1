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

// What the command line asks for.
enum class Asked { Run, Help, Version };

// Fills the options from the arguments after the program name; throws
// BadArguments. The values themselves are checked when the simulator is made.
Asked parseArguments(const std::vector<std::string> &arguments, SimOptions &options);

// The usage lines of --help.
const char *usageText();

}  // namespace pallixsim
