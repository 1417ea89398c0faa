#include "core/RandomSource.h"

#include <gtest/gtest.h>
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
