// The mass balance a run stores, held against the run's own output rows: for
// the default scenario of each model (14 weekly sprays from 1 June) and a
// windy one (a cross-wind of 5 m/s every day), on the fast path and, over a
// shorter period, with the per-second step:
//   - every hourly row closes: |closure| <= 1e-9 of what was applied;
//   - the masses held now are the stored concentrations of the same minute
//     times the sizes of their compartments (relative 1e-9);
//   - no running total ever decreases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>

#include "core/chemicals/chemical_table.hpp"
#include "core/common/mass_balance.hpp"
#include "core/engines/ditch_fate.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/engines/stream_fate.hpp"
#include "core/results/mass_balance_series.hpp"
#include "core/results/result_search.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/weather/weather_reader.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

namespace {

struct NoProgress final : ProgressSink {
    void progress(int) override {}
    bool abandoned() override { return false; }
};

// One line of twelve months of one value, tab separated.
std::string everyMonth(const std::string& value) {
    std::string line = value;
    for (int m = 1; m < 12; ++m) {
        line += '\t';
        line += value;
    }
    return line + "\n";
}

// 31 days of such lines.
std::string everyDay(const std::string& value) {
    std::string text;
    for (int d = 0; d < 31; ++d) text += everyMonth(value);
    return text;
}

struct Present {
    double air = 0, plant = 0, soil = 0, water = 0;
};

// The masses the output row of a minute stands for: each concentration times
// the size of its compartment.
template <class Fate>
Present presentFromRow(const Fate& fate, const ResultRow& row);

template <>
Present presentFromRow(const StreamFate& f, const ResultRow& r) {
    using namespace stream_air;
    Present p;
    int i = 0;
    for (int box : {kSpray1, kAdj1, kWater, kAdj2, kSpray2}) p.air += r.values[static_cast<std::size_t>(i++)] * f.airBox(box).volume;
    for (int k = 0; k < 4; ++k) p.soil += r.values[static_cast<std::size_t>(i++)] * f.land(k).soilVolume;
    for (int k = 0; k < 4; ++k) p.plant += r.values[static_cast<std::size_t>(i++)] * f.land(k).leafArea;
    p.water = r.values[13] / fate::kPerCubicMetreToPerLitre * f.water().volume;
    return p;
}

template <>
Present presentFromRow(const DitchFate& f, const ResultRow& r) {
    Present p;
    p.air = r.values[0] * f.airBox(DitchFate::kBoxSpray1).volume + r.values[1] * f.airBox(DitchFate::kBoxWater).volume +
            r.values[2] * f.airBox(DitchFate::kBoxSpray2).volume;
    p.soil = r.values[3] * f.land(0).soilVolume + r.values[4] * f.land(1).soilVolume;
    p.plant = r.values[5] * f.land(0).leafArea + r.values[6] * f.land(1).leafArea;
    p.water = r.values[7] / fate::kPerCubicMetreToPerLitre * f.water().volume;
    return p;
}

// Relative 1e-9; a mass that has all but vanished (the stream flushes its
// water to 1e-311 µg) is stored as a concentration below the normal doubles,
// which keeps fewer digits, so differences under 1e-300 µg count as none.
bool closeTo(double stored, double fromRow) {
    return std::fabs(stored - fromRow) <= 1e-9 * std::max(std::fabs(stored), std::fabs(fromRow)) + 1e-300;
}

struct Case {
    const char* what;
    ModelKind kind;
    bool windy;
    int sprayDates;  // weekly from 1 June
    bool plain;      // the per-second reference step
};

template <class Fate>
void checkRun(const Case& c, const ScenarioDefinition& scenario, const ResultBuffer& output,
              const MassBalanceRows& balance) {
    ScenarioParameters parameters = scenario.parameters;
    fixParameters(scenario.kind, parameters);
    const Fate fate(parameters, chemicalPropertiesOf(scenario.chemical));
    ASSERT_EQ(output.size(), balance.rows.size() * 60) << c.what;
    MassBalanceRow before;
    for (std::size_t k = 0; k < balance.rows.size(); ++k) {
        const MassBalanceRecord& b = balance.rows[k];
        const ResultRow& row = output.rows[k * 60];
        ASSERT_EQ(std::tie(b.month, b.day, b.hour, b.minute), std::tie(row.month, row.day, row.hour, row.minute))
            << c.what << " row " << k;
        const MassBalanceRow& m = b.balance;
        ASSERT_LE(std::fabs(m.closure), 1e-9 * m.applied) << c.what << " at " << balanceTimeText(b);
        // The stored closure is what the stored entries leave.
        ASSERT_LE(std::fabs(m.closure - (m.applied - m.accounted())), 1e-12 * m.applied) << c.what;

        const Present p = presentFromRow(fate, row);
        ASSERT_TRUE(closeTo(m.air, p.air)) << c.what << " air at " << balanceTimeText(b) << ": " << m.air << " " << p.air;
        ASSERT_TRUE(closeTo(m.plant, p.plant)) << c.what << " plant at " << balanceTimeText(b);
        ASSERT_TRUE(closeTo(m.soil, p.soil)) << c.what << " soil at " << balanceTimeText(b);
        ASSERT_TRUE(closeTo(m.water, p.water)) << c.what << " water at " << balanceTimeText(b) << ": " << m.water << " " << p.water;

        for (int e : {kBalanceApplied, kBalanceDegraded, kBalanceUptake, kBalanceLeached, kBalanceOutflow,
                      kBalanceCarriedAway}) {
            const auto member = kMassBalanceEntries[static_cast<std::size_t>(e)].value;
            ASSERT_GE(m.*member, before.*member)
                << c.what << " " << kMassBalanceEntries[static_cast<std::size_t>(e)].column << " at " << balanceTimeText(b);
        }
        before = m;
    }
    const MassBalanceRow& last = balance.rows.back().balance;
    EXPECT_GT(last.applied, 0) << c.what;
    // Where the chemical went is no accident of the test: each way out is taken.
    EXPECT_GT(last.degraded, 0) << c.what;
    EXPECT_GT(last.uptake, 0) << c.what;
    EXPECT_GT(last.leached, 0) << c.what;
    EXPECT_GT(last.carriedAway, 0) << c.what;
    if (c.kind == ModelKind::Pond) EXPECT_EQ(last.outflow, 0) << c.what;
    else EXPECT_GT(last.outflow, 0) << c.what;
}

}  // namespace

