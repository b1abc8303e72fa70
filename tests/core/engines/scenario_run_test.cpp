#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <tuple>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_table.hpp"
#include "core/common/messages.hpp"
#include "core/common/number_text.hpp"
#include "core/common/text_format.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/result_columns.hpp"
#include "core/results/result_search.hpp"
#include "core/results/scenario_records.hpp"
#include "core/results/result_summary.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/weather/weather_reader.hpp"
#include "support/scripted_prompter.hpp"
#include "support/store_digest.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::StoreDigest;
using verdanel::testing::digestStore;
using verdanel::testing::TestApplication;

namespace {

struct CountingProgress final : ProgressSink {
    int calls = 0;
    int abandonAfter = -1;
    int last = -1;
    void progress(int percent) override {
        ++calls;
        last = percent;
    }
    bool abandoned() override { return abandonAfter >= 0 && calls > abandonAfter; }
};

struct RunFixture {
    TestApplication app{true};
    ScriptedPrompter prompter;
    StoreConnection connection;
    RunFixture() { EXPECT_TRUE(connection.open(app.connectionText(), prompter)); }

    ScenarioDefinition scenario(ModelKind kind, const std::string& name, int sprayDates = 1) {
        ScenarioDefinition s;
        s.name = name;
        s.kind = kind;
        s.parameters = defaultParameters(kind);
        auto record = loadChemical(connection, prompter, "Chlorpyrifos");
        EXPECT_TRUE(record.has_value());
        if (record) s.chemical = *record;
        for (int w = 0; w < sprayDates; ++w) s.sprayDates.push_back(addDays(CivilTime{2010, 5, 10, 10, 0, 0}, 7 * w));
        s.weather = defaultWeatherPaths(std::string(VERDANEL_SOURCE_DIR));
        return s;
    }

    RunOutcome run(const ScenarioDefinition& s, CountingProgress* progress = nullptr, bool plain = false) {
        CountingProgress own;
        WeatherSet weather;
        RunOptions options;
        options.plainSteps = plain;
        return runScenario(connection, prompter, progress ? *progress : own, s, weather, options);
    }

    // Row count and a checksum of every stored value of one scenario.
    std::pair<int, double> fingerprint(ModelKind kind, const std::string& name) {
        StoreAccessor a(connection, prompter);
        std::string table = std::string("model_output_") + modelTypeText(kind);
        a.query("SELECT count(*), total(Cwater * 7 + Cair_spray1 * 3 + Csoil_spray1) FROM " + table +
                    " WHERE scenario_name = ?",
                {name}).rows();
        return {std::stoi(a.cell(0, 0)), parseAtof(a.cell(0, 1))};
    }
};

// The refusal of the sample chemical once a required property is spoilt.
std::string notUsable(int column) {
    return fillMessage(fillMessage(msg::kChemicalNotUsableFormat, "Chlorpyrifos"), msg::kPropertyLabels[column - 1]);
}

}  // namespace

TEST(ScenarioRun, StoresTheScenarioRowAndOneRowPerMinute) {
    RunFixture f;
    auto outcome = f.run(f.scenario(ModelKind::Stream, "one date"));
    ASSERT_EQ(outcome.status, RunStatus::Completed);
    EXPECT_EQ(outcome.rows, 91 * 1440);
    EXPECT_EQ(f.fingerprint(ModelKind::Stream, "one date").first, 91 * 1440);
    StoreAccessor a(f.connection, f.prompter);
    ASSERT_EQ(a.query(sql::kScenarioByName, {std::string("one date"), std::string("stream")}).rows(), 1);
    EXPECT_EQ(a.cell(0, 2), "Chlorpyrifos");
    EXPECT_EQ(a.cell(0, 15), "2010-05-10");
    EXPECT_EQ(a.cell(0, 16), "2010-08-08");
    // First and last rows of the period.
    ASSERT_GT(a.query(sql::kSearchStreamOutput, {std::string("0510"), std::string("0510"), std::string("one date")}).rows(), 0);
    EXPECT_EQ(a.cell(0, 1) + a.cell(0, 2) + a.cell(0, 3) + a.cell(0, 4), "05100000");
    // Nothing before the spray at 10:00; something right after it.
    EXPECT_EQ(parseAtof(a.cell(599, 5)), 0.0);
    EXPECT_EQ(parseAtof(a.cell(599, 18)), 0.0);
    EXPECT_GT(parseAtof(a.cell(600, 5)), 0.0);
    ASSERT_GT(a.query(sql::kSearchStreamOutput, {std::string("0808"), std::string("0808"), std::string("one date")}).rows(), 0);
    EXPECT_EQ(a.cell(a.rowCount() - 1, 3) + a.cell(a.rowCount() - 1, 4), "2359");
    ASSERT_FALSE(f.prompter.shown.empty());
    EXPECT_EQ(f.prompter.shown.back().text, fillMessage(msg::kRunCompleteFormat, "one date"));
}

