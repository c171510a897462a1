// Everything the library remembers between calls, in one place. Zero at load;
// calls must not overlap, so there is no locking.
#pragma once

#include <chrono>
#include <cstdint>

#include "NerrinAPI.h"
#include "platform/Socket.h"

inline constexpr uint16_t kNrDevicePort = 11000;
inline constexpr uint16_t kNrLocalPort = 11002;
inline constexpr int kNrReplyTimeoutMs = 1000;
inline constexpr int kNrMaxAttempts = 4;
inline constexpr int kNrReplySize = 512;
inline constexpr int kNrReplySlots = 4;
inline constexpr int kNrAddressSize = 1024;
inline constexpr int kNrTextSize = 512;
inline constexpr int kNrMacBytes = 6;

// Until when replies to requests and probes already sent may still arrive
// (LateReplies.cpp). Devices that answered the latest probes owe it nothing.
struct NrLateReplies {
    std::chrono::steady_clock::time_point requestsUntil{};
    std::chrono::steady_clock::time_point probeUntil{};
    uint32_t probeAnswered[kNrReplySlots] = {};  // addresses in network order
    int32_t probeAnsweredCount = 0;
};

struct NrLibraryState {
    int32_t winsockStarted = 0;
    NrSocket sockHandle = kNrInvalidSocket;
    uint8_t sockOpen = 0;
    sockaddr_in deviceEndpoint{};
    sockaddr_in localEndpoint{};
    char deviceAddress[kNrAddressSize] = {};
    // One byte more than a datagram can fill, so a full reply still ends in zero.
    char replySlots[kNrReplySlots][kNrReplySize + 1] = {};
    int32_t discoveryCount = 0;
    char versionText[kNrTextSize] = {};
    char macText[kNrTextSize] = {};
    uint8_t macBytes[kNrMacBytes] = {};
    NrMessageHandler messageHandler = nullptr;
    NrDiagnosticHandler diagnosticHandler = nullptr;
    NrLateReplies lateReplies{};
};

extern NrLibraryState nrLib;

// Puts the library back to its load-time state (for tests).
void nrResetState();