TEST(MassBalance, EveryStoredHourClosesAndMatchesTheStoredConcentrations) {
    const Case cases[] = {
        {"stream default", ModelKind::Stream, false, 14, false},
        {"ditch default", ModelKind::Ditch, false, 14, false},
        {"pond default", ModelKind::Pond, false, 14, false},
        {"stream windy", ModelKind::Stream, true, 1, false},
        {"ditch windy", ModelKind::Ditch, true, 1, false},
        {"pond windy", ModelKind::Pond, true, 1, false},
        {"stream default, per second", ModelKind::Stream, false, 1, true},
        {"ditch windy, per second", ModelKind::Ditch, true, 1, true},
    };
    TestApplication app{true};
    ScriptedPrompter prompter;
    StoreConnection connection;
    ASSERT_TRUE(connection.open(app.connectionText(), prompter));
    auto chemical = loadChemical(connection, prompter, "Chlorpyrifos");
    ASSERT_TRUE(chemical.has_value());
    // A cross-wind of 5 m/s: the wind turned by 11.3 degrees blows straight across.
    const WeatherPaths defaults = defaultWeatherPaths(std::string(VERDANEL_SOURCE_DIR));
    WeatherPaths windy = defaults;
    windy.windSpeed = app.folder.write("windy/wind.txt", everyDay("5.0"));
    windy.windDirection = app.folder.write("windy/winddir.txt", everyMonth("78.7"));

    for (const Case& c : cases) {
        ScenarioDefinition s;
        s.name = c.what;
        s.kind = c.kind;
        s.parameters = defaultParameters(c.kind);
        s.chemical = *chemical;
        for (int w = 0; w < c.sprayDates; ++w) s.sprayDates.push_back(addDays(CivilTime{2010, 6, 1, 10, 0, 0}, 7 * w));
        s.weather = c.windy ? windy : defaults;
        WeatherSet weather;
        NoProgress progress;
        RunOptions options;
        options.plainSteps = c.plain;
        options.announceCompletion = false;
        const RunOutcome outcome = runScenario(connection, prompter, progress, s, weather, options);
        ASSERT_EQ(outcome.status, RunStatus::Completed) << c.what << ": " << outcome.message;

        const SimulationPeriod& p = outcome.period;
        const ResultBuffer output = ResultSearch::search(connection, prompter, c.kind, s.name, p.start.month,
                                                         p.start.day, p.end.month, p.end.day);
        const MassBalanceRows balance =
            searchMassBalance(connection, c.kind, s.name, p.start.month, p.start.day, p.end.month, p.end.day);
        ASSERT_TRUE(balance.error.empty()) << balance.error;
        ASSERT_EQ(static_cast<std::int64_t>(balance.rows.size()), p.rows() / 60) << c.what;
        if (c.kind == ModelKind::Stream) checkRun<StreamFate>(c, s, output, balance);
        else checkRun<DitchFate>(c, s, output, balance);
    }

    // Running a scenario again replaces its balance rows with the new run's.
    {
        ScenarioDefinition again;
        again.name = "pond windy";
        again.kind = ModelKind::Pond;
        again.parameters = defaultParameters(ModelKind::Pond);
        again.chemical = *chemical;
        again.sprayDates = {CivilTime{2010, 6, 1, 10, 0, 0}};
        again.weather = defaults;
        WeatherSet weather;
        NoProgress progress;
        RunOptions options;
        options.replaceWithoutAsking = true;
        options.announceCompletion = false;
        const RunOutcome outcome = runScenario(connection, prompter, progress, again, weather, options);
        ASSERT_EQ(outcome.status, RunStatus::Completed);
        StoreAccessor a(connection, prompter);
        ASSERT_EQ(a.query("SELECT count(*) FROM mass_balance_pond WHERE Scenario_Name = ?", {again.name}).rows(), 1);
        EXPECT_EQ(std::stoll(a.cell(0, 0)), outcome.period.rows() / 60);
    }
}

