// One UDP socket per exchange, bound to the local port, with retries.
#pragma once

#include <cstdint>

enum NrStatus : int32_t {
    kNrOk = 0,
    kNrNoSocket = 1,
    kNrBindFailed = 2,
    kNrNoReply = 3,
    kNrBadByteCount = 4,
};

void nrStartWinsock();
// Shuts the socket layer down; the next nrStartWinsock starts it again.
void nrStopWinsock();
int32_t nrOpenSocket(const char *address);
int32_t nrSend(const uint8_t *bytes, int32_t length);
int32_t nrCloseSocket();
// One request and its reply, up to four attempts. The reply is left in slot 0.
// A reply shorter than shortestReply bytes counts as none (slot 0 zeroed).
int32_t nrTransaction(const uint8_t *request, int32_t length, const char *address,
                      int32_t shortestReply = 1);

// Binds the open socket to the local port; false when that failed.
bool nrBindLocalPort();
