// Exposure endpoints of every value column of 262,080 rows (a Stream search
// of 182 days): peak, the nine highest means and a threshold on every
// column. Times the whole set (the command line's work) and one column with
// its runs of minutes already found (the page's work on every keystroke).
//
//   build-dir/bench/endpoints_bench [repeats]
//   build-dir/bench/endpoints_bench [repeats] STORE MODEL SCENARIO    the rows of a stored run
//
// Without a store the rows are made here: a weekly spray at 10:00 whose
// traces rise within minutes and decay over hours, on a slow background,
// with stretches of exact zeros, different in every column.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/common/civil_time.hpp"
#include "core/common/prompter.hpp"
#include "core/results/exposure_endpoints.hpp"
#include "core/results/result_search.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/store_connection.hpp"

#include "printing_prompter.hpp"

using namespace verdanel;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

ResultBuffer madeRows() {
    constexpr int kRows = 182 * 1440;
    ResultBuffer rows(ModelKind::Stream);
    rows.rows.reserve(kRows);
    std::int64_t t = toCivilSeconds(CivilTime{2024, 6, 1, 0, 0, 0});
    for (int i = 0; i < kRows; ++i, t += 60) {
        const CivilTime now = fromCivilSeconds(t);
        ResultRow r{now.month, now.day, now.hour, now.minute, {}};
        const double sinceSpray = std::fmod((i - 600) + 7.0 * 1440, 7.0 * 1440);
        for (int k = 0; k < 14; ++k) {
            const double pulse = (k + 1) * std::exp(-sinceSpray / (60.0 + 40 * k));
            const double background = 1e-3 * (1 + std::sin(i / (1440.0 * (k + 3))));
            // Every column has dry spells of exact zeros.
            r.values[static_cast<std::size_t>(k)] = (i / 1440 + k) % 9 == 0 ? 0.0 : pulse + background;
        }
        rows.rows.push_back(r);
    }
    return rows;
}

// Processor time of this thread: on a busy machine the wall time also holds other programs' turns.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    ResultBuffer rows;
    int year = 2024;
    PrintingPrompter prompter;
    if (argc > 4) {
        StoreConnection connection;
        const auto kind = modelKindFromText(argv[3]);
        if (!kind || !connection.open(std::string("Provider=SQLite;Data Source=") + argv[2], prompter)) return 1;
        const ScenarioQueryOutcome found = queryScenario(connection, prompter, *kind, argv[4]);
        if (found.status != ScenarioLookup::Found) return 1;
        const CivilTime from = found.info.start, to = found.info.end;
        rows = ResultSearch::search(connection, prompter, *kind, argv[4], from.month, from.day, to.month, to.day);
        year = from.year;
        std::printf("rows of %s (%s), %s ~ %s\n", argv[4], argv[3], found.info.startDate.c_str(),
                    found.info.endDate.c_str());
    } else {
        rows = madeRows();
        std::printf("made rows, 06-01 ~ 11-29\n");
    }
    if (rows.empty()) return 1;

    // A threshold on every column: a tenth of its greatest value.
    std::vector<std::optional<double>> thresholds(static_cast<std::size_t>(rows.valueCount));
    for (int k = 0; k < rows.valueCount; ++k) {
        double greatest = 0;
        for (const ResultRow& r : rows.rows) greatest = std::max(greatest, r.values[static_cast<std::size_t>(k)]);
        if (greatest > 0) thresholds[static_cast<std::size_t>(k)] = greatest / 10;
    }

    std::vector<double> all, one, allCpu;
    std::vector<ColumnEndpoints> endpoints;
    const std::vector<std::size_t> runs = minuteRunStarts(rows, year);
    std::int64_t check = 0;
    for (int r = 0; r < repeats; ++r) {
        auto start = Clock::now();
        const double cpuStart = cpuMs();
        endpoints = allEndpoints(rows, year, thresholds);
        all.push_back(msSince(start));
        allCpu.push_back(cpuMs() - cpuStart);
        start = Clock::now();
        const ColumnEndpoints water = columnEndpoints(rows, rows.waterIndex(), runs, thresholds.back());
        one.push_back(msSince(start));
        check += water.threshold ? water.threshold->events : 0;
    }
    const ColumnEndpoints& water = endpoints.back();
    std::printf("endpoints of all %d columns of %zu rows (peak, 9 means, threshold): median %6.2f ms, best %6.2f ms "
                "wall, median %6.2f ms cpu (%d runs)\n",
                rows.valueCount, rows.size(), median(all), *std::min_element(all.begin(), all.end()), median(allCpu),
                repeats);
    std::printf("endpoints of Cwater alone (the page on a keystroke):                   median %6.2f ms, best %6.2f ms\n",
                median(one), *std::min_element(one.begin(), one.end()));
    std::printf("Cwater: peak %.6e at %s, highest 1-day mean %.6e, 90-day %.6e, %lld minutes above %.3e in %lld "
                "events (%lld)\n",
                water.peak, water.peakAt.c_str(), water.highestMean[0].value_or(-1), water.highestMean[8].value_or(-1),
                static_cast<long long>(water.threshold ? water.threshold->minutesAbove : 0),
                water.threshold ? water.threshold->threshold : 0.0,
                static_cast<long long>(water.threshold ? water.threshold->events : 0),
                static_cast<long long>(check / repeats));
    return 0;
}
