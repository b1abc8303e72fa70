// Sweeps: variants' endpoints against the same scenarios stored and
// searched, cancelling within a variant, refused variants, the plans, and
// the distribution summary on lists worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "core/chemicals/chemical_table.hpp"
#include "core/common/messages.hpp"
#include "core/common/number_text.hpp"
#include "core/common/text_format.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/mass_balance_series.hpp"
#include "core/results/result_search.hpp"
#include "core/store/store_connection.hpp"
#include "core/results/result_columns.hpp"
#include "core/sweep/sweep_chart_layout.hpp"
#include "core/sweep/sweep_messages.hpp"
#include "core/sweep/sweep_run.hpp"
#include "core/sweep/sweep_summary.hpp"
#include "core/weather/weather_reader.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

namespace {

struct SweepFixture {
    TestApplication app{true};
    ScriptedPrompter prompter;
    StoreConnection connection;
    WeatherSet weather;
    SweepFixture() {
        EXPECT_TRUE(connection.open(app.connectionText(), prompter));
        EXPECT_TRUE(readWeatherSet(weather, defaultWeatherPaths(VERDANEL_SOURCE_DIR), prompter).opened);
    }

    ScenarioDefinition scenario(ModelKind kind, CivilTime first, int sprays) {
        ScenarioDefinition s;
        s.name = "sweep";
        s.kind = kind;
        s.parameters = defaultParameters(kind);
        auto record = loadChemical(connection, prompter, "Chlorpyrifos");
        EXPECT_TRUE(record.has_value());
        if (record) s.chemical = *record;
        for (int w = 0; w < sprays; ++w) s.sprayDates.push_back(addDays(first, 7 * w));
        s.weather = defaultWeatherPaths(VERDANEL_SOURCE_DIR);
        return s;
    }

    MassBalanceRow lastBalance;  // of the last stored run's last hour

    // The endpoints of the scenario run into the store and searched over its period.
    std::vector<ColumnEndpoints> storedEndpoints(const ScenarioDefinition& s,
                                                 const std::vector<std::optional<double>>& thresholds) {
        SilentProgress progress;
        WeatherSet own;
        RunOptions options;
        options.announceCompletion = false;
        options.replaceWithoutAsking = true;
        const RunOutcome run = runScenario(connection, prompter, progress, s, own, options);
        EXPECT_EQ(run.status, RunStatus::Completed) << run.message;
        const SimulationPeriod& p = run.period;
        const ResultBuffer rows = ResultSearch::search(connection, prompter, s.kind, s.name, p.start.month,
                                                       p.start.day, p.end.month, p.end.day);
        EXPECT_EQ(static_cast<std::int64_t>(rows.size()), p.rows());
        const MassBalanceRows balance =
            searchMassBalance(connection, s.kind, s.name, p.start.month, p.start.day, p.end.month, p.end.day);
        EXPECT_EQ(static_cast<std::int64_t>(balance.rows.size()), p.rows() / 60);
        if (!balance.empty()) lastBalance = balance.rows.back().balance;
        return allEndpoints(rows, p.start.year, thresholds);
    }
};

// Stops the sweep once it has reported `after` percent or more.
struct CancellingProgress final : ProgressSink {
    int after = 1;
    int last = 0;
    void progress(int percent) override { last = percent; }
    bool abandoned() override { return last >= after; }
};

void expectSameEndpoints(const ColumnEndpoints& a, const ColumnEndpoints& b) {
    EXPECT_EQ(a.rows, b.rows);
    EXPECT_EQ(a.peak, b.peak);
    EXPECT_EQ(a.peakAt, b.peakAt);
    EXPECT_EQ(a.peakRow, b.peakRow);
    EXPECT_EQ(a.highestMean, b.highestMean);
    ASSERT_EQ(a.threshold.has_value(), b.threshold.has_value());
    if (a.threshold) {
        EXPECT_EQ(a.threshold->minutesAbove, b.threshold->minutesAbove);
        EXPECT_EQ(a.threshold->events, b.threshold->events);
        EXPECT_EQ(a.threshold->longestEventMinutes, b.threshold->longestEventMinutes);
        EXPECT_EQ(a.threshold->peakToThreshold, b.threshold->peakToThreshold);
    }
}

}  // namespace

