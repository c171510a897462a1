// A task run to its end by a program that has nothing else to do meanwhile
// (the command line): Qt's event loop runs until the task has ended.
#pragma once

#include "loop/TaskScope.h"

#include <QEventLoop>
#include <optional>
#include <type_traits>

template <typename T> T runToEnd(loop::Task<T> task)
{
    using Stored = std::conditional_t<std::is_void_v<T>, bool, T>;
    std::optional<Stored> result;
    std::exception_ptr error;
    QEventLoop waiting;
    loop::TaskScope scope;
    scope.spawn([](loop::Task<T> t, std::optional<Stored> &r, std::exception_ptr &e,
                   QEventLoop &w) -> loop::Task<> {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await std::move(t);
                r = true;
            } else {
                r = co_await std::move(t);
            }
        } catch (...) {
            e = std::current_exception();
            r.reset();
        }
        w.quit();
    }(std::move(task), result, error, waiting));
    if (scope.running() > 0) waiting.exec();
    if (error) std::rethrow_exception(error);
    if constexpr (!std::is_void_v<T>) return std::move(*result);
}