// Each way out is credited to its own total: a day of each weather, sprayed
// for two minutes on the model's own step, credits exactly the totals whose
// processes that weather allows.
TEST(MassBalance, EachTotalGrowsOnlyByItsOwnProcesses) {
    const ChemicalProperties chemical{4.7, 1.4, 612, 1200, 4.71e-06, 0.0209, 2.998e-06};
    struct Case {
        const char* what;
        ModelKind kind;
        DayWeather weather;  // u, theta, T, R, RH
        bool carriedAway, leached, outflow;
    };
    const Case cases[] = {
        // Still air keeps every box's air: nothing leaves the Stream's scene;
        // the Ditch's drift leaves it all the same.
        {"stream, still and dry", ModelKind::Stream, {0, 0, 20, 0, 60}, false, false, true},
        {"stream, windy and wet", ModelKind::Stream, {4, 60, 20, 12, 80}, true, true, true},
        {"ditch, still and dry", ModelKind::Ditch, {0, 0, 20, 0, 60}, true, false, true},
        {"pond, windy and wet", ModelKind::Pond, {4, 60, 20, 12, 80}, true, true, false},
    };
    for (const Case& c : cases) {
        ScenarioParameters p = defaultParameters(c.kind);
        fixParameters(c.kind, p);
        auto run = [&](auto& fate) {
            fate.setWeather(c.weather);
            const double S = fate.sprayRateWhileSpraying();
            for (int t = 0; t < 3600; ++t) fate.step(t < 120 ? S : 0.0);
            fate.advance(0.0, 86400 - 3600);
            const MassBalanceRow b = fate.massBalance();
            SCOPED_TRACE(c.what);
            EXPECT_GT(b.applied, 0);
            EXPECT_LE(std::fabs(b.closure), 1e-9 * b.applied);
            EXPECT_GT(b.degraded, 0);
            EXPECT_GT(b.uptake, 0);
            EXPECT_EQ(b.carriedAway > 0, c.carriedAway);
            EXPECT_EQ(b.leached > 0, c.leached);
            EXPECT_EQ(b.outflow > 0, c.outflow);
            if constexpr (std::is_same_v<std::decay_t<decltype(fate)>, DitchFate>) {
                // Applied is the whole spray; in still air only the drift is carried away.
                EXPECT_DOUBLE_EQ(b.applied, 120 * S);
                if (c.weather.windSpeed == 0) {
                    EXPECT_NEAR(b.carriedAway, 120 * fate.driftFraction() * S, 1e-9 * b.applied);
                }
            } else {
                // Applied counts the kept share twice (both spray boxes) and the drift inside the scene.
                const auto& share = fate.sprayShare();
                EXPECT_NEAR(b.applied, 120 * S * (2 * share[0] + share[1] + share[2] + share[3] + share[4]),
                            1e-12 * b.applied);
            }
        };
        if (c.kind == ModelKind::Stream) {
            StreamFate fate(p, chemical);
            run(fate);
        } else {
            DitchFate fate(p, chemical);
            run(fate);
        }
    }
}

// The balance rows of a run across New Year come back as the output rows do:
// a range whose start is after its end wraps, in the order the run stored them.
TEST(MassBalance, SearchAcrossNewYearKeepsTimeOrder) {
    TestApplication app{true};
    ScriptedPrompter prompter;
    StoreConnection connection;
    ASSERT_TRUE(connection.open(app.connectionText(), prompter));
    ScenarioDefinition s;
    s.name = "winter";
    s.kind = ModelKind::Pond;
    s.parameters = defaultParameters(ModelKind::Pond);
    s.chemical = *loadChemical(connection, prompter, "Chlorpyrifos");
    s.sprayDates = {CivilTime{2010, 12, 20, 10, 0, 0}};
    s.weather = defaultWeatherPaths(std::string(VERDANEL_SOURCE_DIR));
    WeatherSet weather;
    NoProgress progress;
    RunOptions options;
    options.announceCompletion = false;
    const RunOutcome outcome = runScenario(connection, prompter, progress, s, weather, options);
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    const SimulationPeriod& p = outcome.period;
    ASSERT_GT(p.start.month, p.end.month);

    const MassBalanceRows rows =
        searchMassBalance(connection, ModelKind::Pond, s.name, p.start.month, p.start.day, p.end.month, p.end.day);
    ASSERT_EQ(static_cast<std::int64_t>(rows.rows.size()), p.rows() / 60);
    CivilTime expected = p.firstSecond;
    for (const MassBalanceRecord& r : rows.rows) {
        ASSERT_EQ(std::tie(r.month, r.day, r.hour), std::tie(expected.month, expected.day, expected.hour));
        expected = fromCivilSeconds(toCivilSeconds(expected) + 3600);
    }
    // Within the year: only the December days.
    EXPECT_EQ(searchMassBalance(connection, ModelKind::Pond, s.name, 12, 20, 12, 31).rows.size(), 12u * 24);
}
