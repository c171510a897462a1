// Coroutines on the event loop. A Task starts when it is awaited, or when a
// TaskScope spawns it; it runs on the loop's thread between its suspension
// points. What it waits for (a device call, a timer, a person's answer)
// resumes it through the loop, and only while its root task still lives:
// destroying a TaskScope destroys its unfinished tasks, and nothing of
// theirs runs afterwards.
//
// GCC 12 miscompiles two forms, so the code here avoids them: a co_await in
// the condition of an if or a loop (the coroutine resumes a finished frame),
// and a lambda with captures made inside a co_await expression (its
// captures are destroyed twice). Await into a named value first; give
// device jobs their inputs as arguments.
#pragma once

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace loop {

// Whether the root task a coroutine belongs to still lives. Read and
// written on the loop's thread only.
using Life = std::shared_ptr<bool>;

namespace detail {

struct PromiseBase {
    std::coroutine_handle<> continuation;   // the task that awaits this one
    std::exception_ptr error;
    Life life;
    std::function<void()> onDone;   // a root's end, for its scope
    bool startedByAwaiter = false;  // its awaiter's await_suspend is still on the stack

    std::suspend_always initial_suspend() noexcept { return {}; }

    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <typename P> std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept
        {
            PromiseBase &promise = h.promise();
            // Ended before its awaiter's await_suspend returned: that goes on
            // with the awaiting task, without a frame more on the stack.
            if (promise.startedByAwaiter) return std::noop_coroutine();
            if (promise.continuation) return promise.continuation;
            // A root: its scope destroys it here, so nothing of it is touched after.
            if (promise.onDone) std::exchange(promise.onDone, nullptr)();
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { error = std::current_exception(); }
};

template <typename T> struct Promise : PromiseBase {
    std::optional<T> value;
    template <typename U> void return_value(U &&v) { value.emplace(std::forward<U>(v)); }
    T take()
    {
        if (error) std::rethrow_exception(error);
        return std::move(*value);
    }
};

template <> struct Promise<void> : PromiseBase {
    void return_void() noexcept {}
    void take()
    {
        if (error) std::rethrow_exception(error);
    }
};

}   // namespace detail

template <typename T = void> class [[nodiscard]] Task {
public:
    struct promise_type : detail::Promise<T> {
        Task get_return_object() { return Task(Handle::from_promise(*this)); }
    };
    using Handle = std::coroutine_handle<promise_type>;

    Task(Task &&other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task &operator=(Task &&other) noexcept
    {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    ~Task() { reset(); }
    Task(const Task &) = delete;
    Task &operator=(const Task &) = delete;

    struct Awaiter {
        Handle handle;
        bool await_ready() noexcept { return false; }
        // Runs the task at once. One that ends without waiting hands back
        // to the awaiting task by returning false rather than by resuming
        // it: a loop over such tasks would otherwise nest a call each
        // round wherever the compiler makes no tail call (debug builds).
        template <typename P> bool await_suspend(std::coroutine_handle<P> awaiting)
        {
            detail::PromiseBase &promise = handle.promise();
            promise.continuation = awaiting;
            promise.life = awaiting.promise().life;
            promise.startedByAwaiter = true;
            handle.resume();
            if (handle.done()) return false;
            promise.startedByAwaiter = false;
            return true;
        }
        T await_resume() { return handle.promise().take(); }
    };

    // Awaited by another task: runs now, and hands its result (or its
    // exception) to the awaiting task when it ends.
    Awaiter operator co_await() && noexcept { return Awaiter{handle_}; }

    Handle release() { return std::exchange(handle_, {}); }

private:
    explicit Task(Handle handle) : handle_(handle) {}
    void reset()
    {
        if (handle_) std::exchange(handle_, {}).destroy();
    }

    Handle handle_;
};

// The life of the task that awaits, for awaiters that resume it later.
template <typename P> Life lifeOf(std::coroutine_handle<P> handle)
{
    return handle.promise().life;
}

// Resumes a suspended task from the loop, unless its root has gone.
void resumeLater(std::coroutine_handle<> handle, Life life);

}   // namespace loop
