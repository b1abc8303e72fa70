// A scenario that runs past New Year: the result window's search of its whole
// period (as selecting it sets the pickers), the summary, the CSV export and
// verdanel-cli's run printout and export must all show the same rows in time
// order, and count every row in its own calendar year.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "cli_support.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/number_text.hpp"
#include "core/common/prompter.hpp"
#include "core/engines/simulation_period.hpp"
#include "core/results/chart_layout.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_search.hpp"
#include "core/results/result_summary.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"

using namespace verdanel;
using namespace verdanel::testing;

namespace verdanel {
// Readable failures: the seven texts.
void PrintTo(const SummaryTexts& t, std::ostream* out) {
    *out << "{" << t.waterMaximum << ", " << t.waterTimeToMaximum << ", " << t.waterResidence << ", " << t.airMaximum
         << ", " << t.airTimeToMaximum << ", " << t.soilMaximum << ", " << t.soilTimeToMaximum << "}";
}
}  // namespace verdanel

namespace {

constexpr std::int64_t kDay = 86400;

// What a store of "%e" texts gives, counted on the clock rather than on month
// and day: row i of `rows` is the minute `first` + i; every value is read back
// from its printed text; a value strictly above the maximum so far takes it;
// the residence ends at the first printed water level of 0.04 or less.
SummaryTexts summaryOnTheClock(const ResultBuffer& rows, const CivilTime& first) {
    const std::int64_t start = toCivilSeconds(first);
    auto printed = [](double v) { return parseAtof(formatE(v)); };
    struct Peak {
        double maximum = 0;
        std::int64_t row = -1;
        std::int64_t tenOClock = 0;  // 10:00 of the maximum's day
        std::int64_t minutes = 0;
    };
    auto peakOf = [&](int series) {
        Peak p;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const double v = printed(rows.rows[i].values[static_cast<std::size_t>(series)]);
            if (v > p.maximum) p = {v, static_cast<std::int64_t>(i)};
        }
        if (p.row < 0) return p;
        const std::int64_t at = start + 60 * p.row;
        p.tenOClock = at - (at % kDay + kDay) % kDay + 10 * 3600;
        p.minutes = (at - p.tenOClock) / 60;
        if (p.minutes < 0) p.minutes += 1440;
        return p;
    };
    const Peak water = peakOf(rows.waterIndex()), air = peakOf(rows.airIndex()), soil = peakOf(rows.soilIndex());
    std::int64_t residence = 0;
    for (std::int64_t j = water.row; water.row >= 0 && j < static_cast<std::int64_t>(rows.size()); ++j) {
        if (printed(rows.rows[static_cast<std::size_t>(j)].values[static_cast<std::size_t>(rows.waterIndex())]) <=
            0.04) {
            residence = (start + 60 * j - water.tenOClock) / 60;
            break;
        }
    }
    return {maximumText(water.maximum), timeToMaximumText(water.minutes), residenceText(residence),
            maximumText(air.maximum),   timeToMaximumText(air.minutes),   maximumText(soil.maximum),
            timeToMaximumText(soil.minutes)};
}

// The rows are the minutes from `first` on, one after the other.
::testing::AssertionResult minutesFrom(const ResultBuffer& rows, const CivilTime& first, std::size_t count) {
    if (rows.size() != count) return ::testing::AssertionFailure() << rows.size() << " rows, not " << count;
    const std::int64_t start = toCivilSeconds(first);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CivilTime t = fromCivilSeconds(start + 60 * static_cast<std::int64_t>(i));
        const ResultRow& r = rows.rows[i];
        if (r.month != t.month || r.day != t.day || r.hour != t.hour || r.minute != t.minute)
            return ::testing::AssertionFailure() << "row " << i << " is " << r.month << "-" << r.day << " " << r.hour
                                                 << ":" << r.minute << ", not " << formatSprayDate(t);
    }
    return ::testing::AssertionSuccess();
}

std::string csvOf(const ResultBuffer& rows, const SummaryTexts& summary) {
    std::ostringstream out;
    writeResultsCsv(out, rows, summary);
    return out.str();
}

}  // namespace

