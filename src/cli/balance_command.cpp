#include "cli/balance_command.hpp"

#include <cstdio>
#include <iostream>

#include "cli/command_line.hpp"
#include "cli/terminal_prompter.hpp"
#include "core/common/utf8_path.hpp"
#include "core/common/text_format.hpp"
#include "core/results/mass_balance_messages.hpp"
#include "core/results/mass_balance_series.hpp"
#include "core/results/scenario_records.hpp"
#include "core/store/store_connection.hpp"

namespace verdanel::cli {

int balanceCommand(const std::string& connectionText, std::vector<std::string> arguments,
                   int (*usage)(const std::string& why)) {
    ArgReader args(std::move(arguments));
    std::string why;
    auto request = readSearchRequest(args, why);
    auto out = args.value("--out");
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    if (!why.empty()) return usage(why);
    if (!request) return usage("balance needs --model and --scenario");

    TerminalPrompter prompter;
    StoreConnection connection;
    if (!openStore(connection, prompter, connectionText)) return 1;
    // The scenario's whole period unless --from or --to say otherwise, as export takes it.
    const ScenarioQueryOutcome found = queryScenario(connection, prompter, request->kind, request->name);
    if (found.status != ScenarioLookup::Found) {
        if (found.status == ScenarioLookup::NotFound)
            std::cerr << fillMessage(msg::kScenarioNotFoundFormat, {request->name, modelTypeText(request->kind)})
                      << '\n';
        return 1;
    }
    const auto from = request->from.value_or(std::make_pair(found.info.start.month, found.info.start.day));
    const auto to = request->to.value_or(std::make_pair(found.info.end.month, found.info.end.day));
    const MassBalanceRows rows =
        searchMassBalance(connection, request->kind, request->name, from.first, from.second, to.first, to.second);
    if (!rows.error.empty()) {
        std::cerr << fillMessage(msg::kMassBalanceReadFailedFormat, rows.error) << '\n';
        return 1;
    }
    if (rows.empty()) {
        std::cerr << msg::kNoMassBalanceRows << '\n';
        return 1;
    }

    char range[32];
    std::snprintf(range, sizeof range, "%02d-%02d ~ %02d-%02d", from.first, from.second, to.first, to.second);
    const MassBalanceRecord& last = rows.rows.back();
    std::cout << "scenario: " << request->name << " (" << modelTypeText(request->kind) << "), " << range << ", "
              << rows.rows.size() << " hourly rows\n"
              << fillMessage(msg::kBalanceFinalHourFormat, balanceTimeText(last)) << "\n\n";
    constexpr std::size_t kLabelWidth = 18, kMassWidth = 16, kPercentWidth = 22;
    std::cout << padded(msg::kBalanceEntryHeader, kLabelWidth, false) << padded(msg::kBalanceMassHeader, kMassWidth, true)
              << padded(msg::kBalanceFractionHeader, kPercentWidth, true) << '\n';
    for (const BalanceLine& line : balanceLines(last.balance))
        std::cout << padded(line.label, kLabelWidth, false) << padded(line.mass, kMassWidth, true)
                  << padded(line.percent, kPercentWidth, true) << '\n';

    if (out) {
        if (!exportMassBalanceCsv(pathFromUtf8(*out), rows, request->name, prompter)) return 1;
        std::cout << '\n' << *out << ": " << rows.rows.size() << " rows\n";
    }
    return 0;
}

}  // namespace verdanel::cli
