#include "numeric/DateHelpers.h"

#include <cmath>

#include <gtest/gtest.h>

using orvenda::DateHelpers;

TEST(DateHelpers, GregorianValidity) {
    EXPECT_TRUE(DateHelpers::validateYear(2024, 2, 29));
    EXPECT_FALSE(DateHelpers::validateYear(2023, 2, 29));
    EXPECT_FALSE(DateHelpers::validateYear(1900, 2, 29));
    EXPECT_TRUE(DateHelpers::validateYear(2000, 2, 29));
    EXPECT_FALSE(DateHelpers::validateYear(2024, 13, 1));
    EXPECT_FALSE(DateHelpers::validateYear(2024, 4, 31));
    EXPECT_FALSE(DateHelpers::validateYear(2024, 1, 0));
}

TEST(DateHelpers, DayOfWeekStartsOnSunday) {
    EXPECT_EQ(DateHelpers::dayOfWeekForYear(1970, 1, 1), 5);  // Thursday
    EXPECT_EQ(DateHelpers::dayOfWeekForYear(2024, 3, 10), 1); // Sunday
    EXPECT_EQ(DateHelpers::dayOfWeekForYear(2000, 1, 1), 7);  // Saturday
    EXPECT_EQ(DateHelpers::dayOfWeekForYear(2023, 2, 29), 0);
}

TEST(DateHelpers, DateNumbersInBothOrders) {
    EXPECT_TRUE(DateHelpers::validateDate(1.0207, 0));     // 2 January 2007
    EXPECT_FALSE(DateHelpers::validateDate(13.0107, 0));
    EXPECT_FALSE(DateHelpers::validateDate(1.02071, 0));   // a fifth decimal
    EXPECT_FALSE(DateHelpers::validateDate(-1.0207, 0));
    EXPECT_FALSE(DateHelpers::validateDate(NAN, 0));
    EXPECT_TRUE(DateHelpers::validateDate(201.07, 1));     // 2 January 2007
    EXPECT_FALSE(DateHelpers::validateDate(3202.07, 1));
}

TEST(DateHelpers, DaysBetweenDates) {
    // Typed examples in MM.DDYY are in tests/cases/numeric-values.cases.
    EXPECT_EQ(DateHelpers::deltaDate1(101.07, 101.08, 1), 365.0);
    EXPECT_TRUE(std::isnan(DateHelpers::deltaDate1(2.3024, 3.0124, 0)));
}
