// verdanel-cli: runs, exports and lists without a screen, through the same
// core operations the windows use.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/balance_command.hpp"
#include "cli/command_line.hpp"
#include "cli/endpoints_command.hpp"
#include "cli/sweep_command.hpp"
#include "cli/terminal_progress.hpp"
#include "cli/terminal_prompter.hpp"
#include "core/app/base_folder_setup.hpp"
#include "core/app/connection_settings.hpp"
#include "core/app/store_compaction.hpp"
#include "core/chemicals/chemical_rules.hpp"
#include "core/chemicals/chemical_table.hpp"
#include "core/common/base_folder.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/messages.hpp"
#include "core/common/platform.hpp"
#include "core/common/utf8_path.hpp"
#include "core/engines/scenario_file.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_messages.hpp"
#include "core/results/result_search.hpp"
#include "core/results/result_summary.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/schema.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_space.hpp"
#include "core/common/text_format.hpp"

namespace {

using namespace verdanel;

constexpr const char* kUsage =
    "usage:\n"
    "  verdanel-cli init-store PATH [--chemicals FILE.tsv]\n"
    "  verdanel-cli [--store PATH] run SCENARIO.json [--replace]\n"
    "  verdanel-cli [--store PATH] export --model stream|ditch|pond --scenario NAME\n"
    "               [--from MM-DD] [--to MM-DD] [--year YYYY] --out FILE.csv\n"
    "  verdanel-cli [--store PATH] endpoints --model stream|ditch|pond --scenario NAME\n"
    "               [--from MM-DD] [--to MM-DD] [--year YYYY] [--threshold COLUMN=VALUE]... [--json]\n"
    "  verdanel-cli [--store PATH] balance --model stream|ditch|pond --scenario NAME\n"
    "               [--from MM-DD] [--to MM-DD] [--out FILE.csv]\n"
    "  verdanel-cli [--store PATH] sweep SCENARIO.json (--vary PARAM=FROM:TO:STEP | --vary PARAM=V1,V2,...\n"
    "               | --shift-days FROM:TO:STEP) [--threshold COLUMN=VALUE]... [--jobs N]\n"
    "               [--out FILE.csv] [--plot FILE.png] [--json]\n"
    "  verdanel-cli [--store PATH] scenarios [--model stream|ditch|pond]\n"
    "  verdanel-cli [--store PATH] chemicals\n"
    "  verdanel-cli [--store PATH] delete --model stream|ditch|pond --scenario NAME\n"
    "  verdanel-cli [--store PATH] compact\n"
    "--base DIR (or VERDANEL_BASE=DIR) works in DIR instead of the program's own\n"
    "folder; a new DIR gets copies of its INI, Database and input files.\n";

int usage(const std::string& why = {}) {
    if (!why.empty()) std::cerr << "verdanel-cli: " << why << '\n';
    std::cerr << kUsage;
    return 2;
}

struct Options {
    std::string store;
    std::string command;
    std::vector<std::string> args;
};

using cli::ArgReader;
using cli::monthDay;

// The base folder this run works in: the program's own folder or the one chosen by --base.
std::string baseFolder;

std::string connectionTextFor(const std::string& store) {
    if (!store.empty()) return "Provider=SQLite;Data Source=" + store;
    return buildConnectionText(baseFolder);
}

bool openStoreAt(StoreConnection& connection, Prompter& prompter, const std::string& store) {
    return cli::openStore(connection, prompter, connectionTextFor(store));
}

int initStore(ArgReader args) {
    auto chemicals = args.value("--chemicals");
    auto path = args.positional();
    if (!path) return usage("init-store needs a PATH");
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    auto outcome = createStore(*path, chemicals.value_or(""));
    if (!outcome.ok) {
        std::cerr << outcome.error << '\n';
        return 1;
    }
    return 0;
}

int runCommand(const std::string& store, ArgReader args) {
    const bool replace = args.flag("--replace");
    auto file = args.positional();
    if (!file) return usage("run needs a SCENARIO.json");
    if (auto left = args.leftover(); !left.empty()) return usage(left);

    cli::TerminalPrompter prompter(replace);
    ScenarioFile scenarioFile = readScenarioFile(*file, baseFolder + "/input");
    if (!scenarioFile.ok) {
        std::cerr << scenarioFile.error << '\n';
        return 1;
    }
    StoreConnection connection;
    if (!openStoreAt(connection, prompter, store)) return 1;
    ScenarioDefinition scenario = scenarioFile.scenario;
    if (!scenario.chemical[0].empty()) {
        auto record = loadChemical(connection, prompter, scenario.chemical[0]);
        if (!record) return 1;
        scenario.chemical = *record;
    }
    WeatherSet weather;
    cli::TerminalProgress progress;
    ResultSummary summary;
    RunOptions options;
    options.summary = &summary;
    options.announceCompletion = false;
    options.replaceWithoutAsking = replace;
    RunOutcome outcome = runScenario(connection, prompter, progress, scenario, weather, options);
    progress.finish(outcome.status == RunStatus::Completed);
    if (outcome.status != RunStatus::Completed) return 1;

    // The summary of the whole period, as the result window shows it after the run.
    const SimulationPeriod& p = outcome.period;
    SummaryTexts texts = summaryTexts(summary);
    std::cout << "scenario: " << scenario.name << " (" << modelTypeText(scenario.kind) << "), "
              << formatDate(p.start) << " ~ " << formatDate(p.end) << ", " << outcome.rows << " rows\n"
              << "Cwater max: " << texts.waterMaximum << "\n"
              << "Cwater time to max: " << texts.waterTimeToMaximum << "\n"
              << "Cwater residence: " << texts.waterResidence << "\n"
              << "Cair(spray1) max: " << texts.airMaximum << "\n"
              << "Cair(spray1) time to max: " << texts.airTimeToMaximum << "\n"
              << "Csoil(spray1) max: " << texts.soilMaximum << "\n"
              << "Csoil(spray1) time to max: " << texts.soilTimeToMaximum << "\n";
    return 0;
}

int exportCommand(const std::string& store, ArgReader args) {
    auto model = args.value("--model");
    auto name = args.value("--scenario");
    auto from = args.value("--from");
    auto to = args.value("--to");
    auto year = args.value("--year");
    auto out = args.value("--out");
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    if (!model || !name || !out) return usage("export needs --model, --scenario and --out");
    auto kind = modelKindFromText(*model);
    if (!kind) return usage("unknown model: " + *model);
    std::optional<std::pair<int, int>> fromMd, toMd;
    if (from && !(fromMd = monthDay(*from))) return usage("--from must be MM-DD");
    if (to && !(toMd = monthDay(*to))) return usage("--to must be MM-DD");
    int searchYear = 0;
    if (year) {
        try {
            std::size_t used = 0;
            searchYear = std::stoi(*year, &used);
            if (used != year->size() || searchYear < 1 || searchYear > 9999) return usage("--year must be YYYY");
        } catch (...) {
            return usage("--year must be YYYY");
        }
    }

    cli::TerminalPrompter prompter;
    StoreConnection connection;
    if (!openStoreAt(connection, prompter, store)) return 1;
    auto found = queryScenario(connection, prompter, *kind, *name);
    if (found.status != ScenarioLookup::Found) {
        if (found.status == ScenarioLookup::NotFound)
            std::cerr << fillMessage(msg::kScenarioNotFoundFormat, {*name, *model}) << '\n';
        return 1;
    }
    const ScenarioInfo& info = found.info;
    const auto start = fromMd.value_or(std::make_pair(info.start.month, info.start.day));
    const auto end = toMd.value_or(std::make_pair(info.end.month, info.end.day));
    if (!year) searchYear = info.start.year;
    ResultBuffer rows =
        ResultSearch::search(connection, prompter, *kind, *name, start.first, start.second, end.first, end.second);
    SummaryTexts texts = rows.empty() ? SummaryTexts{} : summarize(rows, searchYear);
    if (!exportResultsCsv(pathFromUtf8(*out), rows, texts, prompter)) return 1;
    std::cout << *out << ": " << rows.size() << " rows\n";
    return 0;
}

int scenariosCommand(const std::string& store, ArgReader args) {
    auto model = args.value("--model");
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    std::vector<ModelKind> kinds = {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond};
    if (model) {
        auto kind = modelKindFromText(*model);
        if (!kind) return usage("unknown model: " + *model);
        kinds = {*kind};
    }
    cli::TerminalPrompter prompter;
    StoreConnection connection;
    if (!openStoreAt(connection, prompter, store)) return 1;
    for (ModelKind kind : kinds) {
        for (const auto& name : scenarioNames(connection, prompter, kind)) {
            auto found = queryScenario(connection, prompter, kind, name);
            std::cout << modelTypeText(kind) << '\t' << name;
            if (found.status == ScenarioLookup::Found)
                std::cout << '\t' << found.info.chemical << '\t' << found.info.startDate << '\t' << found.info.endDate;
            std::cout << '\n';
        }
    }
    return 0;
}

int chemicalsCommand(const std::string& store, ArgReader args) {
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    cli::TerminalPrompter prompter;
    StoreConnection connection;
    if (!openStoreAt(connection, prompter, store)) return 1;
    if (!recomputeUsableFlags(connection, prompter)) return 1;
    StoreAccessor accessor(connection, prompter);
    const QueryResult listed = accessor.query(sql::kChemicalNames);
    if (listed.failed()) return 1;
    const int rows = listed.rows();
    const int required[] = {2, 4, 5, 6, 9, 10, 11, 12, 20, 21};
    const auto& columns = chemicalColumns();
    std::cout << "mat_name\tuseable";
    for (int c : required) std::cout << '\t' << columns[static_cast<std::size_t>(c)];
    std::cout << '\n';
    for (int r = 0; r < rows; ++r) {
        std::cout << accessor.cell(r, 0) << '\t' << accessor.cell(r, 22);
        for (int c : required) std::cout << '\t' << accessor.cell(r, c);
        std::cout << '\n';
    }
    return 0;
}

std::string megabytes(std::int64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1e6);
    return text;
}

