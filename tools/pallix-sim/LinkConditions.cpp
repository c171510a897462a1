#include "LinkConditions.h"

namespace pallixsim {

constexpr size_t kShortReply = 5;

void LinkConditions::goOffline(std::optional<Clock::duration> length, Clock::time_point now) {
    offline_ = true;
    offlineEnds_ = length ? std::optional(now + *length) : std::nullopt;
}

bool LinkConditions::silent(Clock::time_point now) {
    if (offline_ && offlineEnds_ && now >= *offlineEnds_) offline_ = false;
    return offline_ || restarting(now);
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
