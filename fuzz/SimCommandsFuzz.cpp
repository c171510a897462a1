// The simulator's command language, one input line at a time, on fresh
// devices that are never started: no socket is opened.
#include "FuzzInput.h"
#include "Simulator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    pallixsim::SimOptions options;
    options.devices = 2;
    pallixsim::Simulator simulator(options);
    for (const std::string &line : fuzzinput::lines(data, size)) (void)simulator.command(line);
    return 0;
}
