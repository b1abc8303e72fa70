// The stored values of the default Stream, Ditch and Pond scenarios, held
// against a record of them (tests/data/fate_golden/*.txt): any change to the
// models' arithmetic that moves one stored value shows here.
//
// Each record holds a hash of the "%e" texts of every output value of every
// row (what a list or an export shows), and at full precision the sum and the
// largest value of every column and the whole 12:00 row of every day. The
// hash must match exactly, the numbers to a relative 1e-12.
//
// A deliberate change of the models' results rewrites the records with
//   VERDANEL_WRITE_FATE_GOLDEN=1 build/tests/core_engines_test --gtest_filter='FateGolden*'
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/common/number_text.hpp"
#include "core/engines/ditch_fate.hpp"
#include "core/engines/engine_driver.hpp"
#include "core/engines/stream_fate.hpp"
#include "core/weather/weather_reader.hpp"
#include "support/scripted_prompter.hpp"

using namespace verdanel;

namespace {

// The sample Chlorpyrifos record (logKow, half-lives in air, water and soil,
// Henry constant, diffusivities in air and water).
const ChemicalProperties kChlorpyrifos{4.7, 1.4, 612, 1200, 4.71e-06, 0.0209, 2.998e-06};

std::vector<CivilTime> fourteenWeeklySprays() {
    std::vector<CivilTime> dates;
    for (int w = 0; w < 14; ++w) dates.push_back(addDays(CivilTime{2010, 6, 1, 10, 0, 0}, 7 * w));
    return dates;
}

std::string full(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// What the record keeps of one run.
struct Digest {
    std::int64_t rows = 0;
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the row texts
    std::vector<double> sum, max;
    std::vector<std::string> noonKeys;   // "MM-DD"
    std::vector<std::vector<double>> noonRows;

    void mix(const std::string& text) {
        for (unsigned char c : text) {
            hash ^= c;
            hash *= 1099511628211ull;
        }
    }
};

class DigestSink final : public OutputRowSink {
public:
    DigestSink(Digest& digest, int columns) : d_(digest), columns_(columns) {
        d_.sum.assign(static_cast<std::size_t>(columns), 0.0);
        d_.max.assign(static_cast<std::size_t>(columns), -HUGE_VAL);
    }
    bool row(int month, int day, int hour, int minute, const double* values) override {
        char key[16];
        std::snprintf(key, sizeof key, "%02d-%02d %02d:%02d", month, day, hour, minute);
        d_.mix(key);
        for (int i = 0; i < columns_; ++i) {
            const auto c = static_cast<std::size_t>(i);
            d_.mix(" " + formatE(values[i]));
            d_.sum[c] += values[i];
            d_.max[c] = std::max(d_.max[c], values[i]);
        }
        d_.mix("\n");
        if (hour == 12 && minute == 0) {
            d_.noonKeys.emplace_back(key, 5);
            d_.noonRows.emplace_back(values, values + columns_);
        }
        ++d_.rows;
        return true;
    }

private:
    Digest& d_;
    int columns_;
};

template <class Fate>
Digest runDefaults(ModelKind kind) {
    WeatherSet weather;
    verdanel::testing::ScriptedPrompter prompter;
    EXPECT_TRUE(readWeatherSet(weather, defaultWeatherPaths(VERDANEL_SOURCE_DIR), prompter).opened);
    EXPECT_TRUE(prompter.shown.empty());
    const auto dates = fourteenWeeklySprays();
    Fate fate(defaultParameters(kind), kChlorpyrifos);
    const SpraySchedule schedule(dates, fate.sprayDuration());
    struct : ProgressSink {
        void progress(int) override {}
        bool abandoned() override { return false; }
    } progress;
    Digest digest;
    DigestSink sink(digest, Fate::kOutputCount);
    EXPECT_EQ(drivePeriod(fate, simulationPeriod(dates), schedule, weather, sink, progress), DriveResult::Finished);
    return digest;
}

std::string recordPath(const char* model) {
    return std::string(VERDANEL_TEST_DATA_DIR) + "/fate_golden/" + model + ".txt";
}

void writeRecord(const char* model, const Digest& d) {
    std::ofstream out(recordPath(model), std::ios::binary);
    out << "# Output rows of the default " << model
        << " scenario: window defaults, Chlorpyrifos, the sample weather, 14 weekly sprays from 2010-06-01 10:00.\n"
        << "# Written by fate_golden_test.cpp; hash: FNV-1a 64 of the \"%e\" texts of every row.\n";
    out << "rows " << d.rows << "\n";
    char hash[24];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(d.hash));
    out << "hash " << hash << "\n";
    auto line = [&](const std::string& head, const std::vector<double>& values) {
        out << head;
        for (double v : values) out << ' ' << full(v);
        out << '\n';
    };
    line("sum", d.sum);
    line("max", d.max);
    for (std::size_t i = 0; i < d.noonRows.size(); ++i) line("noon " + d.noonKeys[i], d.noonRows[i]);
}

std::vector<double> numbers(std::istringstream& in) {
    std::vector<double> values;
    std::string word;
    while (in >> word) {
        double v = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), v);
        EXPECT_TRUE(error == std::errc() && end == word.data() + word.size()) << word;
        values.push_back(v);
    }
    return values;
}