TEST(Sweep, VariantEndpointsEqualThoseOfTheSameScenarioStoredAndSearched) {
    struct Case {
        const char* what;
        ModelKind kind;
        CivilTime first;
        int sprays;
        SweepPlanOutcome plan;
        std::size_t checked;  // the variant run and stored again
    };
    const Case cases[] = {
        {"stream bank width", ModelKind::Stream, {2010, 6, 1, 10, 0, 0}, 3, parameterSweep("bank_width", "10,28"), 1},
        {"ditch spray dates shifted", ModelKind::Ditch, {2010, 6, 1, 10, 0, 0}, 2, shiftSweep("-20:40:60"), 1},
        // Sprays moved into December: the period and the search cross New Year.
        {"pond shifted over New Year", ModelKind::Pond, {2010, 10, 20, 10, 0, 0}, 2, shiftSweep("0:45:45"), 1},
    };
    SweepFixture f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.plan.plan) << c.plan.error;
        const ScenarioDefinition base = f.scenario(c.kind, c.first, c.sprays);
        SweepOptions options;
        options.jobs = 2;
        options.thresholds.assign(static_cast<std::size_t>(resultValueCount(c.kind)), std::nullopt);
        options.thresholds.back() = 0.05;  // Cwater
        options.thresholds.front() = 1e-3;
        SilentProgress progress;
        const SweepOutcome sweep = runSweep(base, *c.plan.plan, f.weather, progress, options);
        ASSERT_EQ(sweep.status, SweepStatus::Completed);
        ASSERT_EQ(sweep.variants.size(), 2u);
        const VariantOutcome& v = sweep.variants[c.checked];
        ASSERT_EQ(v.status, VariantStatus::Finished) << v.message;
        EXPECT_EQ(v.rows, v.period.rows());
        const std::vector<ColumnEndpoints> stored =
            f.storedEndpoints(variantScenario(base, *c.plan.plan, v.value), options.thresholds);
        ASSERT_EQ(v.endpoints.size(), stored.size());
        for (std::size_t k = 0; k < stored.size(); ++k) {
            SCOPED_TRACE(k);
            expectSameEndpoints(v.endpoints[k], stored[k]);
        }
        // Its final mass balance is the stored run's last hourly row, entry by entry.
        ASSERT_TRUE(v.finalBalance.has_value());
        for (const MassBalanceEntry& e : kMassBalanceEntries) EXPECT_EQ((*v.finalBalance).*e.value, f.lastBalance.*e.value) << e.column;
        EXPECT_GT(v.finalBalance->applied, 0.0);
        // The variants differ from each other: the sweep varied something.
        EXPECT_NE(sweep.variants[0].endpoints.back().peak, v.endpoints.back().peak);
    }
}

TEST(Sweep, CancellingStopsWithinAVariantAndLeavesTheRestUnrun) {
    SweepFixture f;
    // About a year of simulated time on the per-second step: far longer than
    // the caller's 20 ms turns, so the stop lands inside the first variant.
    const ScenarioDefinition base = f.scenario(ModelKind::Stream, {2010, 1, 10, 10, 0, 0}, 40);
    const SweepPlanOutcome plan = parameterSweep("spray_rate", "5,6,7");
    ASSERT_TRUE(plan.plan);
    SweepOptions options;
    options.jobs = 1;
    options.plainSteps = true;
    CancellingProgress progress;
    const SweepOutcome sweep = runSweep(base, *plan.plan, f.weather, progress, options);
    EXPECT_EQ(sweep.status, SweepStatus::Cancelled);
    const VariantOutcome& first = sweep.variants[0];
    EXPECT_EQ(first.status, VariantStatus::Cancelled);
    EXPECT_GT(first.rows, 0);
    EXPECT_LT(first.rows, first.period.rows() / 2);
    EXPECT_TRUE(first.endpoints.empty());
    for (std::size_t i = 1; i < sweep.variants.size(); ++i) {
        EXPECT_EQ(sweep.variants[i].status, VariantStatus::Cancelled);
        EXPECT_EQ(sweep.variants[i].rows, 0);
    }
}

