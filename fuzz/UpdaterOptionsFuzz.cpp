// nrfwupdate's command line, one argument a line.
#include "FuzzInput.h"
#include "UpdaterOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    (void)parseUpdaterOptions(fuzzinput::lines(data, size));
    return 0;
}
