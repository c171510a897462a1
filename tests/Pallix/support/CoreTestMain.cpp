// gtest main for tests below the windows: the core's own event loop and a
// device thread, no toolkit.
#include "TestLoop.h"
#include "device/DeviceThread.h"
#include "loop/StdEventLoop.h"

#include <gtest/gtest.h>

namespace {

class StdRunner : public TestRunner {
public:
    explicit StdRunner(loop::StdEventLoop &loop) : loop_(loop) {}
    bool runUntil(const std::function<bool()> &pred, int timeoutMs) override
    {
        return loop_.runUntil(pred, loop::Duration(timeoutMs));
    }

private:
    loop::StdEventLoop &loop_;
};

}   // namespace

int main(int argc, char **argv)
{
    loop::StdEventLoop loop;
    loop::EventLoop::install(&loop);
    DeviceThread device(loop);
    DeviceThread::install(&device);
    StdRunner runner(loop);
    TestRunner::install(&runner);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    TestRunner::install(nullptr);
    return result;
}
