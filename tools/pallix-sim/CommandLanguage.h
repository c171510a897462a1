// The operator's commands, one line in and one answer out: "ok", a value,
// or "error: <why>". The last argument may pick the device (1-based).
#pragma once

#include <string>
#include <vector>

#include "Device.h"

namespace pallixsim {

class CommandLanguage {
public:
    explicit CommandLanguage(std::vector<Device> &devices) : devices_(devices) {}

    // An empty line gets an empty answer.
    std::string run(const std::string &line, Clock::time_point now);
    bool quitRequested() const { return quit_; }

    // The command summary shown by "help" and --help.
    static std::string help();

private:
    std::vector<Device> &devices_;
    bool quit_ = false;
};

}  // namespace pallixsim
