// The native pallix-sim beside the Windows program: commands go out on
// standard output as "sim> <command>" lines, which with-simulator.sh hands
// to the simulator, and its one-line answer comes back on standard input.
// The simulator's --verbose log, one line per request, is read from a file.
#pragma once

#include <ios>
#include <map>
#include <string>
#include <utility>
#include <vector>

class SimulatorLink {
public:
    explicit SimulatorLink(std::string logPath) : logPath_(std::move(logPath)) {}

    // The simulator's answer: "ok", a value or "error: ...".
    std::string command(const std::string &line);

    // Log lines of one device (1-based) not yet taken, with the
    // "device N (address): " prefix taken off.
    std::vector<std::string> newRequests(int device);

private:
    void readLog();

    std::string logPath_;
    std::streamoff readTo_ = 0;
    std::map<int, std::vector<std::string>> pending_;  // per device
};
