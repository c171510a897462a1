// A timer tick never runs nested inside itself, and never while a library
// call is in progress (a box shown from inside the library runs events):
// such a tick is skipped.
#pragma once

class TickGuard {
public:
    explicit TickGuard(bool &running);
    ~TickGuard();
    TickGuard(const TickGuard &) = delete;
    TickGuard &operator=(const TickGuard &) = delete;

    bool entered() const { return entered_; }

private:
    bool &running_;
    bool entered_;
};
