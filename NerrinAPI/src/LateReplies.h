// Keeps a reply that comes late from passing for the answer to a later
// request: nothing is sent while such a reply may still be on its way.
#pragma once

#include <chrono>
#include <cstdint>

#include "State.h"

using NrClock = std::chrono::steady_clock;

// No exchange listens longer than this after its first request, so a device
// whose replies come later cannot be talked to at all; the windows below
// take it as the bound on how late a reply comes.
inline constexpr std::chrono::milliseconds kNrLatestReply{kNrMaxAttempts * kNrReplyTimeoutMs};

// Before a request to the device (address in network order).
void nrAwaitQuietBeforeRequest(uint32_t device);
// Before a discovery probe.
void nrAwaitQuietBeforeProbe();

// After an exchange in which an attempt went unanswered: replies to any of
// its requests may still come until the last one is kNrLatestReply old.
void nrExpectLateRequestReplies(NrClock::time_point lastSent);
// After a probe: devices that did not answer it may still do so.
void nrExpectLateProbeReplies(NrClock::time_point sent, const uint32_t *answered, int count);
