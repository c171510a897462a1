// A task run to its end by a program that has nothing else to do meanwhile
// (the command line): Qt's event loop runs until the task has ended.
#pragma once

#include "loop/Outcome.h"

#include <QEventLoop>

template <typename T> T runToEnd(loop::Task<T> task)
{
    loop::Outcome<T> outcome;
    QEventLoop waiting;
    loop::TaskScope scope;
    outcome.follow(scope, std::move(task), [&waiting] { waiting.quit(); });
    if (!outcome.known()) waiting.exec();
    return outcome.take();
}
