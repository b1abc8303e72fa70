// Exposure endpoints of series worked by hand: a step, a spike, a plateau
// exactly at the threshold, series shorter than a window, and rows across
// New Year in time order and cut apart in month and day order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/common/civil_time.hpp"
#include "core/common/cp949.hpp"
#include "core/results/exposure_endpoints.hpp"

using namespace verdanel;

namespace {

constexpr int kDay = 1440;

// n Cwater rows a minute apart from `first`, value(i) in row i.
ResultBuffer minutes(CivilTime first, int n, const std::function<double(int)>& value) {
    ResultBuffer b(ModelKind::Ditch);
    const std::int64_t start = toCivilSeconds(first);
    for (int i = 0; i < n; ++i) {
        const CivilTime t = fromCivilSeconds(start + 60LL * i);
        ResultRow r{t.month, t.day, t.hour, t.minute, {}};
        r.values[static_cast<std::size_t>(b.waterIndex())] = value(i);
        b.rows.push_back(r);
    }
    return b;
}

constexpr CivilTime kJune{2010, 6, 1, 0, 0, 0};
constexpr std::optional<double> kNone = std::nullopt;

struct Expected {
    double peak;
    const char* peakAt;                      // "" for none
    std::optional<double> means[3];          // the 1-, 2- and 4-day means; the longer ones must be none
    std::optional<double> threshold;
    std::int64_t minutesAbove, events, longest;
    double peakToThreshold;
};

struct Case {
    const char* what;
    ResultBuffer rows;
    int year;
    Expected expected;
};

}  // namespace

