// The version and MAC parsers on any first discovery reply, and the texts
// handed out from it. State carries over between inputs, as between
// discoveries.
#include <algorithm>
#include <cstring>

#include "Discovery.h"
#include "NerrinAPI.h"
#include "State.h"

namespace {

void takeAndFree(BSTR text) { SysFreeString(text); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char *slot = nrLib.replySlots[0];
    std::memset(slot, 0, sizeof nrLib.replySlots[0]);
    std::memcpy(slot, data, std::min<size_t>(size, kNrReplySize));
    nrParseVersion();
    nrParseMAC();
    takeAndFree(NrGetFirmwareVersion());
    takeAndFree(NrGetMACAddress());
    takeAndFree(NrGetDiscoveryString());
    takeAndFree(NrGetDevice(0));
    return 0;
}
