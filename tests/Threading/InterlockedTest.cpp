#include "platform/win32/Interlocked.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(InterlockedTest, ResultsAreThoseOfWin32) {
    std::atomic<LONG> a{5};
    EXPECT_EQ(5, InterlockedExchange(&a, 9));
    EXPECT_EQ(10, InterlockedIncrement(&a));
    EXPECT_EQ(9, InterlockedDecrement(&a));
    EXPECT_EQ(9, InterlockedCompareExchange(&a, 1, 4));  // no match: unchanged
    EXPECT_EQ(9, a.load());
    EXPECT_EQ(9, InterlockedCompareExchange(&a, 1, 9));
    EXPECT_EQ(1, a.load());

    volatile LONG v = 5;
    EXPECT_EQ(5, InterlockedExchange(&v, 9));
    EXPECT_EQ(10, InterlockedIncrement(&v));
    EXPECT_EQ(9, InterlockedDecrement(&v));
    EXPECT_EQ(9, InterlockedCompareExchange(&v, 1, 4));
    EXPECT_EQ(9, InterlockedCompareExchange(&v, 1, 9));
    EXPECT_EQ(1, v);
}

TEST(InterlockedTest, CountsFromSeveralThreadsAreNotLost) {
    std::atomic<LONG> a{0};
    volatile LONG v = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                InterlockedIncrement(&a);
                InterlockedIncrement(&v);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(40000, a.load());
    EXPECT_EQ(40000, InterlockedCompareExchange(&v, 0, 0));
}