// What Quit does: a full rewrite only when enough of the file lies free.
int reportCompaction(StoreConnection& connection, Prompter& prompter, const std::string& store) {
    const StoreSpace before = readStoreSpace(connection);
    if (!compactionDue(connection)) {
        char share[32];
        std::snprintf(share, sizeof share, "%.2f %%",
                      before.pages ? 100.0 * static_cast<double>(before.freePages) / static_cast<double>(before.pages) : 0.0);
        std::cout << fillMessage(msg::kNothingToReclaimFormat, std::string(share)) << '\n';
        return 0;
    }
    const CompactionOutcome outcome = compactStore(connection, connectionTextFor(store), prompter);
    if (!outcome.compacted) {
        std::cerr << fillMessage(msg::kCompactionFailedFormat, outcome.error) << '\n';
        return 1;
    }
    const StoreSpace after = readStoreSpace(connection);
    std::cout << fillMessage(msg::kStoreCompactedFormat, {megabytes(before.pages * before.pageSize),
                                                          megabytes(after.pages * after.pageSize)})
              << '\n';
    return 0;
}

int compactCommand(const std::string& store, ArgReader args) {
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    cli::TerminalPrompter prompter;
    StoreConnection connection;
    if (!openStoreAt(connection, prompter, store)) return 1;
    return reportCompaction(connection, prompter, store);
}

