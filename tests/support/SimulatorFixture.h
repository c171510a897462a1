// A gtest fixture with an in-process simulator and a raw client beside it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "Frames.h"
#include "Simulator.h"
#include "UdpClient.h"

namespace pallixtest {

class SimulatorTest : public ::testing::Test {
protected:
    void TearDown() override;

    void startSimulator(pallixsim::SimOptions options = {});
    pallixsim::Simulator &sim() { return *sim_; }
    UdpClient &client() { return *client_; }

    // One request to the device and its reply (nothing when it stays silent).
    std::optional<Datagram> ask(std::span<const uint8_t> request, int device = 1,
                                std::chrono::milliseconds timeout = std::chrono::milliseconds(500));
    // Register access over the wire; a missing reply fails the test and gives -1.
    int readRegister(int reg, int device = 1);
    int writeRegister(int reg, int value, int device = 1);  // the reply code
    // The simulator's answer to a command, which must not be an error.
    std::string command(const std::string &line);

private:
    std::unique_ptr<pallixsim::Simulator> sim_;
    std::unique_ptr<UdpClient> client_;
};

}  // namespace pallixtest
