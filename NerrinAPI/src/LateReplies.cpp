// Replies carry nothing that ties them to their request, so they are kept
// apart by time. Each exchange drains the socket just before it sends; what
// that cannot catch is a reply that is still on its way. Those exist only
// after an exchange with an unanswered attempt: its earlier requests may be
// answered late, and the reply it took may have been an earlier attempt's,
// leaving the last one's outstanding. So after such an exchange nothing is
// sent until its last request is kNrLatestReply old, and the socket is
// drained after that wait. Within one exchange the attempts overlap; that
// is harmless, because all of them carry the same request, so whichever
// reply comes first is the right answer. An exchange answered at its first
// attempt leaves nothing behind and costs no wait.
//
// A probe is answered by every device that hears it, and the collection
// ends when one second passes without a reply, so slower devices may still
// answer after it. Such a reply is a true discovery record for a later
// probe, so probes wait for request replies only. A request waits for them
// unless its device answered every probe whose window is still open: the
// transport takes replies from the device's address only, and a device that
// answered owes no more.
#include "LateReplies.h"

#include <algorithm>
#include <thread>

namespace {

NrLateReplies &late() { return nrLib.lateReplies; }

void sleepUntil(NrClock::time_point until) {
    if (NrClock::now() < until) std::this_thread::sleep_until(until);
}

bool answeredOpenProbes(uint32_t device) {
    const uint32_t *answered = late().probeAnswered;
    return std::find(answered, answered + late().probeAnsweredCount, device) !=
           answered + late().probeAnsweredCount;
}

// Keeps only the devices that answered this probe as well.
void keepAnsweredBoth(const uint32_t *answered, int count) {
    int kept = 0;
    for (int i = 0; i < late().probeAnsweredCount; ++i) {
        const uint32_t device = late().probeAnswered[i];
        if (std::find(answered, answered + count, device) != answered + count)
            late().probeAnswered[kept++] = device;
    }
    late().probeAnsweredCount = kept;
}

}  // namespace

void nrAwaitQuietBeforeRequest(uint32_t device) {
    sleepUntil(late().requestsUntil);
    if (!answeredOpenProbes(device)) sleepUntil(late().probeUntil);
}

void nrAwaitQuietBeforeProbe() { sleepUntil(late().requestsUntil); }

void nrExpectLateRequestReplies(NrClock::time_point lastSent) {
    late().requestsUntil = std::max(late().requestsUntil, lastSent + kNrLatestReply);
}

void nrExpectLateProbeReplies(NrClock::time_point sent, const uint32_t *answered, int count) {
    count = std::clamp(count, 0, kNrReplySlots);
    if (NrClock::now() < late().probeUntil) {
        keepAnsweredBoth(answered, count);
    } else {
        std::copy(answered, answered + count, late().probeAnswered);
        late().probeAnsweredCount = count;
    }
    late().probeUntil = std::max(late().probeUntil, sent + kNrLatestReply);
}
