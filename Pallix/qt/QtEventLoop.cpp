#include "QtEventLoop.h"

#include <QCoreApplication>
#include <QTimer>

QtEventLoop::QtEventLoop() : context_(std::make_unique<QObject>()) {}

QtEventLoop::~QtEventLoop()
{
    for (auto &[id, timer] : timers_)
        delete timer;
}

// Safe from any thread: the call is queued to the context's thread.
void QtEventLoop::post(std::function<void()> fn)
{
    QMetaObject::invokeMethod(context_.get(), std::move(fn), Qt::QueuedConnection);
}

loop::TimerId QtEventLoop::startTimer(loop::Duration delay, std::function<void()> fn)
{
    const loop::TimerId id = nextId_++;
    auto *timer = new QTimer(context_.get());
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, context_.get(), [this, id, fn = std::move(fn)] {
        cancelTimer(id);
        fn();
    });
    timers_[id] = timer;
    timer->start(int(std::max<loop::Duration::rep>(delay.count(), 0)));
    return id;
}

void QtEventLoop::cancelTimer(loop::TimerId id)
{
    const auto found = timers_.find(id);
    if (found == timers_.end()) return;
    found->second->stop();
    found->second->deleteLater();
    timers_.erase(found);
}

loop::Clock::time_point QtEventLoop::now() const { return loop::Clock::now(); }

void QtEventLoop::quit(int exitCode) { QCoreApplication::exit(exitCode); }