TEST(Sweep, RefusedVariantsAreReportedWithTheirMessageAndNotRun) {
    struct Case {
        const char* name;
        const char* values;
        std::vector<std::string> refusals;  // per variant, "" for one that runs
    };
    const std::string bankNotWider = msg::kStreamBankNotWider;
    const Case cases[] = {
        // The Stream's field is 7 m wide: a bank of 7 m or less is refused.
        {"bank_width", "5,7,9", {bankNotWider, bankNotWider, ""}},
        {"canopy_cover", "0.5,1.5", {"", fillMessage(msg::kFractionRangeFormat, "피 복 도")}},
        {"spray_rate", "-1,0", {fillMessage(msg::kMustNotBeNegativeFormat, "분무 속도"), ""}},
        {"water_depth", "0,0.3", {fillMessage(msg::kMustBePositiveFormat, "하천 깊이"), ""}},
    };
    SweepFixture f;
    const ScenarioDefinition base = f.scenario(ModelKind::Stream, {2010, 6, 1, 10, 0, 0}, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SweepPlanOutcome plan = parameterSweep(c.name, c.values);
        ASSERT_TRUE(plan.plan) << plan.error;
        SilentProgress progress;
        const SweepOutcome sweep = runSweep(base, *plan.plan, f.weather, progress, {});
        ASSERT_EQ(sweep.variants.size(), c.refusals.size());
        for (std::size_t i = 0; i < c.refusals.size(); ++i) {
            const VariantOutcome& v = sweep.variants[i];
            if (c.refusals[i].empty()) {
                EXPECT_EQ(v.status, VariantStatus::Finished) << v.message;
                EXPECT_EQ(v.endpoints.size(), 14u);
            } else {
                EXPECT_EQ(v.status, VariantStatus::Refused);
                EXPECT_EQ(v.message, c.refusals[i]);
                EXPECT_EQ(v.rows, 0);
                EXPECT_TRUE(v.endpoints.empty());
            }
        }
        // Refused variants stay out of the distribution.
        for (const EndpointDistribution& d : summarizeSweep(sweep))
            EXPECT_EQ(sweep.variants[d.maximumVariant].status, VariantStatus::Finished);
    }
    // A sweep shows nothing itself: refusals are in the outcome.
    EXPECT_TRUE(f.prompter.shown.empty());
}