// The result window's delete: the scenario row, its output and mass-balance
// rows, the freed pages given back, then Quit's compaction.
int deleteCommand(const std::string& store, ArgReader args) {
    auto model = args.value("--model");
    auto name = args.value("--scenario");
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    if (!model || !name) return usage("delete needs --model and --scenario");
    auto kind = modelKindFromText(*model);
    if (!kind) return usage("unknown model: " + *model);
    cli::TerminalPrompter prompter;
    StoreConnection connection;
    if (!openStoreAt(connection, prompter, store)) return 1;
    const ScenarioQueryOutcome found = queryScenario(connection, prompter, *kind, *name);
    if (found.status == ScenarioLookup::NotFound) {
        std::cerr << fillMessage(msg::kScenarioNotFoundFormat, {*name, *model}) << '\n';
        return 1;
    }
    if (found.status == ScenarioLookup::Failed) return 1;
    // Two rows of one name (a store written by another program) go together, as in the window.
    if (!deleteScenario(connection, prompter, *kind, *name)) return 1;
    std::cout << fillMessage(msg::kScenarioDeletedFormat, {*name, *model}) << '\n';
    return reportCompaction(connection, prompter, store);
}

}  // namespace

int main(int argc, char** argv) {
    platform::useUtf8Console();
    const std::vector<std::string> utf8 = platform::utf8Arguments(argc, argv);
    std::vector<std::string> all(utf8.begin() + (utf8.empty() ? 0 : 1), utf8.end());
    std::string store;
    std::string base;
    while (all.size() >= 2 && (all[0] == "--store" || all[0] == kBaseFolderOption)) {
        if (all[1].empty()) return usage(all[0] + " needs a value");
        (all[0] == "--store" ? store : base) = all[1];
        all.erase(all.begin(), all.begin() + 2);
    }
    if (all.empty()) return usage();
    const std::string command = all.front();
    ArgReader args(std::vector<std::string>(all.begin() + 1, all.end()));
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "init-store") return initStore(std::move(args));
    const std::string variable = platform::environmentVariable(kBaseFolderVariable);
    const BaseFolderOutcome chosen = startBaseFolder(base, variable.c_str(), applicationBaseFolder());
    if (!chosen.ok) {
        std::cerr << chosen.error << '\n';
        return 1;
    }
    baseFolder = chosen.folder;
    if (command == "run") return runCommand(store, std::move(args));
    if (command == "export") return exportCommand(store, std::move(args));
    if (command == "endpoints") return cli::endpointsCommand(connectionTextFor(store), {all.begin() + 1, all.end()}, usage);
    if (command == "balance") return cli::balanceCommand(connectionTextFor(store), {all.begin() + 1, all.end()}, usage);
    if (command == "sweep")
        return cli::sweepCommand(connectionTextFor(store), baseFolder + "/input", {all.begin() + 1, all.end()}, usage);
    if (command == "scenarios") return scenariosCommand(store, std::move(args));
    if (command == "chemicals") return chemicalsCommand(store, std::move(args));
    if (command == "delete") return deleteCommand(store, std::move(args));
    if (command == "compact") return compactCommand(store, std::move(args));
    return usage("unknown command: " + command);
}