TEST(NewYear, SearchSummaryExportAndRunPrintoutAgreeInTimeOrder) {
    struct Case {
        const char* what;
        const char* model;
        std::vector<std::string> sprayDates;
        std::optional<std::pair<CivilTime, CivilTime>> around;  // a search range that holds New Year
    };
    const Case cases[] = {
        {"Stream, 20 November into February", "stream", {"2010-11-20 10:00"},
         std::pair{CivilTime{2010, 12, 2}, CivilTime{2011, 2, 18}}},
        {"Pond, two sprays in the last week of the year", "pond", {"2010-12-24 10:00", "2010-12-29 10:00"},
         std::pair{CivilTime{2010, 12, 28}, CivilTime{2011, 1, 3}}},
        // The water stays above 0.04 past midnight: the residence runs into the next year.
        {"Ditch, sprayed at 23:00 on New Year's Eve, into the leap year 2012", "ditch", {"2011-12-31 23:00"},
         std::pair{CivilTime{2011, 12, 31}, CivilTime{2012, 1, 1}}},
        {"Ditch, within one year", "ditch", {"2010-06-01 10:00"}, std::nullopt},
    };
    TestApplication app{true};
    ScriptedPrompter prompter;
    StoreConnection connection;
    ASSERT_TRUE(connection.open(app.connectionText(), prompter));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = std::string("newyear ") + c.model + " " + c.sprayDates.front().substr(0, 10);
        const std::string file =
            app.folder.write(name + ".json", scenarioJson(name, c.model, "Chlorpyrifos", c.sprayDates));
        const CliResult run = cli("--store " + quoted(app.storePath()) + " run " + quoted(file));
        ASSERT_EQ(run.code, 0);
        std::vector<CivilTime> dates;
        for (const auto& d : c.sprayDates) dates.push_back(*parseSprayDate(d));
        const SimulationPeriod period = simulationPeriod(dates);
        const ModelKind kind = *modelKindFromText(c.model);

        // Selecting the scenario sets the pickers to its period; the search takes their month and day.
        const ScenarioQueryOutcome selected = queryScenario(connection, prompter, kind, name);
        ASSERT_EQ(selected.status, ScenarioLookup::Found);
        const CivilTime from = selected.info.start, to = selected.info.end;
        const ResultBuffer rows =
            ResultSearch::search(connection, prompter, kind, name, from.month, from.day, to.month, to.day);
        ASSERT_TRUE(minutesFrom(rows, period.firstSecond, static_cast<std::size_t>(period.rows())));
        const SummaryTexts window = summarize(rows, from.year);
        EXPECT_EQ(window, summaryOnTheClock(rows, period.firstSecond));

        // verdanel-cli run printed the summary of the same rows.
        const std::string expected = "scenario: " + name + " (" + c.model + "), " + formatDate(period.start) + " ~ " +
                                     formatDate(period.end) + ", " + std::to_string(period.rows()) + " rows\n" +
                                     "Cwater max: " + window.waterMaximum + "\n" +
                                     "Cwater time to max: " + window.waterTimeToMaximum + "\n" +
                                     "Cwater residence: " + window.waterResidence + "\n" +
                                     "Cair(spray1) max: " + window.airMaximum + "\n" +
                                     "Cair(spray1) time to max: " + window.airTimeToMaximum + "\n" +
                                     "Csoil(spray1) max: " + window.soilMaximum + "\n" +
                                     "Csoil(spray1) time to max: " + window.soilTimeToMaximum + "\n";
        EXPECT_EQ(run.out, expected);

        // Its export of the whole period (the default) is the window's export.
        const std::string csv = app.folder.file(name + ".csv");
        ASSERT_EQ(cli("--store " + quoted(app.storePath()) + " export --model " + c.model + " --scenario " +
                      quoted(name) + " --out " + quoted(csv))
                      .code,
                  0);
        EXPECT_TRUE(readFile(csv) == csvOf(rows, window));

        // The chart runs left to right in time: every date label names the minute of its place.
        const PlotRect plot{100, 0, 1100, 200};
        std::vector<bool> water(static_cast<std::size_t>(rows.valueCount));
        water.back() = true;
        const auto scales = applyScales(&rows, water, plot);
        ASSERT_TRUE(scales.scales.has_value());
        const auto labels = dateLabels(&rows, *scales.scales, plot);
        ASSERT_GE(labels.size(), 10u);
        for (const DateLabel& label : labels) {
            const std::int64_t at = toCivilSeconds(period.firstSecond) + 60 * static_cast<std::int64_t>(label.row);
            EXPECT_EQ(label.text, formatSprayDate(fromCivilSeconds(at)).substr(5));
        }

        // A search range around New Year gives that part of the period, in time order, in its own years.
        if (!c.around) continue;
        const auto [a, b] = *c.around;
        const ResultBuffer part = ResultSearch::search(connection, prompter, kind, name, a.month, a.day, b.month, b.day);
        const std::int64_t days = (toCivilSeconds(b) - toCivilSeconds(a)) / kDay + 1;
        ASSERT_TRUE(minutesFrom(part, a, static_cast<std::size_t>(days * 1440)));
        EXPECT_EQ(summarize(part, a.year), summaryOnTheClock(part, a));
        const std::string partCsv = app.folder.file(name + " part.csv");
        char fromText[8], toText[8];
        std::snprintf(fromText, sizeof fromText, "%02d-%02d", a.month, a.day);
        std::snprintf(toText, sizeof toText, "%02d-%02d", b.month, b.day);
        ASSERT_EQ(cli("--store " + quoted(app.storePath()) + " export --model " + c.model + " --scenario " +
                      quoted(name) + " --from " + fromText + " --to " + toText + " --year " +
                      std::to_string(a.year) + " --out " + quoted(partCsv))
                      .code,
                  0);
        EXPECT_TRUE(readFile(partCsv) == csvOf(part, summarize(part, a.year)));
    }
    EXPECT_TRUE(prompter.shown.empty());
}
