#include <windows.h>

#include <gtest/gtest.h>

TEST(PerformanceCounter, IsMonotonicAndMatchesItsFrequency) {
    LARGE_INTEGER frequency{}, before{}, after{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_GT(frequency.QuadPart, 0);
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    Sleep(20);
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    double seconds = double(after.QuadPart - before.QuadPart) / double(frequency.QuadPart);
    EXPECT_GE(seconds, 0.019);
    EXPECT_LT(seconds, 5.0);
}

TEST(PerformanceCounter, RefusesNullOutputs) {
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
    EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
}
