#include <gtest/gtest.h>

#include "RequestLog.h"

using namespace pallixsim;

TEST(SimRequestLog, KeepsTheNewestEntriesButCountsThemAll) {
    RequestLog log;
    const int total = static_cast<int>(RequestLog::kCapacity) + 5;
    for (int i = 0; i < total; ++i) {
        Request request;
        request.value = i;
        log.add(request);
    }
    const auto entries = log.entries();
    ASSERT_EQ(entries.size(), RequestLog::kCapacity);
    EXPECT_EQ(entries.front().value, 5);
    EXPECT_EQ(entries.back().value, total - 1);
    EXPECT_EQ(log.count(), static_cast<size_t>(total));
    log.clear();
    EXPECT_EQ(log.count(), 0u);
    EXPECT_TRUE(log.entries().empty());
}
