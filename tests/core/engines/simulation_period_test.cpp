#include <gtest/gtest.h>

#include <vector>

#include "core/engines/engine_driver.hpp"
#include "core/engines/simulation_period.hpp"

using namespace verdanel;

namespace {
// Records what the driver asks of a model: the spray rate of every second.
struct RecordingFate {
    static constexpr int kOutputCount = 2;
    double duration = 65.45;
    double rate = 18750;
    std::vector<double> rates;
    int weatherCalls = 0;
    double total = 0;
    double sprayDuration() const { return duration; }
    double sprayRateWhileSpraying() const { return rate; }
    void setWeather(const DayWeather&) { ++weatherCalls; }
    void step(double r) {
        rates.push_back(r);
        total += r;
    }
    void outputs(double* v) const {
        v[0] = total;
        v[1] = static_cast<double>(rates.size());
    }
};

struct FastRecordingFate : RecordingFate {
    void advance(double r, int seconds) {
        for (int i = 0; i < seconds; ++i) step(r);
    }
};

struct CollectingSink final : OutputRowSink {
    struct Row {
        int month, day, hour, minute;
        double total, steps;
    };
    std::vector<Row> rows;
    bool row(int month, int day, int hour, int minute, const double* values) override {
        rows.push_back({month, day, hour, minute, values[0], values[1]});
        return true;
    }
};

struct RecordingProgress final : ProgressSink {
    int maxPercent = -1;
    int calls = 0;
    int abandonAfter = -1;
    void progress(int percent) override {
        maxPercent = std::max(maxPercent, percent);
        ++calls;
    }
    bool abandoned() override { return abandonAfter >= 0 && calls > abandonAfter; }
};

// Seconds of the period (counted from its first second) at which the rate was on.
std::vector<std::int64_t> spraySeconds(const std::vector<double>& rates) {
    std::vector<std::int64_t> on;
    for (std::size_t k = 0; k < rates.size(); ++k)
        if (rates[k] > 0) on.push_back(static_cast<std::int64_t>(k));
    return on;
}
}  // namespace

TEST(SimulationPeriod, OneSprayDateRunsNinetyOneWholeDays) {
    auto p = simulationPeriod({CivilTime{2010, 5, 10, 10, 0, 0}});
    EXPECT_EQ(p.firstSecond, (CivilTime{2010, 5, 10, 0, 0, 0}));
    EXPECT_EQ(p.end, (CivilTime{2010, 8, 8, 10, 0, 0}));
    EXPECT_EQ(p.days, 91);
    EXPECT_EQ(p.seconds(), 91 * 86400);
    EXPECT_EQ(p.rows(), 91 * 1440);
    EXPECT_EQ(simulationPeriod({}).days, 0);
}

TEST(SimulationPeriod, DefaultFourteenWeeklyDatesGive182Days) {
    std::vector<CivilTime> dates;
    for (int w = 0; w < 14; ++w) dates.push_back(addDays(CivilTime{2025, 6, 1, 10, 0, 0}, 7 * w));
    auto p = simulationPeriod(dates);
    EXPECT_EQ(p.days, 182);
    EXPECT_EQ(p.rows(), 262080);
    EXPECT_EQ(p.seconds(), 15724800);
}

TEST(SpraySchedule, WindowsFollowTheSprayDuration) {
    const CivilTime day{2010, 6, 1, 10, 0, 0};
    SpraySchedule stream({day}, 65.45);  // default stream: 10:00:00 to 10:01:59
    const auto mask = stream.hoursOn(day);
    EXPECT_TRUE(stream.spraysAt(mask, 10, 0, 0));
    EXPECT_TRUE(stream.spraysAt(mask, 10, 1, 59));
    EXPECT_FALSE(stream.spraysAt(mask, 10, 2, 0));
    EXPECT_FALSE(stream.spraysAt(mask, 9, 59, 59));
    SpraySchedule ditch({day}, 196.36);  // default ditch: 10:00:00 to 10:03:59
    EXPECT_TRUE(ditch.spraysAt(mask, 10, 3, 59));
    EXPECT_FALSE(ditch.spraysAt(mask, 10, 4, 0));
    SpraySchedule pond({day}, 13.09);  // 40 m: seconds 0 to 13 of minute 0
    EXPECT_TRUE(pond.spraysAt(mask, 10, 0, 13));
    EXPECT_FALSE(pond.spraysAt(mask, 10, 0, 14));
    EXPECT_FALSE(pond.spraysAt(mask, 10, 1, 0));
}