TEST(SweepPlan, RangesListsAndTheirMistakes) {
    struct Case {
        const char* parameter;  // nullptr: shift of the spray dates
        const char* text;
        std::vector<double> values;  // empty: an error
        std::string error;
    };
    const Case cases[] = {
        {"bank_width", "2:10:2", {2, 4, 6, 8, 10}, ""},
        // Steps of 0.1 reach the end despite binary rounding; values as the float field holds them.
        {"canopy_cover", "0.1:0.3:0.1", {double(0.1f), double(0.2f), double(0.3f)}, ""},
        {"spray_rate", " 7.5, 1e1 ,3", {7.5, 10, 3}, ""},
        {"bank_width", "8:8:1", {8}, ""},
        {nullptr, "-2:4:3", {-2, 1, 4}, ""},
        {nullptr, "-1,5", {-1, 5}, ""},
        {"bank_width", "10:2:2", {}, msg::kSweepToBeforeFrom},
        {"bank_width", "2:10:0", {}, msg::kSweepStepNotPositive},
        {"bank_width", "2:x:1", {}, fillMessage(msg::kSweepNotANumberFormat, "x")},
        {"bank_width", "0:1:1e-9", {}, fillMessage(msg::kSweepTooManyFormat, {"1000000001", "10000"})},
        {"bank", "1,2", {}, fillMessage(msg::kSweepUnknownParameterFormat, "bank")},
        {nullptr, "0:3:0.5", {}, msg::kSweepShiftNotWhole},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.parameter ? c.parameter : "shift") + " " + c.text);
        const SweepPlanOutcome p = c.parameter ? parameterSweep(c.parameter, c.text) : shiftSweep(c.text);
        EXPECT_EQ(p.error, c.error);
        if (c.values.empty()) {
            EXPECT_FALSE(p.plan);
            continue;
        }
        ASSERT_TRUE(p.plan);
        EXPECT_EQ(p.plan->values, c.values);
        EXPECT_EQ(p.plan->name(), c.parameter ? c.parameter : "shift_days");
    }
    // What varied, with its unit once: the shift's label names it already.
    EXPECT_EQ(parameterSweep("bank_width", "8").plan->title(), "하천변 폭 (meter)");
    EXPECT_EQ(parameterSweep("canopy_cover", "0.5").plan->title(), "피 복 도");
    EXPECT_EQ(shiftSweep("1").plan->title(), msg::kShiftDaysLabel);
    // A shifted variant moves every spray date by the same whole days.
    ScenarioDefinition base;
    base.sprayDates = {{2010, 12, 25, 10, 0, 0}, {2011, 1, 1, 9, 30, 0}};
    const SweepPlanOutcome shift = shiftSweep("10");
    ASSERT_TRUE(shift.plan);
    const ScenarioDefinition moved = variantScenario(base, *shift.plan, 10);
    EXPECT_EQ(formatSprayDate(moved.sprayDates[0]), formatSprayDate({2011, 1, 4, 10, 0, 0}));
    EXPECT_EQ(formatSprayDate(moved.sprayDates[1]), formatSprayDate({2011, 1, 11, 9, 30, 0}));
    EXPECT_EQ(variantText(*parameterSweep("canopy_cover", "0.1").plan, double(0.1f)), "0.1");
}