TEST(ScenarioRun, FastPathMatchesThePlainStepOverADefaultPeriod) {
    for (ModelKind kind : {ModelKind::Stream, ModelKind::Ditch}) {
        RunFixture f;
        ASSERT_EQ(f.run(f.scenario(kind, "fast", 3)).status, RunStatus::Completed);
        ASSERT_EQ(f.run(f.scenario(kind, "plain", 3), nullptr, true).status, RunStatus::Completed);
        StoreAccessor a(f.connection, f.prompter);
        const std::string table = std::string("model_output_") + modelTypeText(kind);
        const int values = kind == ModelKind::Stream ? 14 : 8;
        StoreAccessor b(f.connection, f.prompter);
        const int rows = a.query("SELECT * FROM " + table + " WHERE scenario_name = 'fast' ORDER BY rowid").rows();
        ASSERT_EQ(b.query("SELECT * FROM " + table + " WHERE scenario_name = 'plain' ORDER BY rowid").rows(), rows);
        double worst = 0;
        for (int r = 0; r < rows; ++r) {
            for (int c = 5; c < 5 + values; ++c) {
                const double x = parseAtof(a.cell(r, c));
                const double y = parseAtof(b.cell(r, c));
                const double scale = std::max(std::abs(x), std::abs(y));
                if (scale > 1e-300) worst = std::max(worst, std::abs(x - y) / scale);
            }
        }
        EXPECT_LE(worst, 1e-9) << modelTypeText(kind);
    }
}

TEST(ScenarioRun, ReplaceQuestionComesFirstAndCancelKeepsEverything) {
    RunFixture f;
    auto s = f.scenario(ModelKind::Ditch, "again");
    ASSERT_EQ(f.run(s).status, RunStatus::Completed);
    const auto before = f.fingerprint(ModelKind::Ditch, "again");
    f.prompter.shown.clear();
    f.prompter.setNextAnswer(false);
    s.parameters.sprayRate = 15;
    EXPECT_EQ(f.run(s).status, RunStatus::Cancelled);
    ASSERT_EQ(f.prompter.shown.size(), 2u);
    EXPECT_TRUE(f.prompter.shown[0].question);
    EXPECT_EQ(f.prompter.shown[0].text, msg::kReplaceQuestion);
    EXPECT_EQ(f.prompter.shown[0].caption, msg::kReplaceCaption);
    EXPECT_EQ(f.prompter.shown[1].text, msg::kRunCancelled);
    EXPECT_EQ(f.fingerprint(ModelKind::Ditch, "again"), before);
    // OK replaces the rows with the new run's.
    f.prompter.setNextAnswer(true);
    EXPECT_EQ(f.run(s).status, RunStatus::Completed);
    const auto after = f.fingerprint(ModelKind::Ditch, "again");
    EXPECT_EQ(after.first, before.first);
    EXPECT_NEAR(after.second, before.second * 2, before.second * 1e-6);  // twice the spray rate, twice the mass
}

