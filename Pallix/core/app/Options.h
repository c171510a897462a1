// The Control Center's command line, the same on every platform. The front
// ends turn the table into --help and the manual page.
#pragma once

#include "app/AppState.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct ControlCenterOptions {
    std::vector<std::string> localAddresses;
    bool dryRun = false;
    bool atLogin = false;
    bool paths = false;
    bool help = false;
    bool version = false;
    std::optional<std::string> manPage;
};

// A command line that cannot be used; the program ends with status 2.
class OptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws OptionError naming the option or value at fault.
ControlCenterOptions parseControlCenterOptions(const std::vector<std::string> &arguments);
void applyOptions(const ControlCenterOptions &options, AppState &state);

struct OptionText {
    const char *name;    // without the dashes
    const char *value;   // what it takes, empty for a flag
    const char *text;
};
const std::vector<OptionText> &controlCenterOptionTexts();
extern const char ControlCenterDescription[];

// True for dotted-decimal IPv4 text such as "192.168.1.20".
bool isIPv4Address(const std::string &text);
