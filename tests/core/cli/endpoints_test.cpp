// verdanel-cli endpoints over a stored default Stream run (14 weekly sprays
// from 1 June, 262,080 rows): its JSON against a plain recomputation from
// the printed rows, and its usage errors.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_support.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/number_text.hpp"
#include "core/common/prompter.hpp"
#include "core/results/exposure_endpoints.hpp"
#include "core/results/result_columns.hpp"
#include "core/results/result_search.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"

using namespace verdanel;
using namespace verdanel::testing;
using json = nlohmann::ordered_json;

namespace {

// The stored run, made once for the tests of this file.
struct DefaultRun {
    TestApplication app{true};
    std::string store;
    ResultBuffer rows{ModelKind::Stream};
    DefaultRun() : store(quoted(app.storePath())) {
        std::vector<std::string> dates;
        for (int week = 0; week < 14; ++week) dates.push_back(formatSprayDate(addDays({2010, 6, 1, 10, 0, 0}, 7 * week)));
        const std::string file = app.folder.write("default.json", scenarioJson("default", "stream", "Chlorpyrifos",
                                                                                dates));
        EXPECT_EQ(cli("--store " + store + " run " + quoted(file)).code, 0);
        ScriptedPrompter prompter;
        StoreConnection connection;
        EXPECT_TRUE(connection.open(app.connectionText(), prompter));
        rows = ResultSearch::search(connection, prompter, ModelKind::Stream, "default", 6, 1, 11, 29);
    }
};

DefaultRun& defaultRun() {
    static DefaultRun run;
    return run;
}

double printed(double v) { return parseAtof(formatE(v)); }

}  // namespace

