// The library's load-time state beside an in-process simulated device that
// is already selected with NrSetDevice.
#pragma once

#include <memory>

#include "LibraryFixture.h"
#include "Simulator.h"

class NrSimulatedDevice : public LibraryTest {
protected:
    static constexpr const char *kDevice = "127.0.0.2";

    pallixsim::Simulator &start(pallixsim::SimOptions options = {}) {
        sim_ = std::make_unique<pallixsim::Simulator>(options);
        sim_->start();
        NrSetDevice(kDevice);
        return *sim_;
    }

private:
    std::unique_ptr<pallixsim::Simulator> sim_;
};