TEST(ScenarioRun, AbandonedRunLeavesTheEarlierRunExactlyAsItWas) {
    RunFixture f;
    auto s = f.scenario(ModelKind::Stream, "kept");
    ASSERT_EQ(f.run(s).status, RunStatus::Completed);
    const auto before = f.fingerprint(ModelKind::Stream, "kept");
    f.prompter.setNextAnswer(true);
    s.parameters.sprayRate = 3;
    CountingProgress progress;
    progress.abandonAfter = 1000;  // half way through the 2184 simulated hours
    EXPECT_EQ(f.run(s, &progress).status, RunStatus::Abandoned);
    EXPECT_EQ(f.fingerprint(ModelKind::Stream, "kept"), before);
    StoreAccessor a(f.connection, f.prompter);
    EXPECT_EQ(a.query(sql::kScenarioExists, {std::string("kept"), std::string("stream")}).rows(), 1);
}

TEST(ScenarioRun, UnreadableWeatherStopsTheRunBeforeTheStoreChanges) {
    RunFixture f;
    auto s = f.scenario(ModelKind::Pond, "weather");
    ASSERT_EQ(f.run(s).status, RunStatus::Completed);
    const auto before = f.fingerprint(ModelKind::Pond, "weather");
    s.weather.rainfall = f.app.folder.file("input/none.txt");
    f.prompter.setNextAnswer(true);
    f.prompter.shown.clear();
    auto outcome = f.run(s);
    EXPECT_EQ(outcome.status, RunStatus::WeatherUnreadable);
    EXPECT_NE(outcome.message.find("none.txt"), std::string::npos);
    EXPECT_EQ(f.fingerprint(ModelKind::Pond, "weather"), before);
}

TEST(ScenarioRun, PondAndDitchOfTheSameNameStayApart) {
    RunFixture f;
    ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, "same")).status, RunStatus::Completed);
    const auto ditch = f.fingerprint(ModelKind::Ditch, "same");
    f.prompter.shown.clear();
    ASSERT_EQ(f.run(f.scenario(ModelKind::Pond, "same")).status, RunStatus::Completed);
    for (const auto& shown : f.prompter.shown) EXPECT_FALSE(shown.question);  // no replace question
    f.prompter.setNextAnswer(true);
    ASSERT_EQ(f.run(f.scenario(ModelKind::Pond, "same")).status, RunStatus::Completed);
    EXPECT_EQ(f.fingerprint(ModelKind::Ditch, "same"), ditch);
    StoreAccessor a(f.connection, f.prompter);
    ASSERT_EQ(a.query(sql::kScenarioByName, {std::string("same"), std::string("pond")}).rows(), 1);
    EXPECT_EQ(parseAtof(a.cell(0, 14)), 0.0);  // a pond does not flow
}

TEST(ScenarioRun, PondEqualsDitchWithStillWater) {
    RunFixture f;
    auto ditch = f.scenario(ModelKind::Ditch, "still", 2);
    ditch.parameters = defaultParameters(ModelKind::Pond);
    ditch.parameters.waterVelocity = 0;
    auto pond = f.scenario(ModelKind::Pond, "still", 2);
    ASSERT_EQ(f.run(ditch).status, RunStatus::Completed);
    ASSERT_EQ(f.run(pond).status, RunStatus::Completed);
    EXPECT_EQ(f.fingerprint(ModelKind::Ditch, "still"), f.fingerprint(ModelKind::Pond, "still"));
}

