// How a device's network link misbehaves on request: silence, dropped
// requests, late replies and malformed replies.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace pallixsim {

using Clock = std::chrono::steady_clock;

enum class ReplyMode { Normal, Zero, Short };

class LinkConditions {
public:
    // No deadline means silent until `online`.
    void goOffline(std::optional<Clock::duration> length, Clock::time_point now);
    // Answers that many more requests, then goes offline as above.
    void goOfflineAfter(int requests, std::optional<Clock::duration> length);
    void goOnline() {
        offline_ = false;
        offlineAfter_.reset();
    }
    void restart(Clock::duration length, Clock::time_point now) { restartEnds_ = now + length; }

    // Decides for one request; counts it towards goOfflineAfter.
    bool silent(Clock::time_point now);
    bool restarting(Clock::time_point now) const { return now < restartEnds_; }

    void setDropPercent(int percent);
    int dropPercent() const { return dropPercent_; }
    // Decides for one request; drops exactly that share, in a fixed pattern.
    bool dropNext();

    void setDelay(Clock::duration delay) { delay_ = delay; }
    Clock::duration delay() const { return delay_; }

    void setReplyMode(ReplyMode mode) { replyMode_ = mode; }
    // Spoils a reply the way the reply mode says.
    void shape(std::vector<uint8_t> &reply) const;

private:
    bool offline_ = false;
    std::optional<Clock::time_point> offlineEnds_;
    struct OfflineAfter {
        int requests;
        std::optional<Clock::duration> length;
    };
    std::optional<OfflineAfter> offlineAfter_;
    Clock::time_point restartEnds_{};
    int dropPercent_ = 0;
    int dropCredit_ = 0;
    Clock::duration delay_{};
    ReplyMode replyMode_ = ReplyMode::Normal;
};

}  // namespace pallixsim
