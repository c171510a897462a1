// pallix-sim's command line, one word a line, and the check of its values.
#include <stdexcept>

#include "FuzzInput.h"
#include "SimArguments.h"
#include "Simulator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    pallixsim::SimOptions options;
    try {
        if (pallixsim::parseArguments(fuzzinput::lines(data, size), options) == pallixsim::Asked::Run)
            pallixsim::checkOptions(options);
    } catch (const pallixsim::BadArguments &) {
    } catch (const std::invalid_argument &) {
    }
    return 0;
}
