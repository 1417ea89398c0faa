#include "numeric/RandomDeviates.h"

#include "core/RandomSource.h"

#include <cmath>
#include <limits>
#include <set>

#include <gtest/gtest.h>

using orvenda::RandomDeviates;
using orvenda::RandomSource;

TEST(RandomDeviates, NormalDrawsCentreOnTheMean) {
    RandomSource::shared().seed(2024);
    RandomDeviates deviates(RandomSource::shared());
    double sum = 0.0;
    for (int i = 0; i < 10000; ++i)
        sum += deviates.randNorm(5, 2);
    EXPECT_NEAR(sum / 10000, 5.0, 0.08);
}

TEST(RandomDeviates, DrawsStayInTheirRange) {
    RandomSource::shared().seed(3);
    RandomDeviates deviates(RandomSource::shared());
    std::set<double> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(deviates.randInt(3, -1));
    EXPECT_EQ(seen, (std::set<double>{-1, 0, 1, 2, 3}));
    for (int i = 0; i < 50; ++i) {
        const double k = deviates.randBin(20, 0.3);
        EXPECT_TRUE(k >= 0 && k <= 20 && k == std::trunc(k)) << k;
    }
    EXPECT_EQ(deviates.randBin(20, 0), 0);
    EXPECT_EQ(deviates.randBin(20, 1), 20);
}

TEST(RandomDeviates, EveryWholeSeedIsItsOwn) {
    const double seeds[] = {0, 1, -1, 4294967296.0, -4294967296.0, 1e19, 2e19, 1e300};
    std::set<std::uint64_t> distinct;
    for (double s : seeds)
        distinct.insert(*RandomDeviates::seedFor(s));
    EXPECT_EQ(distinct.size(), std::size(seeds));
    EXPECT_EQ(RandomDeviates::seedFor(5.9), RandomDeviates::seedFor(5));
    EXPECT_FALSE(RandomDeviates::seedFor(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(RandomDeviates::seedFor(-std::numeric_limits<double>::infinity()));
}
