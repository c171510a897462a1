// What the Control Center's icon tells a person of the device watch: a
// tooltip that says what it watches, and a notice per event. Lost and found
// come once per change (the watch sees to that); a find is news only after
// a loss.
#pragma once

#include "watch/WatchEvents.h"

#include <chrono>
#include <functional>
#include <string>

class DeviceWatch;

// Where the tooltip and the notices go: the icon of a front end.
class SummaryView {
public:
    virtual ~SummaryView() = default;
    virtual void showToolTip(const std::string &toolTip) = 0;
    virtual void notify(const std::string &title, const std::string &text) = 0;
};

class WatchSummary : public WatchEvents {
public:
    using Now = std::function<std::chrono::system_clock::time_point()>;

    WatchSummary(DeviceWatch &watch, SummaryView &view, Now now = &std::chrono::system_clock::now);
    ~WatchSummary() override;
    WatchSummary(const WatchSummary &) = delete;
    WatchSummary &operator=(const WatchSummary &) = delete;

    std::string toolTip() const;

    void searchShown(int iconIndex) override;
    void deviceFound(const std::string &address) override;
    void deviceLost() override;
    void powerRequest(int mode, int seconds) override;
    void countdownAbandoned() override;
    void countdownCancelled(const std::string &reason) override;
    void powerLost() override;

private:
    enum class State { Searching, Watching, Lost };

    void changeTo(State state);

    DeviceWatch &watch_;
    SummaryView &view_;
    Now now_;
    State state_ = State::Searching;
    std::string address_;
    std::string firmware_;
    std::string lostSince_;   // "14:02"
};
