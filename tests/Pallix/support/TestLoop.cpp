#include "TestLoop.h"

#include <stdexcept>

namespace {
TestRunner *installed = nullptr;
}

TestRunner &TestRunner::current()
{
    if (!installed) throw std::logic_error("no test runner installed");
    return *installed;
}

void TestRunner::install(TestRunner *runner) { installed = runner; }

bool waitUntil(const std::function<bool()> &pred, int timeoutMs)
{
    return TestRunner::current().runUntil(pred, timeoutMs);
}

void letLoopRun(int milliseconds)
{
    waitUntil([] { return false; }, milliseconds);
}
