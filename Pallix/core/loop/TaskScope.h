// Owns the tasks an object starts: they run until they end by themselves
// or until the scope goes, which destroys the unfinished ones. An object
// whose tasks use it keeps the scope as its last member, so the tasks go
// before anything they use.
#pragma once

#include "loop/Task.h"

#include <functional>
#include <list>
#include <string>

namespace loop {

class TaskScope {
public:
    // An exception that ends a task unhandled; by default written to
    // standard error. Tasks report their own errors; this is the last resort.
    using ErrorHandler = std::function<void(std::exception_ptr)>;

    TaskScope();
    ~TaskScope();
    TaskScope(const TaskScope &) = delete;
    TaskScope &operator=(const TaskScope &) = delete;

    // Starts the task at once; it runs until it first waits.
    void spawn(Task<> task);
    // Unfinished tasks of this scope.
    std::size_t running() const { return tasks_.size(); }
    void setErrorHandler(ErrorHandler handler) { onError_ = std::move(handler); }

private:
    using Handle = Task<>::Handle;
    void finished(std::list<Handle>::iterator task);

    Life life_;
    std::list<Handle> tasks_;
    ErrorHandler onError_;
};

// The text of an exception, for reports.
std::string describe(std::exception_ptr error);

}   // namespace loop
