// A flag raised for as long as a scope (or a task's frame) lives: "a tick
// runs", "a test runs".
#pragma once

namespace loop {

class Raised {
public:
    explicit Raised(bool &flag) : flag_(flag) { flag_ = true; }
    ~Raised() { flag_ = false; }
    Raised(const Raised &) = delete;
    Raised &operator=(const Raised &) = delete;

private:
    bool &flag_;
};

}   // namespace loop