TEST(SpraySchedule, OnlyTheSameCalendarDateSprays) {
    SpraySchedule s({CivilTime{2010, 6, 1, 10, 0, 0}, CivilTime{2010, 6, 1, 15, 0, 0}}, 65.45);
    // Both hours of one day spray; neither is cancelled by the other.
    EXPECT_EQ(s.hoursOn(CivilTime{2010, 6, 1, 0, 0, 0}), (1u << 10) | (1u << 15));
    // The same month and day a year later does not spray again.
    EXPECT_EQ(s.hoursOn(CivilTime{2011, 6, 1, 0, 0, 0}), 0u);
    EXPECT_EQ(s.hoursOn(CivilTime{2010, 6, 2, 0, 0, 0}), 0u);
}

TEST(EngineDriver, RowsStepsAndSprayWindowOfOneSprayDate) {
    const CivilTime spray{2010, 5, 10, 10, 0, 0};
    auto period = simulationPeriod({spray});
    RecordingFate fate;
    SpraySchedule schedule({spray}, fate.duration);
    WeatherSet weather;
    CollectingSink sink;
    RecordingProgress progress;
    ASSERT_EQ(drivePeriod(fate, period, schedule, weather, sink, progress), DriveResult::Finished);
    ASSERT_EQ(fate.rates.size(), static_cast<std::size_t>(91 * 86400));
    ASSERT_EQ(sink.rows.size(), static_cast<std::size_t>(91 * 1440));
    EXPECT_EQ(fate.weatherCalls, 91);
    const auto& first = sink.rows.front();
    EXPECT_EQ((std::array<int, 4>{first.month, first.day, first.hour, first.minute}), (std::array<int, 4>{5, 10, 0, 0}));
    EXPECT_EQ(first.steps, 1);  // the row follows the step of second 0
    const auto& last = sink.rows.back();
    EXPECT_EQ((std::array<int, 4>{last.month, last.day, last.hour, last.minute}), (std::array<int, 4>{8, 8, 23, 59}));
    auto on = spraySeconds(fate.rates);
    ASSERT_EQ(on.size(), 120u);
    EXPECT_EQ(on.front(), 10 * 3600);
    EXPECT_EQ(on.back(), 10 * 3600 + 119);
    EXPECT_EQ(progress.maxPercent, 99);
}

TEST(EngineDriver, FastPathFeedsTheSameRatesAsThePlainSteps) {
    std::vector<CivilTime> dates = {CivilTime{2010, 6, 1, 10, 0, 0}, CivilTime{2010, 6, 1, 23, 0, 0},
                                    CivilTime{2010, 6, 8, 10, 0, 0}};
    auto period = simulationPeriod(dates);
    for (double duration : {13.09, 65.45, 196.36, 4000.0}) {
        FastRecordingFate fast;
        RecordingFate plain;
        fast.duration = plain.duration = duration;
        SpraySchedule schedule(dates, duration);
        WeatherSet weather;
        CollectingSink a, b;
        RecordingProgress pa, pb;
        drivePeriod(fast, period, schedule, weather, a, pa);
        drivePeriod(plain, period, schedule, weather, b, pb);
        EXPECT_EQ(fast.rates, plain.rates) << duration;
        ASSERT_EQ(a.rows.size(), b.rows.size());
        EXPECT_EQ(a.rows.back().total, b.rows.back().total);
    }
}

TEST(EngineDriver, AbandonedRunStopsEarly) {
    auto period = simulationPeriod({CivilTime{2010, 5, 10, 10, 0, 0}});
    RecordingFate fate;
    SpraySchedule schedule({CivilTime{2010, 5, 10, 10, 0, 0}}, fate.duration);
    WeatherSet weather;
    CollectingSink sink;
    RecordingProgress progress;
    progress.abandonAfter = 5;
    EXPECT_EQ(drivePeriod(fate, period, schedule, weather, sink, progress), DriveResult::Abandoned);
    EXPECT_LT(sink.rows.size(), 1440u);
}
