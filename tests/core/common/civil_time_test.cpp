#include <gtest/gtest.h>

#include "core/common/civil_time.hpp"

using namespace verdanel;

TEST(CivilTime, OverflowingFieldsCarryOver) {
    EXPECT_EQ(fromCivilSeconds(toCivilSeconds({2010, 13, 1, 0, 0, 0})), (CivilTime{2011, 1, 1, 0, 0, 0}));
    EXPECT_EQ(fromCivilSeconds(toCivilSeconds({2010, 2, 29, 0, 0, 0})), (CivilTime{2010, 3, 1, 0, 0, 0}));
    EXPECT_EQ(fromCivilSeconds(toCivilSeconds({2012, 2, 29, 23, 59, 60})), (CivilTime{2012, 3, 1, 0, 0, 0}));
    EXPECT_EQ(fromCivilSeconds(toCivilSeconds({2010, 1, 0, 0, 0, 0})), (CivilTime{2009, 12, 31, 0, 0, 0}));
}

TEST(CivilTime, NinetyDaysAfterTheLastSprayDate) {
    // 14 weekly sprays from 1 June: the last on 31 August, the period ends 29 November.
    CivilTime last = addDays(CivilTime{2025, 6, 1, 10, 0, 0}, 13 * 7);
    EXPECT_EQ(last, (CivilTime{2025, 8, 31, 10, 0, 0}));
    EXPECT_EQ(addDays(last, 90), (CivilTime{2025, 11, 29, 10, 0, 0}));
    EXPECT_EQ(addDays(CivilTime{2024, 12, 31, 0, 0, 0}, 1), (CivilTime{2025, 1, 1, 0, 0, 0}));
}

TEST(CivilTime, MonthLengthsAndLeapYears) {
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2023, 2), 28);
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2023, 4), 30);
    EXPECT_FALSE(isValidDate(2023, 2, 29));
    EXPECT_FALSE(isValidDate(2023, 13, 1));
}

TEST(CivilTime, SprayDateTextsRoundTripAndRejectNonsense) {
    CivilTime t{2010, 6, 1, 10, 0, 0};
    EXPECT_EQ(formatSprayDate(t), "2010-06-01 10:00");
    EXPECT_EQ(parseSprayDate("2010-06-01 10:00"), t);
    EXPECT_EQ(formatDate(t), "2010-06-01");
    EXPECT_FALSE(parseSprayDate("2010-02-30 10:00"));
    EXPECT_FALSE(parseSprayDate("2010-06-01 24:00"));
    EXPECT_FALSE(parseSprayDate("2010-6-1 10:00"));
    EXPECT_FALSE(parseDate("2010-06-01x"));
    EXPECT_EQ(parseDate("2011-12-31"), (CivilTime{2011, 12, 31, 0, 0, 0}));
}