bool closeEnough(double want, double got) {
    return want == got || std::fabs(want - got) <= 1e-12 * std::max(std::fabs(want), std::fabs(got));
}

void expectClose(const std::string& what, const std::vector<double>& want, const std::vector<double>& got) {
    ASSERT_EQ(want.size(), got.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_TRUE(closeEnough(want[i], got[i])) << what << " column " << i + 1 << ": recorded " << full(want[i])
                                                  << ", now " << full(got[i]);
}

void compareWithRecord(const char* model, const Digest& d) {
    if (std::getenv("VERDANEL_WRITE_FATE_GOLDEN")) writeRecord(model, d);
    std::ifstream in(recordPath(model));
    ASSERT_TRUE(in) << recordPath(model);
    std::string text;
    std::size_t noon = 0;
    int checkedLines = 0;
    while (std::getline(in, text)) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream line(text);
        std::string head;
        line >> head;
        ++checkedLines;
        if (head == "rows") {
            std::int64_t rows = 0;
            line >> rows;
            EXPECT_EQ(rows, d.rows);
        } else if (head == "hash") {
            std::string hash;
            line >> hash;
            char now[24];
            std::snprintf(now, sizeof now, "%016llx", static_cast<unsigned long long>(d.hash));
            EXPECT_EQ(hash, now) << "a \"%e\" text of some stored value changed";
        } else if (head == "sum" || head == "max") {
            expectClose(head, numbers(line), head == "sum" ? d.sum : d.max);
        } else if (head == "noon") {
            std::string key;
            line >> key;
            ASSERT_LT(noon, d.noonRows.size());
            EXPECT_EQ(key, d.noonKeys[noon]);
            expectClose("12:00 row of " + key, numbers(line), d.noonRows[noon]);
            ++noon;
        } else {
            ADD_FAILURE() << "unknown line: " << text;
        }
    }
    EXPECT_EQ(noon, d.noonRows.size()) << "12:00 rows";
    EXPECT_EQ(checkedLines, 4 + static_cast<int>(d.noonRows.size()));
}

}  // namespace

TEST(FateGolden, DefaultStreamScenarioHoldsEveryStoredValue) {
    const Digest d = runDefaults<StreamFate>(ModelKind::Stream);
    EXPECT_EQ(d.rows, 262080);
    compareWithRecord("stream", d);
}

TEST(FateGolden, DefaultDitchScenarioHoldsEveryStoredValue) {
    const Digest d = runDefaults<DitchFate>(ModelKind::Ditch);
    compareWithRecord("ditch", d);
}

TEST(FateGolden, DefaultPondScenarioHoldsEveryStoredValue) {
    const Digest d = runDefaults<DitchFate>(ModelKind::Pond);
    compareWithRecord("pond", d);
}
