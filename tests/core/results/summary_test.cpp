#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/common/number_text.hpp"
#include "core/results/result_summary.hpp"

using namespace verdanel;

namespace {
// A buffer whose rows hold the given water values (the other series stay 0).
struct WaterRow {
    int month, day, hour, minute;
    double water;
};

ResultBuffer waterBuffer(std::initializer_list<WaterRow> rows, ModelKind kind = ModelKind::Stream) {
    ResultBuffer b(kind);
    for (const WaterRow& w : rows) {
        ResultRow r;
        r.month = w.month;
        r.day = w.day;
        r.hour = w.hour;
        r.minute = w.minute;
        r.values[static_cast<std::size_t>(b.waterIndex())] = w.water;
        b.rows.push_back(r);
    }
    return b;
}

std::string timeToWaterMaximum(int hour, int minute) {
    return summarize(waterBuffer({{6, 1, 0, 0, 0.0}, {6, 1, hour, minute, 1.0}, {6, 1, 23, 59, 0.0}}), 2010)
        .waterTimeToMaximum;
}
}  // namespace

TEST(ResultSummary, NothingAboveZeroGivesDashesEverywhere) {
    const SummaryTexts dashes{"-", "-", "-", "-", "-", "-", "-"};
    EXPECT_EQ(summarize(waterBuffer({{6, 1, 10, 0, 0.0}, {6, 1, 10, 1, 0.0}}), 2010), dashes);
    EXPECT_EQ(summarize(ResultBuffer(ModelKind::Pond), 2010), dashes);
}

TEST(ResultSummary, TimeToMaximumCountsFromTenOClockOfTheMaximumsDay) {
    EXPECT_EQ(timeToWaterMaximum(10, 0), "-");
    EXPECT_EQ(timeToWaterMaximum(10, 5), "05분");
    EXPECT_EQ(timeToWaterMaximum(13, 30), "03시간 30분");
    // Before 10:00 the maximum is counted from 10:00 of the day before.
    EXPECT_EQ(timeToWaterMaximum(9, 0), "23시간 00분");
    EXPECT_EQ(timeToWaterMaximum(0, 0), "14시간 00분");
}

TEST(ResultSummary, EqualMaximaKeepTheEarlierRow) {
    ResultSummary s = computeSummary(
        waterBuffer({{6, 1, 10, 0, 0.0}, {6, 1, 10, 20, 2.5}, {6, 1, 12, 0, 2.5}, {6, 1, 12, 1, 0.01}}), 2010);
    EXPECT_EQ(s.water.maximum, 2.5);
    EXPECT_EQ(s.water.hour, 10);
    EXPECT_EQ(s.water.minute, 20);
    EXPECT_EQ(s.waterMinutesToMaximum, 20);
    EXPECT_EQ(s.residenceMinutes, 121);  // the residence starts at the earlier maximum too
    EXPECT_EQ(summaryTexts(s).waterResidence, "02시간 01분");
}

TEST(ResultSummary, ResidenceRunsFromTheMaximumToTheFirstLevelAtOrBelowTheThreshold) {
    // A maximum of 0.04 or less ends its own residence at once.
    ResultSummary low = computeSummary(waterBuffer({{6, 1, 10, 30, 0.03}, {6, 1, 10, 31, 0.02}}), 2010);
    EXPECT_EQ(low.residenceMinutes, 30);
    // Values at or below the threshold before the maximum do not count; exactly 0.04 ends it.
    SummaryTexts t = summarize(waterBuffer({{6, 1, 9, 0, 0.0},
                                            {6, 1, 10, 0, 0.5},
                                            {6, 1, 10, 10, 0.9},
                                            {6, 2, 0, 0, 0.041},
                                            {6, 3, 13, 4, 0.04},
                                            {6, 3, 13, 5, 0.0}}),
                               2010);
    EXPECT_EQ(t.waterMaximum, "9.000000e-001");
    EXPECT_EQ(t.waterTimeToMaximum, "10분");
    EXPECT_EQ(t.waterResidence, "02일 03시간 04분");
    // Never back down to 0.04: no residence.
    EXPECT_EQ(summarize(waterBuffer({{6, 1, 11, 0, 3.0}, {6, 1, 11, 1, 0.5}}), 2010).waterResidence, "-");
    // An end before 10:00 of the maximum's day is a negative count, not moved a day on.
    EXPECT_EQ(summarize(waterBuffer({{6, 1, 9, 0, 0.7}, {6, 1, 9, 30, 0.01}}), 2010).waterResidence, "-30분");
    // Units switch at an hour and at a day.
    EXPECT_EQ(residenceText(59), "59분");
    EXPECT_EQ(residenceText(1439), "23시간 59분");
    EXPECT_EQ(residenceText(1440), "01일 00시간 00분");
}