TEST(EndpointsCommand, JsonOfAStoredDefaultRunIsAPlainRecomputationOfItsPrintedRows) {
    const DefaultRun& run = defaultRun();
    const std::size_t n = run.rows.size();
    ASSERT_EQ(n, 262080u);
    // Csoil(A1)'s threshold is its own peak as printed.
    double soilPeak = 0;
    for (const ResultRow& r : run.rows.rows) soilPeak = std::max(soilPeak, r.values[6]);
    const CliResult out =
        cli("--store " + run.store + " endpoints --model stream --scenario default --json --threshold Cwater=0.05 " +
            "--threshold 'Cair(S1)=1e-3' --threshold 'Csoil(A1)=" + formatE(soilPeak) + "'");
    ASSERT_EQ(out.code, 0);
    const json doc = json::parse(out.out);

    // The shape: these keys in this order, numbers as numbers, null where there is none.
    auto keys = [](const json& object) {
        std::vector<std::string> k;
        for (const auto& item : object.items()) k.push_back(item.key());
        return k;
    };
    EXPECT_EQ(keys(doc), (std::vector<std::string>{"scenario", "model", "rows", "columns"}));
    EXPECT_EQ(doc["scenario"], "default");
    EXPECT_EQ(doc["model"], "stream");
    EXPECT_EQ(doc["rows"], n);
    std::vector<std::string> headers;
    for (const ResultColumn& c : detailColumns(ModelKind::Stream))
        if (c.field == ColumnField::Value) headers.emplace_back(c.header);
    ASSERT_EQ(keys(doc["columns"]), headers);

    for (int k = 0; k < 14; ++k) {
        SCOPED_TRACE(headers[static_cast<std::size_t>(k)]);
        const json& c = doc["columns"][headers[static_cast<std::size_t>(k)]];
        ASSERT_EQ(keys(c), (std::vector<std::string>{"peak", "peak_at", "twa", "threshold", "minutes_above", "events",
                                                      "longest_event_minutes", "peak_to_threshold"}));
        ASSERT_EQ(keys(c["twa"]), (std::vector<std::string>{"1", "2", "4", "7", "14", "21", "28", "60", "90"}));
        std::vector<double> x(n), shown(n);
        for (std::size_t i = 0; i < n; ++i) {
            x[i] = run.rows.rows[i].values[static_cast<std::size_t>(k)];
            shown[i] = printed(x[i]);
        }

        // The peak: the first row of the greatest printed value.
        std::size_t at = 0;
        for (std::size_t i = 1; i < n; ++i)
            if (shown[i] > shown[at]) at = i;
        ASSERT_GT(x[at], 0);
        EXPECT_EQ(c["peak"].get<double>(), x[at]);
        char when[16];
        const ResultRow& r = run.rows.rows[at];
        std::snprintf(when, sizeof when, "%02d-%02d %02d:%02d", r.month, r.day, r.hour, r.minute);
        EXPECT_EQ(c["peak_at"], when);

        // The means: for Cair(S1) and Cwater every day-long window summed
        // afresh, else a running sum in long double.
        const bool afresh = k == 0 || k == 13;
        for (std::size_t w = 0; w < kAveragingDays.size(); ++w) {
            const std::size_t width = static_cast<std::size_t>(kAveragingDays[w]) * 1440;
            long double best = 0, running = 0;
            for (std::size_t i = 0; i < width; ++i) running += x[i];
            best = running;
            for (std::size_t i = 1; i + width <= n; ++i) {
                if (w == 0 && afresh) {
                    long double fresh = 0;
                    for (std::size_t j = i; j < i + width; ++j) fresh += x[j];
                    running = fresh;
                } else {
                    running += static_cast<long double>(x[i + width - 1]) - x[i - 1];
                }
                best = std::max(best, running);
            }
            const double mean = static_cast<double>(best / width);
            EXPECT_NEAR(c["twa"][std::to_string(kAveragingDays[w])].get<double>(), mean, 1e-13 * mean)
                << kAveragingDays[w] << " days";
        }

        // The threshold: rows whose printed value is above the printed threshold.
        if (c["threshold"].is_null()) {
            for (const char* key : {"minutes_above", "events", "longest_event_minutes", "peak_to_threshold"})
                EXPECT_TRUE(c[key].is_null()) << key;
            continue;
        }
        const double t = c["threshold"].get<double>();
        std::int64_t above = 0, events = 0, longest = 0, current = 0;
        for (double v : shown) {
            current = v > printed(t) ? current + 1 : 0;
            above += current > 0;
            events += current == 1;
            longest = std::max(longest, current);
        }
        EXPECT_EQ(c["minutes_above"], above);
        EXPECT_EQ(c["events"], events);
        EXPECT_EQ(c["longest_event_minutes"], longest);
        EXPECT_DOUBLE_EQ(c["peak_to_threshold"].get<double>(), x[at] / t);
        EXPECT_TRUE(k == 6 ? above == 0 : events > 1);  // Csoil(A1): its threshold prints as its peak does
    }
    EXPECT_EQ(doc["columns"]["Cair(S2)"]["threshold"], nullptr);
}

TEST(EndpointsCommand, TableAndUsageErrors) {
    const DefaultRun& run = defaultRun();
    const std::string command = "--store " + run.store + " endpoints --model stream --scenario default";
    const CliResult table = cli(command + " --from 06-08 --to 06-14 --threshold Cwater=0.05");
    ASSERT_EQ(table.code, 0);
    EXPECT_EQ(table.out.rfind("scenario: default (stream), 06-08 ~ 06-14, 10080 rows\n", 0), 0u) << table.out;
    EXPECT_NE(table.out.find("최대 7일 평균 농도"), std::string::npos);
    EXPECT_EQ(cli(command + " --threshold Cwater=0.05 --threshold Cwater=0.1").code, 2);
    EXPECT_EQ(cli(command + " --threshold Cwater").code, 2);
    EXPECT_EQ(cli(command + " --threshold Cwater=0,05").code, 2);
    EXPECT_EQ(cli(command + " --threshold Cwater=-1").code, 2);
    EXPECT_EQ(cli(command + " --threshold 'Cair(spray1)=1'").code, 2);  // the table's headers name the columns
    EXPECT_EQ(cli(command + " --from 6-1").code, 2);
    EXPECT_EQ(cli("--store " + run.store + " endpoints --model stream").code, 2);
    EXPECT_EQ(cli("--store " + run.store + " endpoints --model stream --scenario missing").code, 1);
}