TEST(ExposureEndpoints, SeriesWorkedByHand) {
    // A plateau exactly at the threshold, then one that prints like it
    // (5.000000e-002 though above 0.05), with two stretches that print above.
    const double alike = 0.05 * (1 + 1e-9), above = 3 * (0.0500001 - alike) + 10 * (0.05000006 - alike);
    auto plateau = [alike](int i) {
        if (i >= 1440 && i < 1443) return 0.0500001;
        if (i >= 2000 && i < 2010) return 0.05000006;
        return i < 720 ? 0.05 : alike;
    };
    // From 12:00 on New Year's Eve to 11:59 on New Year's Day, 1; else 0.
    auto newYearsNight = [](int i) { return i >= 720 && i < 2160 ? 1.0 : 0.0; };
    // Two days as a 01-01 ~ 12-31 search gives them over a run across New
    // Year: the later January first. The afternoon of 1 January (1) and the
    // morning of 31 December (1) end up side by side.
    ResultBuffer monthDayOrder = minutes({2011, 1, 1, 0, 0, 0}, kDay, [](int i) { return i >= 720 ? 1.0 : 0.0; });
    for (const ResultRow& r : minutes({2010, 12, 31, 0, 0, 0}, kDay, [](int i) { return i < 720 ? 1.0 : 0.0; }).rows)
        monthDayOrder.rows.push_back(r);
    std::vector<Case> cases = {
        {"step up at the start of day 2, three days",
         minutes(kJune, 3 * kDay, [](int i) { return i < kDay ? 0.0 : 2.0; }), 2010,
         {2.0, "06-02 00:00", {2.0, 2.0, kNone}, 1.0, 2 * kDay, 1, 2 * kDay, 2.0}},
        {"one spike of 1440 in two days of zeros",
         minutes(kJune, 2 * kDay, [](int i) { return i == 1500 ? 1440.0 : 0.0; }), 2010,
         {1440.0, "06-02 01:00", {1.0, 0.5, kNone}, 100.0, 1, 1, 1, 14.4}},
        {"plateau at the threshold with two short exceedances", minutes(kJune, 4 * kDay, plateau), 2010,
         {0.0500001,
          "06-02 00:00",
          {alike + above / kDay, alike + above / (2 * kDay), (720 * 0.05 + 5040 * alike + above) / (4 * kDay)},
          0.05, 13, 2, 10, 1.000002}},
        {"a day less one minute: no window fits", minutes(kJune, kDay - 1, [](int i) { return i % 7; }), 2010,
         {6.0, "06-01 00:06", {kNone, kNone, kNone}, kNone, 0, 0, 0, 0}},
        {"exactly one day", minutes(kJune, kDay, [](int i) { return i < 360 ? 4.0 : 0.0; }), 2010,
         {4.0, "06-01 00:00", {1.0, kNone, kNone}, 3.999999, 360, 1, 360, 4.0 / 3.999999}},
        {"nothing above 0", minutes(kJune, 2 * kDay, [](int) { return 0.0; }), 2010,
         {0.0, "", {0.0, 0.0, kNone}, 1e-9, 0, 0, 0, 0}},
        {"across New Year in time order", minutes({2010, 12, 31, 0, 0, 0}, 2 * kDay, newYearsNight), 2010,
         {1.0, "12-31 12:00", {1.0, 0.5, kNone}, 0.5, kDay, 1, kDay, 2.0}},
        {"across the end of February 2011: no day between", minutes({2011, 2, 28, 12, 0, 0}, kDay,
                                                                   [](int) { return 1.0; }),
         2011, {1.0, "02-28 12:00", {1.0, kNone, kNone}, 0.5, kDay, 1, kDay, 2.0}},
        {"the same night in month and day order: no window and no event across the cut", monthDayOrder, 2011,
         {1.0, "01-01 12:00", {0.5, kNone, kNone}, 0.5, kDay, 2, 720, 2.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Expected& x = c.expected;
        // One column as the page asks for it, and all columns at once as the command line does.
        std::vector<std::optional<double>> thresholds(8);
        thresholds[7] = x.threshold;
        for (const ColumnEndpoints& e : {columnEndpoints(c.rows, c.rows.waterIndex(), c.year, x.threshold),
                                         allEndpoints(c.rows, c.year, thresholds)[7]}) {
            EXPECT_EQ(e.rows, c.rows.size());
            EXPECT_EQ(e.peak, x.peak);
            EXPECT_EQ(e.peakAt, x.peakAt);
            for (std::size_t w = 0; w < kAveragingDays.size(); ++w) {
                const std::optional<double> expected = w < 3 ? x.means[w] : kNone;
                ASSERT_EQ(e.highestMean[w].has_value(), expected.has_value()) << kAveragingDays[w] << " days";
                if (expected) {
                    EXPECT_NEAR(*e.highestMean[w], *expected, 1e-14 * (1 + *expected)) << kAveragingDays[w];
                }
            }
            ASSERT_EQ(e.threshold.has_value(), x.threshold.has_value());
            if (!x.threshold) continue;
            EXPECT_EQ(e.threshold->threshold, *x.threshold);
            EXPECT_EQ(e.threshold->minutesAbove, x.minutesAbove);
            EXPECT_EQ(e.threshold->events, x.events);
            EXPECT_EQ(e.threshold->longestEventMinutes, x.longest);
            EXPECT_DOUBLE_EQ(e.threshold->peakToThreshold, x.peakToThreshold);
        }
    }
}

TEST(ExposureEndpoints, ThresholdTextsAndThePagesExport) {
    const struct {
        const char* text;
        std::optional<double> value;
    } texts[] = {{"0.05", 0.05}, {" 5e-2 ", 0.05}, {"+1", 1.0}, {"", kNone}, {"0", kNone}, {"-1", kNone},
                 {"0,05", kNone}, {"1e", kNone}, {"abc", kNone}, {"1e999", kNone}, {"nan", kNone}, {"inf", kNone}};
    for (const auto& t : texts) EXPECT_EQ(parseThreshold(t.text), t.value) << '"' << t.text << '"';

    // The step of three days with a threshold, then without: CP949, CRLF, "%e".
    const ResultBuffer step = minutes(kJune, 3 * kDay, [](int i) { return i < kDay ? 0.0 : 2.0; });
    const std::string withThreshold = endpointsCsv(columnEndpoints(step, 7, 2010, 1.0), ModelKind::Ditch,
                                                   "step, \"quoted\"", "06-01 ~ 06-03");
    EXPECT_EQ(cp949ToUtf8(withThreshold),
              "##노출평가##\r\n"
              "시나리오,\"step, \"\"quoted\"\"\"\r\n"
              "조회 기간,06-01 ~ 06-03\r\n"
              "항목,Cwater\r\n"
              "행 수,4320\r\n"
              "\r\n"
              "지표,값,단위\r\n"
              "최대 농도,2.000000e+000,ppb\r\n"
              "최대 농도 시각,06-02 00:00,\r\n"
              "최대 1일 평균 농도,2.000000e+000,ppb\r\n"
              "최대 2일 평균 농도,2.000000e+000,ppb\r\n"
              "최대 4일 평균 농도,-,ppb\r\n"
              "최대 7일 평균 농도,-,ppb\r\n"
              "최대 14일 평균 농도,-,ppb\r\n"
              "최대 21일 평균 농도,-,ppb\r\n"
              "최대 28일 평균 농도,-,ppb\r\n"
              "최대 60일 평균 농도,-,ppb\r\n"
              "최대 90일 평균 농도,-,ppb\r\n"
              "기준 농도,1.000000e+000,ppb\r\n"
              "기준 초과 시간,2880,분\r\n"
              "초과 횟수,1,회\r\n"
              "최장 초과 시간,2880,분\r\n"
              "최대 농도 / 기준 농도,2.000000e+000,\r\n");
    EXPECT_EQ(withThreshold, utf8ToCp949(cp949ToUtf8(withThreshold)));  // every character has its CP949 code
    const std::string without = cp949ToUtf8(endpointsCsv(columnEndpoints(step, 3, 2010), ModelKind::Ditch, "s", "r"));
    EXPECT_NE(without.find("항목,Csoil(Spray)\r\n"), std::string::npos);
    EXPECT_NE(without.find("최대 농도,0.000000e+000,㎍/㎥\r\n최대 농도 시각,-,\r\n"), std::string::npos);
    EXPECT_NE(without.find("\r\n기준 농도,,㎍/㎥\r\n기준 초과 시간,,분\r\n"), std::string::npos);
    EXPECT_EQ(defaultEndpointsCsvFileName(ModelKind::Stream, 0, 11, 20, 2, 18), "Cair(S1) 11-20 ~ 02-18 노출평가.csv");
}

// The best window means are searched only in the blocks of starts whose
// bound can beat the best so far; over a month of minutes of several shapes
// they must be those of every start, summed one by one, and a run's columns
// handed over as a MinuteSeries must give the same doubles as its rows.
TEST(ExposureEndpoints, BestMeansOfLongSeriesAreThoseOfEveryStart) {
    struct Case {
        const char* what;
        double (*value)(int minute);
    };
    const Case cases[] = {
        {"weekly sprays that fall away", [](int i) { return 3.0 * std::exp(-(i % (7 * kDay)) / 300.0) + 1e-4; }},
        {"sprays of nearly one height", [](int i) { return i % (5 * kDay) == 600 ? 10.0 + i * 1e-12 : 1e-3; }},
        {"a slow rise", [](int i) { return 1e6 + i * 1e-3; }},
        {"a constant", [](int) { return 0.25; }},
        {"a sawtooth with a late bump", [](int i) { return (i % 97) * 1e-2 + (i > 38000 && i < 38500 ? 5.0 : 0.0); }},
    };
    constexpr int kMinutes = 30 * kDay;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ResultBuffer rows = minutes(kJune, kMinutes, [&c](int i) { return c.value(i); });
        const ColumnEndpoints e = columnEndpoints(rows, rows.waterIndex(), 2010);
        for (std::size_t w = 0; w < kAveragingDays.size(); ++w) {
            const int window = kAveragingDays[w] * kDay;
            if (window > kMinutes) {
                EXPECT_FALSE(e.highestMean[w].has_value());
                continue;
            }
            long double sum = 0, best = 0;
            for (int i = 0; i < window; ++i) sum += c.value(i);
            best = sum;
            for (int i = window; i < kMinutes; ++i) {
                sum += static_cast<long double>(c.value(i)) - c.value(i - window);
                best = std::max(best, sum);
            }
            ASSERT_TRUE(e.highestMean[w].has_value()) << kAveragingDays[w];
            const double want = static_cast<double>(best / window);
            EXPECT_NEAR(*e.highestMean[w], want, 1e-11 * std::fabs(want)) << kAveragingDays[w] << " days";
        }
        std::vector<double> columns(static_cast<std::size_t>(rows.valueCount) * kMinutes);
        for (int k = 0; k < rows.valueCount; ++k)
            for (int i = 0; i < kMinutes; ++i)
                columns[static_cast<std::size_t>(k) * kMinutes + static_cast<std::size_t>(i)] =
                    rows.rows[static_cast<std::size_t>(i)].values[static_cast<std::size_t>(k)];
        const ColumnEndpoints handed = allEndpoints(MinuteSeries{rows.kind, kJune, kMinutes, columns.data()})
            [static_cast<std::size_t>(rows.waterIndex())];
        EXPECT_EQ(handed.peakAt, e.peakAt);
        EXPECT_EQ(handed.peak, e.peak);
        for (std::size_t w = 0; w < kAveragingDays.size(); ++w) EXPECT_EQ(handed.highestMean[w], e.highestMean[w]);
    }
}