TEST(ScenarioRun, InputsThatBreakTheModelAreRefusedAndNothingIsStored) {
    RunFixture f;
    struct Case {
        const char* what;
        ModelKind kind;
        void (*change)(ScenarioDefinition&);
        std::string expected;
    };
    const Case cases[] = {
        {"no chemical", ModelKind::Stream, [](ScenarioDefinition& s) { s.chemical = ChemicalRecord{}; },
         msg::kNoChemicalChosen},
        {"L = 0", ModelKind::Stream, [](ScenarioDefinition& s) { s.parameters.sprayLength = 0; },
         fillMessage(msg::kMustBePositiveFormat, scenarioParameterNamed("sprayLength")->label)},
        {"V < 0", ModelKind::Ditch, [](ScenarioDefinition& s) { s.parameters.vehicleSpeed = -1; },
         fillMessage(msg::kMustBePositiveFormat, scenarioParameterNamed("vehicleSpeed")->label)},
        {"n = 0", ModelKind::Pond, [](ScenarioDefinition& s) { s.parameters.dilutionRatio = 0; },
         fillMessage(msg::kMustBePositiveFormat, scenarioParameterNamed("dilutionRatio")->label)},
        {"LAI = 0", ModelKind::Stream, [](ScenarioDefinition& s) { s.parameters.leafAreaIndex = 0; },
         fillMessage(msg::kMustBePositiveFormat, scenarioParameterNamed("leafAreaIndex")->label)},
        {"Ws = 0", ModelKind::Ditch, [](ScenarioDefinition& s) { s.parameters.waterWidth = 0; },
         fillMessage(msg::kMustBePositiveFormat, scenarioParameterNamed("waterWidth")->label)},
        {"d = 0", ModelKind::Stream, [](ScenarioDefinition& s) { s.parameters.waterDepth = 0; },
         fillMessage(msg::kMustBePositiveFormat, scenarioParameterNamed("waterDepth")->label)},
        {"cov = 0", ModelKind::Stream, [](ScenarioDefinition& s) { s.parameters.canopyCover = 0; },
         fillMessage(msg::kFractionRangeFormat, scenarioParameterNamed("canopyCover")->label)},
        {"cov > 1", ModelKind::Ditch, [](ScenarioDefinition& s) { s.parameters.canopyCover = 1.5f; },
         fillMessage(msg::kFractionRangeFormat, scenarioParameterNamed("canopyCover")->label)},
        {"W = 0", ModelKind::Stream, [](ScenarioDefinition& s) { s.parameters.sprayWidth = 0; },
         fillMessage(msg::kMustBePositiveFormat, scenarioParameterNamed("sprayWidth")->label)},
        {"B = W", ModelKind::Stream, [](ScenarioDefinition& s) { s.parameters.bankWidth = s.parameters.sprayWidth; },
         msg::kStreamBankNotWider},
        {"B = Ws", ModelKind::Pond, [](ScenarioDefinition& s) { s.parameters.bankWidth = s.parameters.waterWidth; },
         msg::kDitchBankNotWider},
        {"NaN", ModelKind::Stream, [](ScenarioDefinition& s) { s.parameters.sprayRate = std::nanf(""); },
         fillMessage(msg::kNotFiniteFormat, scenarioParameterNamed("sprayRate")->label)},
        {"infinite", ModelKind::Ditch, [](ScenarioDefinition& s) { s.parameters.bankWidth = INFINITY; },
         fillMessage(msg::kNotFiniteFormat, scenarioParameterNamed("bankWidth")->label)},
        {"air half-life 0", ModelKind::Stream, [](ScenarioDefinition& s) { s.chemical[chem_col::kHalfLifeAir] = "0"; },
         fillMessage(msg::kChemicalPropertyFormat, msg::kPropertyHalfLifeAir)},
        // An empty or non-numeric required property makes the chemical unusable.
        {"water half-life empty", ModelKind::Ditch,
         [](ScenarioDefinition& s) { s.chemical[chem_col::kHalfLifeWater] = ""; },
         notUsable(chem_col::kHalfLifeWater)},
        {"soil half-life text", ModelKind::Pond,
         [](ScenarioDefinition& s) { s.chemical[chem_col::kHalfLifeSoil] = "abc"; },
         notUsable(chem_col::kHalfLifeSoil)},
        {"Henry negative", ModelKind::Stream,
         [](ScenarioDefinition& s) { s.chemical[chem_col::kHenryConstant] = "-1e-5"; },
         fillMessage(msg::kChemicalPropertyFormat, msg::kPropertyHenry)},
        {"no dates", ModelKind::Stream, [](ScenarioDefinition& s) { s.sprayDates.clear(); }, msg::kNoSprayDates},
    };
    for (const auto& c : cases) {
        auto s = f.scenario(c.kind, c.what);
        c.change(s);
        f.prompter.shown.clear();
        auto outcome = f.run(s);
        EXPECT_EQ(outcome.status, RunStatus::Refused) << c.what;
        ASSERT_EQ(f.prompter.shown.size(), 1u) << c.what;
        EXPECT_EQ(f.prompter.shown[0].text, c.expected) << c.what;
        StoreAccessor a(f.connection, f.prompter);
        EXPECT_EQ(a.query(sql::kScenarioExists, {std::string(c.what), std::string(modelTypeText(c.kind))}).rows(), 0);
    }
}

