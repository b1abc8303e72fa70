// The Stream's far-side boxes as the bank width B passes twice the field
// width W (the adjacent strips a = B - W passing W): the wind's move must not
// change its nature there.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/engines/engine_driver.hpp"
#include "core/engines/stream_fate.hpp"
#include "core/weather/weather_reader.hpp"
#include "support/scripted_prompter.hpp"

using namespace verdanel;

namespace {

const ChemicalProperties kChlorpyrifos{4.7, 1.4, 612, 1200, 4.71e-06, 0.0209, 2.998e-06};

ScenarioParameters withBank(double bankWidth) {
    ScenarioParameters p;
    p.bankWidth = static_cast<float>(bankWidth);
    return p;
}

struct WaterRows final : OutputRowSink {
    std::vector<double> cwater;
    bool row(int, int, int, int, const double* values) override {
        cwater.push_back(values[13]);
        return true;
    }
};

// Highest mean of Cwater over `rows` consecutive minute rows.
double highestMean(const std::vector<double>& v, std::size_t rows) {
    double sum = 0, best = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        sum += v[i];
        if (i >= rows) sum -= v[i - rows];
        if (i + 1 >= rows) best = std::max(best, sum / static_cast<double>(rows));
    }
    return best;
}

}  // namespace

TEST(StreamBankWidth, InStillAirEveryBoxKeepsItsAirWhateverTheBank) {
    for (double B : {10.0, 13.5, 14.0, 14.5, 20.0}) {
        StreamFate model(withBank(B), kChlorpyrifos);
        model.setWeather(DayWeather{0, 90, 20, 0, 70});
        for (int from = 0; from < stream_air::kCount; ++from)
            for (int to = 0; to < stream_air::kCount; ++to)
                EXPECT_EQ(model.transport().share(from, to), from == to ? 1.0 : 0.0)
                    << "B = " << B << ", from box " << from << " to box " << to;
    }
}

TEST(StreamBankWidth, WaterAveragesChangeSmoothlyAsTheBankPassesTwiceTheField) {
    WeatherSet weather;
    verdanel::testing::ScriptedPrompter prompter;
    ASSERT_TRUE(readWeatherSet(weather, defaultWeatherPaths(VERDANEL_SOURCE_DIR), prompter).opened);
    std::vector<CivilTime> dates;
    for (int w = 0; w < 14; ++w) dates.push_back(addDays(CivilTime{2010, 6, 1, 10, 0, 0}, 7 * w));
    struct : ProgressSink {
        void progress(int) override {}
        bool abandoned() override { return false; }
    } progress;

    const double banks[] = {13.5, 14, 14.5, 20};  // W = 7
    std::array<double, 4> day{}, fourDays{};
    for (int b = 0; b < 4; ++b) {
        StreamFate model(withBank(banks[b]), kChlorpyrifos);
        WaterRows rows;
        ASSERT_EQ(drivePeriod(model, simulationPeriod(dates), SpraySchedule(dates, model.sprayDuration()), weather, rows,
                              progress),
                  DriveResult::Finished);
        day[b] = highestMean(rows.cwater, 1440);
        fourDays[b] = highestMean(rows.cwater, 4 * 1440);
        std::printf("B = %4.1f m: highest 1-day mean of Cwater %.3e, 4-day %.3e ppb\n", banks[b], day[b], fourDays[b]);
    }
    // A wider bank moves the far field away: the averages change by a few
    // per cent across half a metre and stay within a factor of two at 20 m,
    // instead of jumping several times where a passes W.
    for (int b = 0; b + 1 < 3; ++b) {
        EXPECT_LT(std::fabs(std::log(day[b + 1] / day[b])), std::log(1.2)) << banks[b] << " to " << banks[b + 1];
        EXPECT_LT(std::fabs(std::log(fourDays[b + 1] / fourDays[b])), std::log(1.2)) << banks[b] << " to " << banks[b + 1];
    }
    EXPECT_LT(std::fabs(std::log(day[3] / day[1])), std::log(2.0));
    EXPECT_LT(std::fabs(std::log(fourDays[3] / fourDays[1])), std::log(2.0));
}