TEST(ResultSummary, DatesArePlacedInTheStartYearAndTheYearAfterNewYear) {
    // 28 February 10:00 to 1 March 10:00 is two days in a leap year, one otherwise.
    const ResultBuffer b = waterBuffer({{2, 28, 10, 0, 5.0}, {2, 29, 10, 0, 1.0}, {3, 1, 10, 0, 0.0}});
    EXPECT_EQ(summarize(b, 2012).waterResidence, "02일 00시간 00분");
    EXPECT_EQ(summarize(b, 2011).waterResidence, "01일 00시간 00분");
    // Rows in time order that run into January are in the next year: the
    // residence is the 15 hours from 10:00 on 31 December.
    const ResultBuffer crossing = waterBuffer({{12, 31, 12, 0, 5.0}, {12, 31, 23, 0, 1.0}, {1, 1, 1, 0, 0.0}});
    EXPECT_EQ(computeSummary(crossing, 2010).residenceMinutes, 15 * 60);
    // Across the end of February of a leap year that follows New Year.
    const ResultBuffer intoLeapYear =
        waterBuffer({{12, 30, 10, 0, 0.0}, {12, 31, 10, 30, 5.0}, {2, 28, 10, 30, 1.0}, {3, 1, 10, 30, 0.0}});
    EXPECT_EQ(summarize(intoLeapYear, 2011).waterResidence, "61일 00시간 30분");
    EXPECT_EQ(summarize(intoLeapYear, 2010).waterResidence, "60일 00시간 30분");
}

TEST(ResultSummary, AirAndSoilAreTheFirstSprayedStripOfEachModel) {
    for (ModelKind kind : {ModelKind::Stream, ModelKind::Ditch}) {
        ResultBuffer b(kind);
        ResultRow r{6, 1, 10, 0, {}};
        for (int k = 0; k < b.valueCount; ++k) r.values[static_cast<std::size_t>(k)] = 100 + k;
        b.rows.push_back(r);
        ResultRow later{6, 1, 11, 15, {}};
        later.values[static_cast<std::size_t>(b.airIndex())] = 1e-5;
        later.values[static_cast<std::size_t>(b.soilIndex())] = 1e6;
        b.rows.push_back(later);

        const SummaryTexts t = summarize(b, 2010);
        const int soil = kind == ModelKind::Stream ? 5 : 3;
        EXPECT_EQ(b.soilIndex(), soil);
        EXPECT_EQ(t.airMaximum, "1.000000e+002");
        EXPECT_EQ(t.airTimeToMaximum, "-");
        EXPECT_EQ(t.soilMaximum, "1.000000e+006");
        EXPECT_EQ(t.soilTimeToMaximum, "01시간 15분");
        EXPECT_EQ(t.waterMaximum, kind == ModelKind::Stream ? "1.130000e+002" : "1.070000e+002");
        EXPECT_EQ(t.waterResidence, "01시간 15분");
    }
}