TEST(SweepSummary, DistributionOfHandMadeLists) {
    struct Case {
        std::vector<double> values;
        double minimum, median, p90, maximum;
        std::size_t maximumAt;
    };
    const Case cases[] = {
        // Sorted 1 1 2 3 4 5 6 9: median at rank 3.5, 90th at rank 6.3 = 6 + 0.3 x 3.
        {{3, 1, 4, 1, 5, 9, 2, 6}, 1, 3.5, 6.9, 9, 5},
        {{7}, 7, 7, 7, 7, 0},
        // Two values: the median halfway, the 90th nine tenths of the way.
        {{10, 0}, 0, 5, 9, 10, 0},
        // Ten values 1..10: ranks 4.5 and 8.1.
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1, 5.5, 9.1, 10, 9},
        // Greatest values that print alike: the first of them gives the maximum.
        {{2.0, 5.0000001, 5.0, 1.0}, 1, 3.5, 5.00000007, 5.0000001, 1},
        {{2.0, 5.0, 5.0000001, 1.0}, 1, 3.5, 5.00000007, 5.0000001, 1},
    };
    for (const Case& c : cases) {
        const std::optional<Distribution> d = distributionOf(c.values);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->count, c.values.size());
        EXPECT_DOUBLE_EQ(d->minimum, c.minimum);
        EXPECT_DOUBLE_EQ(d->median, c.median);
        EXPECT_NEAR(d->p90, c.p90, 1e-12);
        EXPECT_DOUBLE_EQ(d->maximum, c.maximum);
        EXPECT_EQ(d->maximumAt, c.maximumAt);
    }
    EXPECT_FALSE(distributionOf({}));

    // Over a sweep: only finished variants count, a window none has is left
    // out, threshold endpoints only for a column with a threshold, and the
    // variant of the maximum is counted among all variants.
    SweepOutcome sweep;
    sweep.kind = ModelKind::Ditch;
    sweep.plan = *shiftSweep("0,1,2,3").plan;
    auto finished = [](double peak, double mean1, std::optional<std::int64_t> minutesAbove) {
        VariantOutcome v;
        v.status = VariantStatus::Finished;
        v.endpoints.resize(8);
        for (int k = 0; k < 8; ++k) v.endpoints[static_cast<std::size_t>(k)].valueIndex = k;
        ColumnEndpoints& water = v.endpoints.back();
        water.peak = peak;
        water.highestMean[0] = mean1;
        if (minutesAbove) water.threshold = ThresholdEndpoints{0.5, *minutesAbove, 1, *minutesAbove, peak / 0.5};
        return v;
    };
    VariantOutcome refused;
    refused.status = VariantStatus::Refused;
    sweep.variants = {finished(1.0, 0.1, 0), refused, finished(3.0, 0.3, 40), finished(2.0, 0.2, 10)};
    const std::vector<EndpointDistribution> summary = summarizeSweep(sweep);
    auto find = [&](int column, EndpointMeasure m, std::size_t window = 0) -> const EndpointDistribution* {
        for (const EndpointDistribution& d : summary)
            if (d.key.valueIndex == column && d.key.measure == m && d.key.window == window) return &d;
        return nullptr;
    };
    const EndpointDistribution* peak = find(7, EndpointMeasure::Peak);
    ASSERT_TRUE(peak);
    EXPECT_EQ(peak->distribution.count, 3u);
    EXPECT_DOUBLE_EQ(peak->distribution.median, 2.0);
    EXPECT_DOUBLE_EQ(peak->distribution.p90, 2.8);
    EXPECT_EQ(peak->maximumVariant, 2u);
    ASSERT_TRUE(find(7, EndpointMeasure::HighestMean, 0));
    EXPECT_EQ(find(7, EndpointMeasure::HighestMean, 0)->maximumVariant, 2u);
    EXPECT_FALSE(find(7, EndpointMeasure::HighestMean, 1));  // no variant has a 2-day mean
    const EndpointDistribution* minutes = find(7, EndpointMeasure::MinutesAbove);
    ASSERT_TRUE(minutes);
    EXPECT_DOUBLE_EQ(minutes->distribution.median, 10);
    EXPECT_FALSE(find(0, EndpointMeasure::MinutesAbove));  // no threshold for that column
    ASSERT_TRUE(find(0, EndpointMeasure::Peak));
    EXPECT_EQ(find(0, EndpointMeasure::Peak)->maximumVariant, 0u);  // all 0: the first finished
}

