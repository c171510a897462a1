// The one thread that talks to the device: every library call runs here,
// one after the other, in the order asked for. Tasks on the event loop
// await a call (co_await device().call(job)) and go on with its result once
// the loop runs them again; nothing on the loop's thread ever waits for a
// reply.
#pragma once

#include "loop/EventLoop.h"
#include "loop/Task.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

class DeviceThread {
public:
    // Starts the thread; its results go back through loop.
    explicit DeviceThread(loop::EventLoop &loop);
    // The call in progress ends; the others are dropped; the thread ends.
    ~DeviceThread();
    DeviceThread(const DeviceThread &) = delete;
    DeviceThread &operator=(const DeviceThread &) = delete;

    // Runs job on the device thread, after the jobs already queued.
    void post(std::function<void()> job);
    // Nothing queued and nothing running.
    bool idle() const;

    // co_await call(job, inputs...): job(inputs...) runs on the device
    // thread; its result (or the exception it threw) comes back to the
    // awaiting task on the loop. A job carries no captures: its inputs are
    // copied in as arguments (GCC 12 destroys a lambda's captures twice when
    // the lambda is made inside a co_await expression).
    template <typename Job, typename... Inputs> auto call(Job job, Inputs... inputs);

    loop::EventLoop &loop() { return loop_; }

    // The program's device thread.
    static DeviceThread &current();
    static void install(DeviceThread *thread);

private:
    void run();

    loop::EventLoop &loop_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool running_ = false;   // a job is under way
    bool stopping_ = false;
    std::thread thread_;
};

// The program's device thread, shorter.
inline DeviceThread &device() { return DeviceThread::current(); }

template <typename R> class DeviceCall {
public:
    DeviceCall(DeviceThread &thread, std::function<R()> job)
        : thread_(thread), job_(std::move(job))
    {}

    bool await_ready() const noexcept { return false; }
    template <typename P> void await_suspend(std::coroutine_handle<P> handle)
    {
        thread_.post([state = state_, job = std::move(job_), loop = &thread_.loop(), handle,
                      life = loop::lifeOf(handle)]() mutable {
            try {
                if constexpr (std::is_void_v<R>)
                    job();
                else
                    state->value.emplace(job());
            } catch (...) {
                state->error = std::current_exception();
            }
            loop->post([handle, life] {
                if (life && *life) handle.resume();
            });
        });
    }
    R await_resume()
    {
        if (state_->error) std::rethrow_exception(state_->error);
        if constexpr (!std::is_void_v<R>) return std::move(*state_->value);
    }

private:
    struct Empty {};
    using Stored = std::conditional_t<std::is_void_v<R>, Empty, R>;
    struct State {
        std::optional<Stored> value;
        std::exception_ptr error;
    };

    DeviceThread &thread_;
    std::function<R()> job_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

template <typename Job, typename... Inputs> auto DeviceThread::call(Job job, Inputs... inputs)
{
    static_assert(std::is_trivially_destructible_v<Job>,
                  "a device job takes its inputs as arguments, not as captures");
    using R = std::invoke_result_t<Job &, Inputs &...>;
    return DeviceCall<R>(*this, std::function<R()>([job, inputs...]() mutable {
                             return std::invoke(job, inputs...);
                         }));
}
