#include "core/RandomSource.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using orvenda::RandomSource;

TEST(RandomSource, SeedRepeatsTheSequence)
{
    auto& r = RandomSource::shared();
    r.seed(42);
    std::vector<double> first{r.uniform(), r.uniform(), r.uniform()};
    r.seed(42);
    for (double v : first)
        EXPECT_EQ(v, r.uniform());
}

TEST(RandomSource, DrawsSpreadOverTheWholeRange)
{
    auto& r = RandomSource::shared();
    r.seed(1);
    double low = 1, high = 0, sum = 0;
    bool faces[7] = {};
    constexpr int kDraws = 1000;
    for (int i = 0; i < kDraws; ++i) {
        const double u = r.uniform();
        low = std::min(low, u);
        high = std::max(high, u);
        sum += u;
        const long long k = r.integer(1, 6);
        if (k >= 1 && k <= 6)
            faces[k] = true;
    }
    EXPECT_LT(low, 0.01);
    EXPECT_GT(high, 0.99);
    EXPECT_NEAR(sum / kDraws, 0.5, 0.05);
    for (int k = 1; k <= 6; ++k)
        EXPECT_TRUE(faces[k]) << k << " never drawn";
}

TEST(RandomSource, StaysInRangeAcrossThreads)
{
    auto& r = RandomSource::shared();
    std::vector<std::thread> threads;
    std::atomic<int> bad{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) {
                double u = r.uniform();
                long long k = r.integer(6, 1);
                if (u < 0 || u >= 1 || k < 1 || k > 6)
                    ++bad;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(bad, 0);
}
