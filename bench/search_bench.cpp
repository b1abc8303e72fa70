// Loads a whole Stream run (182 days of output minutes, 262,080 rows) into a
// row buffer the way the result window's search does, and times the search,
// the summary and the CSV export of those rows.
//
//   build-dir/bench/search_bench [repeats]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/common/civil_time.hpp"
#include "core/common/prompter.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_search.hpp"
#include "core/results/result_summary.hpp"
#include "core/store/schema.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"
#include "core/store/store_transaction.hpp"

#include "printing_prompter.hpp"

using namespace verdanel;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this process, so a busy machine shows in the gap to the wall time.
double cpuMsSince(std::clock_t start) { return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

std::string twoDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

constexpr const char* kScenario = "bench run";
constexpr int kDays = 182;  // 1 June to 29 November
constexpr int kRows = kDays * 1440;

// A weekly spray at 10:00 whose traces peak a few minutes later and decay;
// enough shape for the summary to walk a long residence.
bool fillStore(StoreConnection& connection) {
    StoreTransaction transaction(connection);
    if (!transaction.begin()) return false;
    StoreStatement insert(connection, sql::kInsertStreamOutput);
    if (!insert.valid()) {
        std::fprintf(stderr, "prepare: %s\n", insert.error().c_str());
        return false;
    }
    const CivilTime first{2024, 6, 1, 0, 0, 0};
    std::int64_t t = toCivilSeconds(first);
    for (int i = 0; i < kRows; ++i, t += 60) {
        const CivilTime now = fromCivilSeconds(t);
        const double minutesSincePeak = std::fmod((i - 607) + 7.0 * 1440, 7.0 * 1440);
        const double level = 5.0 * std::exp(-minutesSincePeak / 300.0);
        insert.bindText(1, kScenario);
        insert.bindText(2, twoDigits(now.month));
        insert.bindText(3, twoDigits(now.day));
        insert.bindText(4, twoDigits(now.hour));
        insert.bindText(5, twoDigits(now.minute));
        for (int v = 0; v < 13; ++v) insert.bindDouble(6 + v, level * (v + 1) * 1e-3);
        insert.bindDouble(19, level);  // Cwater
        if (!insert.run()) {
            std::fprintf(stderr, "insert: %s\n", insert.error().c_str());
            return false;
        }
    }
    return transaction.commit();
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("verdanel-search-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string store = (folder / "Verdanel.mdb").string();

    PrintingPrompter prompter;
    int status = 0;
    {
        StoreCreation created = createStore(store);
        StoreConnection connection;
        if (!created.ok || !connection.open(store, prompter)) {
            std::fprintf(stderr, "could not make the store: %s\n", created.error.c_str());
            std::filesystem::remove_all(folder);
            return 1;
        }

        auto start = Clock::now();
        if (!fillStore(connection)) status = 1;
        std::printf("insert   %d rows, one prepared statement, one transaction: %8.1f ms\n", kRows, msSince(start));

        double best = 1e300, total = 0, cpu = 0;
        std::size_t loaded = 0;
        ResultBuffer buffer;
        for (int r = 0; r < repeats && status == 0; ++r) {
            buffer = ResultBuffer();  // the previous rows are gone before the next load, as in the window
            const std::clock_t cpuStart = std::clock();
            start = Clock::now();
            buffer = ResultSearch::search(connection, prompter, ModelKind::Stream, kScenario, 6, 1, 11, 29);
            const double ms = msSince(start);
            cpu += cpuMsSince(cpuStart);
            best = std::min(best, ms);
            total += ms;
            loaded = buffer.size();
        }
        std::printf("search   %zu rows (06-01 ~ 11-29) into the row buffer: best %7.1f ms, mean %7.1f ms wall, "
                    "%7.1f ms cpu (%d runs)\n",
                    loaded, best, total / repeats, cpu / repeats, repeats);
        if (loaded != static_cast<std::size_t>(kRows)) status = 1;

        start = Clock::now();
        const ResultBuffer whole = ResultSearch::search(connection, prompter, ModelKind::Stream, kScenario, 1, 1, 12, 31);
        std::printf("search   %zu rows (01-01 ~ 12-31):                       %7.1f ms wall\n", whole.size(),
                    msSince(start));

        // A range across New Year takes the rows in the order the run stored them.
        start = Clock::now();
        const ResultBuffer wrapped =
            ResultSearch::search(connection, prompter, ModelKind::Stream, kScenario, 6, 1, 5, 31);
        std::printf("search   %zu rows (06-01 ~ 05-31, across New Year):     %7.1f ms wall\n", wrapped.size(),
                    msSince(start));

        start = Clock::now();
        SummaryTexts texts;
        for (int r = 0; r < repeats; ++r) texts = summarize(buffer, 2024);
        std::printf("summary  of %zu rows: %7.2f ms per run (water max %s, to max %s, residence %s)\n", loaded,
                    msSince(start) / repeats, texts.waterMaximum.c_str(), texts.waterTimeToMaximum.c_str(),
                    texts.waterResidence.c_str());

        const std::filesystem::path csv = folder / "06-01 ~ 11-29.csv";
        start = Clock::now();
        if (!exportResultsCsv(csv, buffer, texts, prompter)) status = 1;
        std::printf("csv      export of %zu rows to a file: %7.1f ms, %ju bytes\n", loaded, msSince(start),
                    static_cast<std::uintmax_t>(std::filesystem::file_size(csv)));
    }
    std::filesystem::remove_all(folder);
    return status;
}