TEST(SweepChart, LogAxisVariantAxisPercentilesAndThreshold) {
    // Cwater of a Ditch sweep over four values given out of order: peak, 4-day and 21-day means.
    auto variant = [](double value, double peak, double mean4, double mean21) {
        VariantOutcome v;
        v.value = value;
        v.status = VariantStatus::Finished;
        v.endpoints.resize(8);
        ColumnEndpoints& water = v.endpoints.back();
        water.valueIndex = 7;
        water.peak = peak;
        water.highestMean[2] = mean4;
        water.highestMean[5] = mean21;
        return v;
    };
    SweepOutcome sweep;
    sweep.kind = ModelKind::Ditch;
    sweep.plan = *parameterSweep("bank_width", "4,2,8,6").plan;
    VariantOutcome refused;
    refused.value = 1;
    refused.status = VariantStatus::Refused;
    sweep.variants = {variant(4, 0.5, 2e-3, 1e-3), variant(2, 0.2, 1e-3, 5e-4), refused, variant(8, 0.9, 4e-3, 2e-3),
                      variant(6, 0.7, 0, 1.5e-3)};
    const SweepChartLayout layout = sweepChartLayout(sweep, 0.05, 960, 600);
    ASSERT_TRUE(layout.message.empty());
    const PlotRect& r = layout.plot;
    EXPECT_EQ(r.left, kSweepChartLeft);
    EXPECT_EQ(r.right, 960 - kSweepChartRight - 1);
    // Decades from that of the least value above 0 (5e-4) to the one above the greatest (0.9).
    EXPECT_EQ(layout.scales.logBottom, -4);
    EXPECT_EQ(layout.scales.logTop, 0);
    std::vector<std::string> labels;
    for (const ValueLabel& l : layout.valueLabels) labels.push_back(l.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"1.00e-004", "1.00e-003", "1.00e-002", "1.00e-001", "1.00e+000"}));
    EXPECT_EQ(layout.valueLabels.front().y, r.bottom);
    EXPECT_EQ(layout.valueLabels.back().y, r.top);
    EXPECT_EQ(layout.variantTitle, "하천변 폭 (meter)");
    EXPECT_EQ(layout.valueTitle, std::string("Cwater (") + valueUnit(ModelKind::Ditch, 7) + ", 로그 눈금)");

    const double decade = double(r.bottom - r.top) / 4;
    auto yOf = [&](double v) { return r.bottom - (std::log10(v) + 4) * decade; };
    const SweepChartSeries& peak = layout.series[0];
    ASSERT_EQ(peak.points.size(), 4u);  // the refused variant is left out
    // In the order of the variants' values, evenly spread: 2, 4, 6, 8.
    for (std::size_t i = 1; i < 4; ++i) EXPECT_GT(peak.points[i].x, peak.points[i - 1].x);
    EXPECT_NEAR(peak.points[1].x - peak.points[0].x, peak.points[3].x - peak.points[2].x, 1);
    EXPECT_GT(peak.points.front().x, r.left);
    EXPECT_LT(peak.points.back().x, r.right);
    EXPECT_NEAR(peak.points[0].y, yOf(0.2), 1);
    EXPECT_NEAR(peak.points[3].y, yOf(0.9), 1);
    // A value of 0 lies on the bottom edge.
    EXPECT_EQ(layout.series[1].points[2].y, r.bottom);
    // The 90th percentile of the peaks 0.2 0.5 0.7 0.9: rank 2.7, 0.7 + 0.7 x 0.2 = 0.84.
    EXPECT_NEAR(peak.p90, 0.84, 1e-12);
    EXPECT_NEAR(peak.p90Y, yOf(0.84), 1);
    EXPECT_EQ(peak.p90Text, "P90 8.40e-001");
    // Labels right of the plot keep a line apart, in the order of their lines.
    EXPECT_GE(layout.series[1].p90LabelY - layout.series[0].p90LabelY, 15);
    ASSERT_TRUE(layout.threshold);
    EXPECT_NEAR(layout.threshold->y, yOf(0.05), 1);
    EXPECT_EQ(layout.threshold->text, "Cwater 기준 5.00e-002");
    // Shifts are whole days on the variant axis.
    SweepOutcome shifted = sweep;
    shifted.plan = *shiftSweep("-3:5:1").plan;
    for (const SweepChartTick& tick : sweepChartLayout(shifted, std::nullopt, 960, 600).variantTicks)
        EXPECT_EQ(tick.text.find('.'), std::string::npos) << tick.text;

    // Nothing above 0, or nothing that ran: nothing to draw, and it says so.
    SweepOutcome zero = sweep;
    zero.variants = {variant(1, 0, 0, 0)};
    EXPECT_EQ(sweepChartLayout(zero, std::nullopt, 960, 600).message, msg::kSweepChartNoData);
    zero.variants = {refused};
    EXPECT_EQ(sweepChartLayout(zero, 0.05, 960, 600).message, msg::kSweepChartNoData);
}
