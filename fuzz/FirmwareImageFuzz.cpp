// The image reader and the layout check on any file content.
#include <sstream>

#include "FuzzInput.h"
#include "firmwareImage.h"
#include "firmwareLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::istringstream file(fuzzinput::text(data, size));
    const FirmwareImage image = nrParseFirmwareImage(file);
    if (image.accepted()) (void)nrCheckFirmwareLayout(image);
    return 0;
}
