#include "loop/TaskScope.h"

#include "loop/EventLoop.h"

#include <cstdio>

namespace loop {

void resumeLater(std::coroutine_handle<> handle, Life life)
{
    EventLoop::current().post([handle, life = std::move(life)] {
        if (life && *life) handle.resume();
    });
}

std::string describe(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return e.what();
    } catch (...) {
        return "an unknown exception";
    }
}

TaskScope::TaskScope()
    : life_(std::make_shared<bool>(true)), onError_([](std::exception_ptr error) {
          std::fprintf(stderr, "Pallix: a task ended with %s\n", describe(error).c_str());
      })
{}

TaskScope::~TaskScope()
{
    *life_ = false;
    for (Handle handle : tasks_)
        handle.destroy();
}

void TaskScope::spawn(Task<> task)
{
    const Handle handle = task.release();
    handle.promise().life = life_;
    const auto entry = tasks_.insert(tasks_.end(), handle);
    handle.promise().onDone = [this, entry] { finished(entry); };
    handle.resume();
}

void TaskScope::finished(std::list<Handle>::iterator task)
{
    const Handle handle = *task;
    tasks_.erase(task);
    const std::exception_ptr error = handle.promise().error;
    handle.destroy();
    if (error && onError_) onError_(error);
}

}   // namespace loop
