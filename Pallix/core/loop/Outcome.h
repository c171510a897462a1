// How a task ended, for code outside every task (a program's main, a test)
// that runs the loop until it knows: the task's result, or what it threw.
#pragma once

#include "loop/TaskScope.h"

#include <exception>
#include <functional>
#include <optional>
#include <type_traits>

namespace loop {

template <typename T> class Outcome {
public:
    bool known() const { return known_; }
    // The result, or the exception the task ended with.
    T take()
    {
        if (error_) std::rethrow_exception(error_);
        if constexpr (!std::is_void_v<T>) return std::move(*result_);
    }

    // Starts task in scope; once it has ended, the outcome is known and
    // then is called.
    void follow(TaskScope &scope, Task<T> task, std::function<void()> then = {})
    {
        then_ = std::move(then);
        scope.spawn(record(std::move(task), *this));
    }

private:
    using Stored = std::conditional_t<std::is_void_v<T>, bool, T>;

    static Task<> record(Task<T> task, Outcome &outcome)
    {
        try {
            if constexpr (std::is_void_v<T>)
                co_await std::move(task);
            else
                outcome.result_ = co_await std::move(task);
        } catch (...) {
            outcome.error_ = std::current_exception();
        }
        outcome.known_ = true;
        if (outcome.then_) outcome.then_();
    }

    std::optional<Stored> result_;
    std::exception_ptr error_;
    bool known_ = false;
    std::function<void()> then_;
};

}   // namespace loop