// Values that print alike as "%e" are equal for the summary, as they were in
// a store of "%e" texts; values that print differently are not.
TEST(ResultSummary, MaximaTiesAndTheResidenceThresholdAreJudgedOnThePrintedValue) {
    struct Case {
        const char* what;
        std::vector<WaterRow> rows;  // 1 June; the water series
        SummaryTexts expected;       // water maximum, time to maximum, residence (the rest "-")
    };
    auto water = [](std::string maximum, std::string time, std::string residence) {
        return SummaryTexts{maximum, time, residence, "-", "-", "-", "-"};
    };
    const std::vector<Case> cases = {
        // The default 14-spray Ditch run on 10 August: Cair(spray1) at 10:01 to
        // 10:03, equal to seven digits and different from the tenth on.
        {"three rows print the same maximum: the first counts",
         {{6, 1, 10, 0, 5.258211616619792e-02},
          {6, 1, 10, 1, 1.701040349440880e-01},
          {6, 1, 10, 2, 1.701040349712843e-01},
          {6, 1, 10, 3, 1.701040349712926e-01},
          {6, 1, 10, 4, 1.175219188051401e-01},
          {6, 1, 10, 5, 2.725833714298204e-11}},
         water("1.701040e-001", "01분", "05분")},
        {"a difference in the seventh digit is a greater value",
         {{6, 1, 10, 1, 1.701040e-01}, {6, 1, 10, 2, 1.701041e-01}, {6, 1, 10, 3, 0.0}},
         water("1.701041e-001", "02분", "03분")},
        {"rounding up into the next decade ties with it",
         {{6, 1, 10, 6, 9.99999951e-5}, {6, 1, 10, 7, 1.0e-4}, {6, 1, 10, 8, 0.0}},
         water("1.000000e-004", "06분", "06분")},
        {"a level that prints as 4.000000e-002 ends the residence",
         {{6, 1, 10, 10, 2.0}, {6, 1, 11, 0, 0.0400000049}, {6, 1, 12, 0, 0.0}},
         water("2.000000e+000", "10분", "01시간 00분")},
        {"a level that prints as 4.000001e-002 does not",
         {{6, 1, 10, 10, 2.0}, {6, 1, 11, 0, 0.0400000051}, {6, 1, 12, 0, 0.0}},
         water("2.000000e+000", "10분", "02시간 00분")},
        {"a maximum that prints as the threshold ends at once",
         {{6, 1, 10, 20, 0.0400000049}, {6, 1, 10, 21, 0.04}},
         water("4.000000e-002", "20분", "20분")},
        {"the smallest positive value is a maximum",
         {{6, 1, 10, 0, 0.0}, {6, 1, 10, 30, 4.9e-324}, {6, 1, 10, 31, 0.0}},
         water("4.940656e-324", "30분", "30분")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultBuffer b(ModelKind::Ditch);
        for (const WaterRow& w : c.rows) {
            ResultRow r{w.month, w.day, w.hour, w.minute, {}};
            r.values[static_cast<std::size_t>(b.waterIndex())] = w.water;
            b.rows.push_back(r);
        }
        EXPECT_EQ(summarize(b, 2010), c.expected);
        // The same rows as air and soil series give the same maximum and time.
        for (ResultRow& r : b.rows) r.values[0] = r.values[3] = r.values[7];
        const SummaryTexts all = summarize(b, 2010);
        EXPECT_EQ(all.airMaximum, c.expected.waterMaximum);
        EXPECT_EQ(all.airTimeToMaximum, c.expected.waterTimeToMaximum);
        EXPECT_EQ(all.soilTimeToMaximum, c.expected.waterTimeToMaximum);
    }
}

// The summary keeps only the rows that may still print as the greatest; on
// long series it must find what a search over every row finds: the first row
// that prints like the greatest value, and the first row from there on that
// prints at most the residence threshold.
TEST(ResultSummary, RowByRowFindsWhatASearchOfEveryRowFinds) {
    struct Case {
        const char* what;
        double (*water)(int minute);
    };
    const Case cases[] = {
        {"a slow rise: every row a record, all within a millionth",
         [](int i) { return 1 + i * 1e-9 + (i > 4000 ? -0.99 : 0.0); }},
        {"a fast rise to a plateau that ties as printed",
         [](int i) { return std::min(i, 3000) * 1e-3 + (i % 7) * 1e-12; }},
        {"peaks of one printed height: the first of them",
         [](int i) { return i % 500 == 250 ? 0.7 + (i / 500) * 1e-9 : 0.01; }},
        {"a later peak one printed digit higher",
         [](int i) { return i == 900 ? 0.5 : i == 4100 ? 0.5000006 : i % 50 * 1e-3; }},
        {"the water leaves, then a greater peak that never leaves",
         [](int i) { return i < 2000 ? 2.0 * std::exp(-i / 100.0) : 3.0 - i * 1e-5; }},
    };
    const double left = greatestPrintedAlike(kResidenceThreshold);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultBuffer b(ModelKind::Ditch);
        constexpr int kRows = 5000;  // from 00:00 of 1 June, one a minute
        for (int i = 0; i < kRows; ++i) {
            ResultRow r;
            r.month = 6;
            r.day = 1 + i / 1440;
            r.hour = i / 60 % 24;
            r.minute = i % 60;
            r.values[static_cast<std::size_t>(b.waterIndex())] = c.water(i);
            b.rows.push_back(r);
        }
        const auto water = [&b](std::size_t i) { return b.rows[i].values[static_cast<std::size_t>(b.waterIndex())]; };
        double greatest = 0;
        for (std::size_t i = 0; i < b.rows.size(); ++i) greatest = std::max(greatest, water(i));
        std::size_t peak = 0, leaves = kRows;
        while (water(peak) < leastPrintedAlike(greatest)) ++peak;
        for (std::size_t i = peak; i < b.rows.size() && leaves == kRows; ++i)
            if (water(i) <= left) leaves = i;

        const ResultSummary s = computeSummary(b, 2010);
        EXPECT_EQ(s.water.row, peak);
        EXPECT_EQ(s.water.maximum, water(peak));
        const auto tenOClock = static_cast<std::int64_t>(peak / 1440 * 1440 + 600);
        EXPECT_EQ(s.residenceMinutes, leaves == kRows ? 0 : static_cast<std::int64_t>(leaves) - tenOClock);
    }
}
