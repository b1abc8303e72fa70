// A store that grows: 20 default Stream scenarios (262,080 rows each, about
// 44 MB), then what Quit costs with nothing deleted, what a delete of one
// scenario costs with its compaction, and how the file compares with a full
// rewrite. The old way (a full rewrite at every Quit and delete) is timed too.
// usage: build/bench/store_growth_bench [SCENARIOS] [FOLDER] [unordered]
// Names are "scenario 01", "scenario 02", ...: each run's rows then go to the
// end of the name index. With "unordered" they are "scenario 1", "scenario 2",
// ..., so "scenario 10" to "19" sort between earlier names: the index pages
// they land in split, and that slack stays until a full rewrite.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/app/store_compaction.hpp"
#include "core/chemicals/chemical_table.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/prompter.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/schema.hpp"
#include "core/store/sqlite_handle.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_space.hpp"
#include "core/store/store_statement.hpp"
#include "core/weather/weather_reader.hpp"

#include "printing_prompter.hpp"

using namespace verdanel;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double megabytes(std::uintmax_t bytes) { return static_cast<double>(bytes) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
    const int scenarios = argc > 1 ? std::atoi(argv[1]) : 20;
    const fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "verdanel-store-growth";
    const bool unordered = argc > 3 && std::string(argv[3]) == "unordered";
    auto nameOf = [unordered](int i) {
        char name[32];
        std::snprintf(name, sizeof name, unordered ? "scenario %d" : "scenario %02d", i);
        return std::string(name);
    };
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string store = (folder / "Verdanel.mdb").string();
    const std::string text = "Provider=SQLite;Data Source=" + store;
    const std::string source = VERDANEL_SOURCE_DIR;
    if (auto made = createStore(store, source + "/data/sample_chemicals.tsv"); !made.ok) {
        std::fprintf(stderr, "%s\n", made.error.c_str());
        return 1;
    }
    PrintingPrompter prompter(true);
    StoreConnection connection;
    if (!connection.open(text, prompter)) return 1;

    ScenarioDefinition scenario;
    scenario.kind = ModelKind::Stream;
    scenario.parameters = defaultParameters(ModelKind::Stream);
    scenario.weather = defaultWeatherPaths(source);
    const auto chemical = loadChemical(connection, prompter, "Chlorpyrifos");
    if (!chemical) return 1;
    scenario.chemical = *chemical;
    for (int week = 0; week < 14; ++week) scenario.sprayDates.push_back(addDays(CivilTime{2010, 6, 1, 10, 0, 0}, 7 * week));
    RunOptions options;
    options.announceCompletion = false;
    SilentProgress progress;
    const auto building = Clock::now();
    for (int i = 0; i < scenarios; ++i) {
        scenario.name = nameOf(i + 1);
        WeatherSet weather;
        if (runScenario(connection, prompter, progress, scenario, weather, options).status != RunStatus::Completed)
            return 1;
    }
    std::printf("store of %d default Stream scenarios (%s names): %.1f MB, built in %.1f s\n", scenarios,
                unordered ? "unordered" : "ordered", megabytes(fs::file_size(store)), secondsSince(building));

    {
        const StoreSpace space = readStoreSpace(connection);
        std::printf("  %lld pages of %lld bytes, %lld free\n", static_cast<long long>(space.pages),
                    static_cast<long long>(space.pageSize), static_cast<long long>(space.freePages));
    }
    if (std::getenv("VERDANEL_KEEP_STORE")) return 0;
    const std::string rewritten = (folder / "rewritten.mdb").string();
    auto rewriteTo = [&](const std::string& path) {
        fs::remove(path);
        StoreStatement vacuum(connection.database(), "VACUUM INTO ?");
        vacuum.bindText(1, path);
        return vacuum.run();
    };
    // The slack a full rewrite takes out of a store that no delete has touched:
    // the indexes as row-by-row inserts leave their pages, rebuilt packed.
    if (!rewriteTo(rewritten)) return 1;
    std::printf("  before any delete the store is %+.3f %% of its own full rewrite (%.1f MB)\n",
                100.0 * (static_cast<double>(fs::file_size(store)) - static_cast<double>(fs::file_size(rewritten))) /
                    static_cast<double>(fs::file_size(rewritten)),
                megabytes(fs::file_size(rewritten)));
    fs::remove(rewritten);
    // Quit with nothing deleted.
    auto started = Clock::now();
    CompactionOutcome quit = compactIfWorthwhile(connection, text, prompter);
    const double quitSeconds = secondsSince(started);
    std::printf("Quit, nothing deleted: %.3f s (%s; budget 0.3 s)\n", quitSeconds,
                quit.compacted ? "rewritten" : "no rewrite");

    // Delete one scenario, its pages given back, then the compaction a delete does.
    const auto sizeBefore = fs::file_size(store);
    started = Clock::now();
    if (!deleteScenario(connection, prompter, ModelKind::Stream, nameOf(1))) return 1;
    const double deleteSeconds = secondsSince(started);
    started = Clock::now();
    CompactionOutcome afterDelete = compactIfWorthwhile(connection, text, prompter);
    const double compactSeconds = secondsSince(started);
    const auto sizeAfter = fs::file_size(store);
    std::printf("delete of one scenario: %.3f s with its page return, then compaction %.3f s (%s): %.3f s "
                "(budget 1 s); file %.1f MB -> %.1f MB\n",
                deleteSeconds, compactSeconds, afterDelete.compacted ? "rewritten" : "no rewrite",
                deleteSeconds + compactSeconds, megabytes(sizeBefore), megabytes(sizeAfter));

    // What a full rewrite would give, and what it costs: the old way.
    started = Clock::now();
    if (!rewriteTo(rewritten)) return 1;
    const double rewriteSeconds = secondsSince(started);
    const auto sizeRewritten = fs::file_size(rewritten);
    std::printf("a full rewrite (every Quit and delete before): %.3f s, file %.1f MB; the store after the delete "
                "is %+.3f %% of it (budget within 1 %%)\n",
                rewriteSeconds, megabytes(sizeRewritten),
                100.0 * (static_cast<double>(sizeAfter) - static_cast<double>(sizeRewritten)) /
                    static_cast<double>(sizeRewritten));
    connection.release();
    fs::remove_all(folder);
    return 0;
}
