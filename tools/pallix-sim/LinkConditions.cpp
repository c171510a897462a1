#include "LinkConditions.h"

namespace pallixsim {

constexpr size_t kShortReply = 5;

void LinkConditions::goOffline(std::optional<Clock::duration> length, Clock::time_point now) {
    offline_ = true;
    offlineEnds_ = length ? std::optional(now + *length) : std::nullopt;
}

void LinkConditions::goOfflineAfter(int requests, std::optional<Clock::duration> length) {
    offlineAfter_ = OfflineAfter{requests, length};
}

bool LinkConditions::silent(Clock::time_point now) {
    if (offline_ && offlineEnds_ && now >= *offlineEnds_) offline_ = false;
    if (offline_ || restarting(now)) return true;
    if (offlineAfter_ && offlineAfter_->requests-- <= 0) {
        goOffline(offlineAfter_->length, now);
        offlineAfter_.reset();
        return true;
    }
    return false;
}

void LinkConditions::setDropPercent(int percent) {
    dropPercent_ = percent;
    dropCredit_ = 0;
}

bool LinkConditions::dropNext() {
    dropCredit_ += dropPercent_;
    if (dropCredit_ < 100) return false;
    dropCredit_ -= 100;
    return true;
}

void LinkConditions::shape(std::vector<uint8_t> &reply) const {
    switch (replyMode_) {
    case ReplyMode::Normal: break;
    case ReplyMode::Zero:
        if (!reply.empty()) reply[0] = 0;
        break;
    case ReplyMode::Short:
        if (reply.size() > kShortReply) reply.resize(kShortReply);
        break;
    }
}

}  // namespace pallixsim
