// The in-process simulator, started for one test.
#pragma once

#include "Simulator.h"

#include <string>
#include <vector>

class SimulatedDevice {
public:
    explicit SimulatedDevice(pallixsim::SimOptions options = {}) : sim(std::move(options))
    {
        sim.start();
    }
    ~SimulatedDevice() { sim.stop(); }

    std::string address(int device = 1) const { return sim.address(device); }
    std::string command(const std::string &line) { return sim.command(line); }

    // Writes the device received at a register, in order.
    std::vector<int> writesTo(int reg, int device = 1) const
    {
        std::vector<int> values;
        for (const auto &request : sim.requests(device))
            if (request.opcode == 0x04 && request.address == reg) values.push_back(request.value);
        return values;
    }

    pallixsim::Simulator sim;
};
