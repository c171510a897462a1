// The updater's command line: nrfwupdate <device address> <image path>.
#pragma once

#include <string>
#include <vector>

struct UpdaterOptions {
    enum class Action { Update, Help, Version, ManPage, Refuse };
    Action action = Action::Refuse;
    std::string deviceAddress;
    std::string imagePath;   // the manual page's path with ManPage
    std::string error;  // why the command line was refused
};

UpdaterOptions parseUpdaterOptions(const std::vector<std::string> &arguments);
bool isDottedIPv4(const std::string &text);
