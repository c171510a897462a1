#include "Transport.h"

#include <chrono>
#include <cstring>

#include "Diagnostics.h"
#include "LateReplies.h"
#include "State.h"
#include "platform/Message.h"

namespace {

bool haveSocket() { return nrLib.sockHandle != kNrInvalidSocket; }

// Closes the socket only while this library owns it: on POSIX a stale
// descriptor number may already belong to someone else.
void closeOwnedSocket() {
    if (nrLib.sockOpen == 1 && haveSocket()) nrSocketClose(nrLib.sockHandle);
    nrLib.sockOpen = 0;
}

// The device's address is checked, not its source port: nothing promises
// that it answers from the port it listens on.
bool fromDevice(const sockaddr_in &sender) {
    return sender.sin_addr.s_addr == nrLib.deviceEndpoint.sin_addr.s_addr;
}

// Receives into slot 0, ignoring datagrams from anyone but the device for
// the rest of the time-out. Returns the reply's size, -1 when none came.
int receiveDeviceReply() {
    char *reply = nrLib.replySlots[0];
    const auto deadline = NrClock::now() + std::chrono::milliseconds(kNrReplyTimeoutMs);
    for (;;) {
        sockaddr_in sender{};
        const int received = nrSocketReceiveFrom(nrLib.sockHandle, reply, kNrReplySize, &sender);
        if (received < 0 || fromDevice(sender)) return received;
        std::memset(reply, 0, sizeof nrLib.replySlots[0]);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - NrClock::now());
        if (left.count() <= 0) return -1;
        nrSocketSetReceiveTimeout(nrLib.sockHandle, static_cast<int>(left.count()));
    }
}

int32_t exchangeOnce(const uint8_t *request, int32_t length, const char *address,
                     int32_t shortestReply, NrClock::time_point &sentAt) {
    nrOpenSocket(address);
    if (!haveSocket()) {
        nrLib.sockOpen = 0;
        nrMessageBox("Scoket Error");
        nrDiagnostic("socket error()\n\n");
        return kNrNoSocket;
    }
    if (!nrBindLocalPort()) {
        nrDiagnostic("Bind Error\n\n");
        closeOwnedSocket();
        return kNrBindFailed;
    }
    // A late reply to an earlier request must not pass for this one's.
    nrSocketDiscardPending(nrLib.sockHandle);
    nrSend(request, length);
    sentAt = NrClock::now();
    std::strcpy(nrLib.replySlots[1], nrLib.replySlots[0]);
    std::memset(nrLib.replySlots[0], 0, sizeof nrLib.replySlots[0]);
    const int received = receiveDeviceReply();
    if (received < shortestReply) std::memset(nrLib.replySlots[0], 0, sizeof nrLib.replySlots[0]);
    if (nrLib.replySlots[0][0] == 0) {
        nrDiagnostic("No Reply Error\n\n");
        return kNrNoReply;
    }
    return kNrOk;
}

}  // namespace

void nrStartWinsock() {
    if (nrLib.winsockStarted != 0) return;
    if (!nrSocketsStart()) {
        nrMessageBox("Winsock Error");
        return;
    }
    nrLib.winsockStarted = 1;
}

void nrStopWinsock() {
    nrSocketsStop();
    nrLib.winsockStarted = 0;
}

int32_t nrOpenSocket(const char *address) {
    nrStartWinsock();
    if (!haveSocket() || nrLib.sockOpen != 1) nrLib.sockHandle = nrSocketCreateUdp();
    if (!haveSocket()) {
        nrLib.sockOpen = 0;
        nrMessageBox("INVALID_SOCKET");
        return 0;
    }
    nrSocketSetReceiveTimeout(nrLib.sockHandle, kNrReplyTimeoutMs);
    nrLib.sockOpen = 1;
    nrLib.deviceEndpoint = nrEndpoint(nrParseIPv4(address ? address : ""), kNrDevicePort);
    nrLib.localEndpoint = nrEndpoint(htonl(INADDR_ANY), kNrLocalPort);
    return 0;
}

int32_t nrSend(const uint8_t *bytes, int32_t length) {
    if (!haveSocket()) {
        nrLib.sockOpen = 0;
        nrMessageBox("INVALID_SOCKET");
        return 0;
    }
    nrSocketSendTo(nrLib.sockHandle, bytes, length, nrLib.deviceEndpoint);
    return 0;
}

int32_t nrCloseSocket() {
    closeOwnedSocket();
    return 0;
}

bool nrBindLocalPort() { return nrSocketBind(nrLib.sockHandle, nrLib.localEndpoint); }

int32_t nrTransaction(const uint8_t *request, int32_t length, const char *address,
                      int32_t shortestReply) {
    nrAwaitQuietBeforeRequest(nrParseIPv4(address ? address : ""));
    int32_t status = kNrOk;
    bool unanswered = false;
    NrClock::time_point lastSent{};
    for (int attempt = 1;; ++attempt) {
        status = exchangeOnce(request, length, address, shortestReply, lastSent);
        unanswered = unanswered || status == kNrNoReply;
        if (status == kNrOk) break;
        const bool lastAttempt = attempt == kNrMaxAttempts;
        if (lastAttempt) nrDiagnostic("Retry Loop Failed.\n\n");
        closeOwnedSocket();
        nrOpenSocket(address);
        if (lastAttempt) break;
    }
    if (unanswered) nrExpectLateRequestReplies(lastSent);
    nrCloseSocket();
    return status;
}
