#include "watch/WatchSummary.h"

#include "app/AppState.h"
#include "app/LocalTime.h"
#include "watch/DeviceWatch.h"
#include "watch/WinShutdown.h"

namespace {

const std::string Name = "Pallix Control Center";

// "Shutdown", or a plain word for codes without a name.
std::string actionOf(int mode)
{
    const std::string name = actionName(mode);
    return name.empty() ? "The power action" : name;
}

std::string hoursAndMinutes(std::chrono::system_clock::time_point when)
{
    return localTime(when, "%H:%M");
}

}   // namespace

WatchSummary::WatchSummary(DeviceWatch &watch, SummaryView &view, Now now)
    : watch_(watch), view_(view), now_(std::move(now))
{
    watch_.addObserver(this);
}

WatchSummary::~WatchSummary() { watch_.removeObserver(this); }

std::string WatchSummary::toolTip() const
{
    switch (state_) {
    case State::Watching: return Name + " — watching " + address_ + " (firmware " + firmware_ + ")";
    case State::Lost: return Name + " — device lost since " + lostSince_;
    case State::Searching: break;
    }
    return Name + " — searching";
}

void WatchSummary::deviceFound(const std::string &address)
{
    const bool wasLost = state_ == State::Lost;
    address_ = address;
    firmware_ = appState().firmwareVersion;
    changeTo(State::Watching);
    if (wasLost) view_.notify("Pallix found again", "Watching the Pallix at " + address_ + " again.");
}

void WatchSummary::deviceLost()
{
    lostSince_ = hoursAndMinutes(now_());
    changeTo(State::Lost);
    view_.notify("Pallix lost", "The Pallix at " + address_
                                    + " does not answer; the Control Center searches for it.");
}

// A search of its own (at start, or asked for from the menu) is not a loss;
// a search that finds the device again may have found another one first.
void WatchSummary::searchShown(int iconIndex)
{
    if (state_ != State::Watching) return;
    if (iconIndex != 0) {
        changeTo(State::Searching);
        return;
    }
    address_ = appState().firstDevice();
    firmware_ = appState().firmwareVersion;
    changeTo(State::Watching);
}

void WatchSummary::powerRequest(int mode, int seconds)
{
    view_.notify("Power action requested", actionOf(mode) + " in " + std::to_string(seconds)
                                               + " second(s). Cancel it in the countdown window.");
}

void WatchSummary::countdownCancelled(const std::string &)
{
    view_.notify("Power action cancelled", "The countdown was cancelled; nothing runs.");
}

void WatchSummary::countdownAbandoned()
{
    view_.notify("Power action abandoned",
                 "An enabled power input of the Pallix is active; nothing runs.");
}

void WatchSummary::powerLost()
{
    view_.notify("Pallix lost power", "Its configuration settings were lost.");
}

void WatchSummary::changeTo(State state)
{
    state_ = state;
    view_.showToolTip(toolTip());
}
