#include "watch/MonitorState.h"

MonitorState &monitorState()
{
    static MonitorState state;
    return state;
}

void MonitorState::setWatching(bool watching) { changeTo(watching, holds_); }

void MonitorState::hold(MonitorHold reason) { changeTo(watching_, holds_ | unsigned(reason)); }

void MonitorState::release(MonitorHold reason) { changeTo(watching_, holds_ & ~unsigned(reason)); }

bool MonitorState::held(MonitorHold reason) const { return holds_ & unsigned(reason); }

void MonitorState::settle(loop::Duration time)
{
    settleEnd_ = loop::EventLoop::current().now() + time;
}

bool MonitorState::settling() const { return loop::EventLoop::current().now() < settleEnd_; }

void MonitorState::changeTo(bool watching, unsigned holds)
{
    const bool wasPolling = polling();
    const bool wasWatching = watching_;
    watching_ = watching;
    holds_ = holds;
    if (!observer_) return;
    if (watching_ != wasWatching) observer_->watchingChanged(watching_);
    if (polling() != wasPolling) observer_->pollingChanged(polling());
}

MonitorHoldScope::MonitorHoldScope(MonitorHold reason)
    : reason_(reason), took_(!monitorState().held(reason))
{
    if (took_) monitorState().hold(reason_);
}

MonitorHoldScope::~MonitorHoldScope()
{
    if (took_) monitorState().release(reason_);
}
