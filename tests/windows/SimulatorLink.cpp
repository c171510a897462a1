#include "SimulatorLink.h"

#include <cstdio>
#include <fstream>

std::string SimulatorLink::command(const std::string &line) {
    std::printf("sim> %s\n", line.c_str());
    std::fflush(stdout);
    char answer[1024] = {};
    if (std::fgets(answer, sizeof answer, stdin) == nullptr) return "error: no answer";
    std::string text = answer;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::vector<std::string> SimulatorLink::newRequests(int device) {
    readLog();
    std::vector<std::string> lines;
    lines.swap(pending_[device]);
    return lines;
}

// Lines look like "device 2 (127.0.0.3): read 15 -> 0".
void SimulatorLink::readLog() {
    std::ifstream log(logPath_, std::ios::binary);
    log.seekg(readTo_);
    for (std::string line; std::getline(log, line);) {
        // Only whole lines count; a partial one is read again next time.
        if (log.eof()) break;
        readTo_ = log.tellg();
        int device = 0;
        const size_t text = line.find("): ");
        if (std::sscanf(line.c_str(), "device %d (", &device) == 1 && text != std::string::npos)
            pending_[device].push_back(line.substr(text + 3));
    }
}
