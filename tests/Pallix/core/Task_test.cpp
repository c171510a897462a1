// Tasks awaited one after another, as a client's queued requests are.
#include "TestLoop.h"
#include "loop/Task.h"
#include "loop/Waits.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

loop::Task<int> answeredAtOnce(int n) { co_return n; }

loop::Task<int> answeredLater(int n)
{
    co_await loop::delay{std::chrono::milliseconds(1)};
    co_return n;
}

loop::Task<long long> sumOf(int count, bool later)
{
    long long sum = 0;   // beyond 32 bits, which long is on Windows
    for (int i = 1; i <= count; ++i) {
        int n = 0;
        if (later)
            n = co_await answeredLater(i);
        else
            n = co_await answeredAtOnce(i);
        sum += n;
    }
    co_return sum;
}

loop::Task<int> failing()
{
    throw std::runtime_error("no answer");
    co_return 0;
}

loop::Task<std::string> caught()
{
    try {
        co_await failing();
    } catch (const std::runtime_error &error) {
        co_return error.what();
    }
    co_return "not thrown";
}

}   // namespace

// Half a million requests answered without waiting must not deepen the
// stack a frame each (which a debug build would overflow).
TEST(TaskTest, TasksThatEndAtOnceRunInALoopOfAnyLength)
{
    EXPECT_EQ(runTask(sumOf(500000, false)), 500000LL * 500001 / 2);
}

TEST(TaskTest, TasksThatWaitAndTasksThatThrowHandBackTheirOutcome)
{
    EXPECT_EQ(runTask(sumOf(20, true)), 210);
    EXPECT_EQ(runTask(caught()), "no answer");
}