TEST(ScenarioRun, SearchOrdersARunOverTheYearsEndByMonthAndDay) {
    RunFixture f;
    auto s = f.scenario(ModelKind::Ditch, "winter");
    s.sprayDates = {CivilTime{2010, 12, 20, 10, 0, 0}};
    ASSERT_EQ(f.run(s).status, RunStatus::Completed);
    ResultBuffer rows = ResultSearch::search(f.connection, f.prompter, ModelKind::Ditch, "winter", 1, 1, 12, 31);
    ASSERT_EQ(rows.size(), 91u * 1440u);
    // January of the next year comes first, as the month and day texts order them.
    EXPECT_EQ(rows.rows.front().month, 1);
    EXPECT_EQ(rows.rows.front().day, 1);
    EXPECT_EQ(rows.rows.back().month, 12);
    EXPECT_EQ(rows.rows.back().day, 31);
    EXPECT_EQ(rows.rows.back().minute, 59);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& a = rows.rows[i - 1];
        const auto& b = rows.rows[i];
        ASSERT_LE(std::tie(a.month, a.day, a.hour, a.minute), std::tie(b.month, b.day, b.hour, b.minute));
    }
}

// A model that produces a value that is not a finite number has failed: the
// run stops at the first such value, names it and its simulated time, and
// leaves the store as it was, the earlier run it was to replace included.
TEST(ScenarioRun, ARunWhoseValuesAreNotFiniteFailsAndLeavesTheStoreAsItWas) {
    RunFixture f;
    struct Case {
        const char* what;
        ModelKind kind;
        const char* henry;
        bool coefficientsFinite;  // then nothing can go wrong before the first spray, with every mass 0
    };
    const Case cases[] = {
        {"Stream, Henry constant 1e20", ModelKind::Stream, "1e20", false},
        {"Ditch, Henry constant 1e20", ModelKind::Ditch, "1e20", false},
        {"Pond, Henry constant 1e12", ModelKind::Pond, "1e12", true},
        {"Stream, Henry constant 1e12", ModelKind::Stream, "1e12", true},
    };
    for (ModelKind kind : {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond})
        ASSERT_EQ(f.run(f.scenario(kind, "same")).status, RunStatus::Completed);
    const StoreDigest before = digestStore(f.connection.handle());
    const std::string format = msg::kNotFiniteResultFormat;
    const std::size_t first = format.find("%s"), second = format.find("%s", first + 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScenarioDefinition s = f.scenario(c.kind, "same");
        s.chemical[chem_col::kHenryConstant] = c.henry;
        f.prompter.shown.clear();
        f.prompter.setNextAnswer(true);  // replace the earlier run
        CountingProgress progress;
        WeatherSet weather;
        ResultSummary kept;
        kept.residenceMinutes = -1;  // untouched by a run that fails
        RunOptions options;
        options.summary = &kept;
        const RunOutcome outcome = runScenario(f.connection, f.prompter, progress, s, weather, options);
        EXPECT_EQ(outcome.status, RunStatus::ModelFailed);
        EXPECT_EQ(outcome.rows, 0);
        EXPECT_EQ(kept.residenceMinutes, -1);
        ASSERT_EQ(f.prompter.texts(), (std::vector<std::string>{msg::kReplaceQuestion, outcome.message}));

        // "<value> ... <YYYY-MM-DD HH:MM> ...": one of the model's series, a minute of the period.
        const std::string& m = outcome.message;
        ASSERT_EQ(m.rfind(format.substr(0, first), 0), 0u) << m;
        const std::size_t nameEnd = m.find(format.substr(first + 2, second - first - 2), first);
        ASSERT_NE(nameEnd, std::string::npos) << m;
        const std::string name = m.substr(first, nameEnd - first);
        const std::string time = m.substr(nameEnd + second - first - 2, 16);
        EXPECT_EQ(m, fillMessage(fillMessage(format, name), time));
        const auto& series = resultSeries(c.kind);
        EXPECT_TRUE(std::any_of(series.begin(), series.end(), [&](const ResultSeries& r) { return name == r.name; }))
            << name;
        const std::optional<CivilTime> at = parseSprayDate(time);
        ASSERT_TRUE(at.has_value()) << time;
        EXPECT_GE(toCivilSeconds(*at), toCivilSeconds(outcome.period.firstSecond));
        EXPECT_LE(toCivilSeconds(*at), toCivilSeconds(outcome.period.firstSecond) + outcome.period.seconds() - 60);
        if (c.coefficientsFinite) {
            EXPECT_GE(toCivilSeconds(*at), toCivilSeconds(s.sprayDates.front())) << time;
        }
    }
    EXPECT_TRUE(digestStore(f.connection.handle()) == before);
}

