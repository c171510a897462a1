// Finding devices by broadcast, selecting one, and what the first reply says.
#include "Discovery.h"

#include <cstring>

#include "Diagnostics.h"
#include "LateReplies.h"
#include "NerrinAPI.h"
#include "Packet.h"
#include "State.h"
#include "SystemString.h"
#include "Transport.h"

namespace {

constexpr int kVersionField = 6;
constexpr int kVersionLimit = 55;
constexpr int kMacField = 4;
constexpr int kMacTextLength = 17;
constexpr int kFirmwareVersionLength = 5;

// Copies the characters after the `field`-th ":" of slot 0 into `target`,
// colons left out, at most `limit` of them. The old text is not cleared.
void copyAfterField(int field, int limit, char *target) {
    int colons = 0;
    int written = 0;
    for (const char *c = nrLib.replySlots[0]; *c != '\0'; ++c) {
        if (*c == ':') {
            ++colons;
        } else if (colons >= field && written < limit) {
            target[written++] = *c;
        }
    }
}

// Who answered the probe, in network order, one per counted reply.
using Answerers = uint32_t[kNrReplySlots];

// Fills the slot with zeros and receives one datagram from any sender.
int receiveIntoSlot(int slot, Answerers &answerers) {
    char *buffer = nrLib.replySlots[slot];
    std::memset(buffer, 0, sizeof nrLib.replySlots[slot]);
    sockaddr_in sender{};
    const int received = nrSocketReceiveFrom(nrLib.sockHandle, buffer, kNrReplySize, &sender);
    answerers[slot] = sender.sin_addr.s_addr;
    return received;
}

// After the first reply, further ones until a receive gets nothing.
void collectFurtherReplies(Answerers &answerers) {
    for (int slot = 1; slot < kNrReplySlots; ++slot) {
        receiveIntoSlot(slot, answerers);
        if (nrLib.replySlots[slot][0] == 0) return;
        nrLib.discoveryCount = slot + 1;
    }
}

}  // namespace

int nrHexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

void nrParseVersion() { copyAfterField(kVersionField, kVersionLimit, nrLib.versionText); }

void nrParseMAC() {
    copyAfterField(kMacField, kMacTextLength, nrLib.macText);
    for (int k = 0; k < kNrMacBytes; ++k) {
        const int high = nrHexDigitValue(nrLib.macText[3 * k]);
        const int low = nrHexDigitValue(nrLib.macText[3 * k + 1]);
        nrLib.macBytes[k] = static_cast<uint8_t>(16 * high + low);
    }
}

extern "C" {

NR_EXPORT int32_t NR_CALL NrDiscovery(const char *address) {
    nrLib.discoveryCount = 0;
    nrAwaitQuietBeforeProbe();
    nrOpenSocket(address);
    if (nrLib.sockHandle == kNrInvalidSocket) {
        nrLib.sockOpen = 0;
        nrDiagnostic("Socket Error");
        return 0;
    }
    // Only the probe may go to a broadcast address.
    nrSocketAllowBroadcast(nrLib.sockHandle);
    if (!nrBindLocalPort()) {
        nrDiagnostic("bind()");
        nrCloseSocket();
        return 0;
    }
    nrSocketDiscardPending(nrLib.sockHandle);
    const NrFrame probe = nrProbeFrame();
    nrSend(probe.bytes, probe.length);
    const NrClock::time_point sent = NrClock::now();
    Answerers answerers{};
    if (receiveIntoSlot(0, answerers) >= 1) {
        nrLib.discoveryCount = 1;
        nrParseVersion();
        nrParseMAC();
        collectFurtherReplies(answerers);
    }
    nrExpectLateProbeReplies(sent, answerers, nrLib.discoveryCount);
    nrCloseSocket();
    return 0;
}

NR_EXPORT int32_t NR_CALL NrDiscoveryCount(void) { return nrLib.discoveryCount; }

NR_EXPORT BSTR NR_CALL NrGetDevice(int32_t slot) {
    if (slot < 0 || slot >= kNrReplySlots) return nrSystemText(" ");
    return nrSystemText(nrLib.replySlots[slot]);
}

NR_EXPORT int32_t NR_CALL NrSetDevice(const char *address) {
    // Longer texts keep what fits, so the buffer always ends in zero.
    const size_t length = address ? strnlen(address, kNrAddressSize - 1) : 0;
    if (length > 0) std::memcpy(nrLib.deviceAddress, address, length);
    nrLib.deviceAddress[length] = '\0';
    return 0;
}

NR_EXPORT BSTR NR_CALL NrGetFirmwareVersion(void) {
    return nrSystemString(nrLib.versionText, kFirmwareVersionLength);
}

NR_EXPORT BSTR NR_CALL NrGetMACAddress(void) {
    return nrSystemString(nrLib.macText, kMacTextLength);
}

NR_EXPORT BSTR NR_CALL NrGetDiscoveryString(void) { return nrSystemText(nrLib.replySlots[0]); }

}  // extern "C"
