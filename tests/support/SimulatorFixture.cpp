#include "SimulatorFixture.h"

namespace pallixtest {

void SimulatorTest::startSimulator(pallixsim::SimOptions options) {
    sim_ = std::make_unique<pallixsim::Simulator>(std::move(options));
    sim_->start();
    client_ = std::make_unique<UdpClient>();
}

void SimulatorTest::TearDown() {
    client_.reset();
    sim_.reset();
}

std::optional<Datagram> SimulatorTest::ask(std::span<const uint8_t> request, int device,
                                           std::chrono::milliseconds timeout) {
    return client_->exchange(sim_->address(device), request, timeout);
}

int SimulatorTest::readRegister(int reg, int device) {
    const auto reply = ask(readRequest(reg), device);
    if (!reply) {
        ADD_FAILURE() << "no reply to reading register " << reg << " of device " << device;
        return -1;
    }
    return replyValue(reply->bytes);
}

int SimulatorTest::writeRegister(int reg, int value, int device) {
    const auto reply = ask(writeRequest(reg, static_cast<uint8_t>(value)), device);
    if (!reply) {
        ADD_FAILURE() << "no reply to writing register " << reg << " of device " << device;
        return -1;
    }
    return replyCode(reply->bytes);
}

std::string SimulatorTest::command(const std::string &line) {
    const std::string answer = sim_->command(line);
    EXPECT_EQ(answer.rfind("error", 0), std::string::npos) << line << " -> " << answer;
    return answer;
}

}  // namespace pallixtest
