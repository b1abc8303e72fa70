// The bare insert a run's writing is held against: the output rows of a stored
// run (read first, not timed) inserted again into a fresh store of the same
// schema (16 KiB pages), in one transaction, through one prepared statement of
// 64 rows and one for the rows left over. Timed from opening the fresh store
// to the end of the commit.
//
//   build-dir/bench/bare_insert_bench SOURCE_STORE MODEL SCENARIO FRESH_STORE
//
// FRESH_STORE must not exist; it is made with the program's own schema and
// removed again. Prints the time in seconds and the rows inserted.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/common/prompter.hpp"
#include "core/results/result_search.hpp"
#include "core/store/schema.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"
#include "core/store/store_transaction.hpp"

#include "printing_prompter.hpp"

using namespace verdanel;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRowsPerStatement = 64;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s SOURCE_STORE stream|ditch|pond SCENARIO FRESH_STORE\n", argv[0]);
        return 2;
    }
    const auto kind = modelKindFromText(argv[2]);
    if (!kind) return 2;
    const std::string scenario = argv[3];
    const std::string fresh = argv[4];
    PrintingPrompter prompter;

    ResultBuffer rows;
    {
        StoreConnection source;
        if (!source.open(std::string("Data Source=") + argv[1], prompter)) return 1;
        rows = ResultSearch::search(source, prompter, *kind, scenario, 1, 1, 12, 31);
    }
    if (rows.empty()) return 1;
    if (!createStore(fresh).ok) return 1;

    std::array<std::array<char, 3>, 60> two{};
    for (int i = 0; i < 60; ++i) std::snprintf(two[static_cast<std::size_t>(i)].data(), 3, "%02d", i);
    const int columns = 5 + rows.valueCount;
    const char* single = sql::statementsFor(*kind).insertOutput;

    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    bool ok = true;
    {
        StoreConnection store;
        if (!store.open(std::string("Data Source=") + fresh, prompter)) return 1;
        StoreTransaction transaction(store);
        ok = transaction.begin();
        StoreStatement block(store, sql::multiRowInsert(single, kRowsPerStatement));
        const std::size_t full = rows.size() / kRowsPerStatement * kRowsPerStatement;
        auto bindRows = [&](StoreStatement& st, std::size_t first, std::size_t count) {
            for (std::size_t r = 0; r < count; ++r) {
                const ResultRow& row = rows.rows[first + r];
                const int p = 1 + static_cast<int>(r) * columns;
                auto text = [&](int v) { return std::string_view(two[static_cast<std::size_t>(v)].data(), 2); };
                st.bindStaticText(p, scenario);
                st.bindStaticText(p + 1, text(row.month));
                st.bindStaticText(p + 2, text(row.day));
                st.bindStaticText(p + 3, text(row.hour));
                st.bindStaticText(p + 4, text(row.minute));
                for (int v = 0; v < rows.valueCount; ++v)
                    st.bindDouble(p + 5 + v, row.values[static_cast<std::size_t>(v)]);
            }
            return st.run();
        };
        for (std::size_t r = 0; ok && r < full; r += kRowsPerStatement) ok = bindRows(block, r, kRowsPerStatement);
        if (ok && full < rows.size()) {
            StoreStatement rest(store, sql::multiRowInsert(single, static_cast<int>(rows.size() - full)));
            ok = bindRows(rest, full, rows.size() - full);
        }
        ok = ok && transaction.commit();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::error_code ec;
    std::filesystem::remove(fresh, ec);
    if (!ok) return 1;
    // The processor time shows how much of the wall time a busy machine added.
    std::printf("%.3f s, %zu rows, %.3f s processor time\n", seconds, rows.size(), cpuSeconds);
    return 0;
}
