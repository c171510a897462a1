// The core's event loop on Qt's: posted work as queued calls on the main
// thread, timers as QTimers, quit as QCoreApplication::exit.
#pragma once

#include "loop/EventLoop.h"

#include <QObject>
#include <map>
#include <memory>

class QTimer;

class QtEventLoop : public loop::EventLoop {
public:
    QtEventLoop();
    ~QtEventLoop() override;

    void post(std::function<void()> fn) override;
    loop::TimerId startTimer(loop::Duration delay, std::function<void()> fn) override;
    void cancelTimer(loop::TimerId id) override;
    loop::Clock::time_point now() const override;
    void quit(int exitCode) override;

private:
    std::unique_ptr<QObject> context_;   // lives on the thread that made the loop
    std::map<loop::TimerId, QTimer *> timers_;
    loop::TimerId nextId_ = 1;
};