// A new store has no index on the output tables' scenario name: a run
// records the rowids of its rows and searches and deletes go by them. Where
// the record is missing, points at another run's rows, or the rows were
// numbered anew by another program's VACUUM, the rows are found by name
// (and the record mended); every way gives the same rows, and a delete
// takes the rows with their record.
TEST(ScenarioRun, OutputRowsAreFoundByTheirRecordedRowidsOrByName) {
    RunFixture f;
    for (const char* name : {"a", "b", "c"})
        ASSERT_EQ(f.run(f.scenario(ModelKind::Ditch, name)).status, RunStatus::Completed);
    StoreAccessor a(f.connection, f.prompter);
    ASSERT_EQ(
        a.query("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name LIKE 'model_output_%'").rows(),
        1);
    EXPECT_EQ(a.cell(0, 0), "0");
    auto search = [&](const std::string& name) {
        const ResultBuffer rows = ResultSearch::search(f.connection, f.prompter, ModelKind::Ditch, name, 1, 1, 12, 31);
        std::vector<std::tuple<int, int, int, int, double, double>> kept;
        for (const ResultRow& r : rows.rows)
            kept.emplace_back(r.month, r.day, r.hour, r.minute, r.values[0], r.values[7]);
        return kept;
    };
    auto record = [&](const std::string& name) {
        if (a.query("SELECT first_row, last_row FROM model_output_rows WHERE Scenario_Name = ?", {name}).rows() != 1)
            return std::make_pair(-1LL, -1LL);
        return std::make_pair(std::stoll(a.cell(0, 0)), std::stoll(a.cell(0, 1)));
    };
    auto byName = [&](const std::string& name) {
        a.query("SELECT min(rowid), max(rowid) FROM model_output_ditch WHERE scenario_name = ?", {name});
        return std::make_pair(std::stoll(a.cell(0, 0)), std::stoll(a.cell(0, 1)));
    };
    const auto b = search("b"), c = search("c");
    ASSERT_FALSE(b.empty());
    EXPECT_EQ(record("b"), byName("b"));
    EXPECT_EQ(record("b").second - record("b").first + 1, static_cast<std::int64_t>(b.size()));

    struct Case {
        const char* what;
        const char* name;
        std::function<void()> spoil;
    };
    const Case cases[] = {
        {"no record", "b", [&] { a.execute("DELETE FROM model_output_rows WHERE Scenario_Name = 'b'"); }},
        {"a record of another run's rows", "c",
         [&] {
             const auto other = record("a");
             a.execute("UPDATE model_output_rows SET first_row = ?, last_row = ? WHERE Scenario_Name = 'c'",
                       {other.first, other.second});
         }},
        {"rows numbered anew", "c",
         [&] {
             ASSERT_TRUE(deleteScenario(f.connection, f.prompter, ModelKind::Ditch, "a"));
             ASSERT_TRUE(a.execute("VACUUM"));
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        k.spoil();
        EXPECT_EQ(search(k.name), std::string(k.name) == "b" ? b : c);
        if (record(k.name).first >= 0) {
            EXPECT_EQ(record(k.name), byName(k.name));  // mended
        }
    }
    ASSERT_TRUE(deleteScenario(f.connection, f.prompter, ModelKind::Ditch, "c"));
    EXPECT_EQ(record("c").first, -1);
    ASSERT_EQ(a.query("SELECT count(*) FROM model_output_ditch WHERE scenario_name = 'c'").rows(), 1);
    EXPECT_EQ(a.cell(0, 0), "0");
    EXPECT_EQ(search("b"), b);
}
