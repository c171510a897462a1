#include "device/DeviceThread.h"

#include "device/NrAPI.h"

#include <cstdio>
#include <cstdlib>

namespace {
DeviceThread *installed = nullptr;
}

DeviceThread::DeviceThread(loop::EventLoop &loop) : loop_(loop)
{
    thread_ = std::thread([this] { run(); });
}

DeviceThread::~DeviceThread()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_one();
    thread_.join();
    if (installed == this) installed = nullptr;
}

void DeviceThread::post(std::function<void()> job)
{
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) return;
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

bool DeviceThread::idle() const
{
    const std::lock_guard lock(mutex_);
    return jobs_.empty() && !running_;
}

void DeviceThread::run()
{
    NrAPI::setOwnerThread(true);
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            running_ = false;
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) break;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            running_ = true;
        }
        job();
    }
    NrAPI::setOwnerThread(false);
}

DeviceThread &DeviceThread::current()
{
    if (!installed) {
        std::fputs("Pallix: no device thread installed\n", stderr);
        std::abort();
    }
    return *installed;
}

void DeviceThread::install(DeviceThread *thread) { installed = thread; }
