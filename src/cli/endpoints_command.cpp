#include "cli/endpoints_command.hpp"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "cli/command_line.hpp"
#include "cli/terminal_prompter.hpp"
#include "core/common/number_text.hpp"
#include "core/results/exposure_endpoints.hpp"
#include "core/results/exposure_messages.hpp"
#include "core/results/result_columns.hpp"
#include "core/store/store_connection.hpp"

namespace verdanel::cli {

namespace {

nlohmann::ordered_json number(std::optional<double> v) {
    return v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json(nullptr);
}

}  // namespace

// The value columns of the result table, in value order: header and index.
std::vector<const ResultColumn*> valueColumns(ModelKind kind) {
    std::vector<const ResultColumn*> columns(static_cast<std::size_t>(resultValueCount(kind)), nullptr);
    for (const ResultColumn& c : detailColumns(kind))
        if (c.field == ColumnField::Value) columns[static_cast<std::size_t>(c.valueIndex)] = &c;
    return columns;
}

// "COLUMN=VALUE" into thresholds[k]; the reason when it cannot be taken.
std::string takeThreshold(const std::string& text, const std::vector<const ResultColumn*>& columns,
                          std::vector<std::optional<double>>& thresholds) {
    const std::size_t eq = text.rfind('=');
    if (eq == std::string::npos) return "--threshold must be COLUMN=VALUE: " + text;
    const std::string name = text.substr(0, eq);
    std::size_t k = 0;
    while (k < columns.size() && name != columns[k]->header) ++k;
    if (k == columns.size()) {
        std::string known;
        for (const ResultColumn* c : columns) known += std::string(known.empty() ? "" : ", ") + c->header;
        return "unknown column in --threshold: " + name + " (columns: " + known + ")";
    }
    if (thresholds[k]) return "--threshold given twice for " + name;
    thresholds[k] = parseThreshold(text.substr(eq + 1));
    if (!thresholds[k]) return "--threshold " + name + " needs a number above 0: " + text.substr(eq + 1);
    return {};
}

nlohmann::ordered_json columnsJson(const std::vector<ColumnEndpoints>& all,
                                   const std::vector<const ResultColumn*>& columns) {
    using json = nlohmann::ordered_json;
    json byColumn = json::object();
    for (const ColumnEndpoints& e : all) {
        json c;
        c["peak"] = e.peak;
        c["peak_at"] = e.peakAt.empty() ? json(nullptr) : json(e.peakAt);
        json twa = json::object();
        for (std::size_t w = 0; w < kAveragingDays.size(); ++w)
            twa[std::to_string(kAveragingDays[w])] = number(e.highestMean[w]);
        c["twa"] = twa;
        const ThresholdEndpoints* t = e.threshold ? &*e.threshold : nullptr;
        c["threshold"] = t ? json(t->threshold) : json(nullptr);
        c["minutes_above"] = t ? json(t->minutesAbove) : json(nullptr);
        c["events"] = t ? json(t->events) : json(nullptr);
        c["longest_event_minutes"] = t ? json(t->longestEventMinutes) : json(nullptr);
        c["peak_to_threshold"] = t ? json(t->peakToThreshold) : json(nullptr);
        byColumn[columns[static_cast<std::size_t>(e.valueIndex)]->header] = c;
    }
    return byColumn;
}

namespace {

nlohmann::ordered_json endpointsJson(const std::string& name, ModelKind kind, std::size_t rows,
                                     const std::vector<ColumnEndpoints>& all,
                                     const std::vector<const ResultColumn*>& columns) {
    using json = nlohmann::ordered_json;
    json out;
    out["scenario"] = name;
    out["model"] = modelTypeText(kind);
    out["rows"] = rows;
    out["columns"] = columnsJson(all, columns);
    return out;
}

// A table of the endpoints as the page shows them, a few value columns side
// by side so that it fits 100 characters: the endpoints down the left, their
// units in the last column.
void printTable(std::ostream& out, ModelKind kind, const std::vector<ColumnEndpoints>& all,
                const std::vector<const ResultColumn*>& columns) {
    constexpr std::size_t kColumnsPerBlock = 5;
    constexpr std::size_t kNameWidth = 22, kValueWidth = 15;
    for (std::size_t first = 0; first < all.size(); first += kColumnsPerBlock) {
        const std::size_t last = std::min(all.size(), first + kColumnsPerBlock);
        std::vector<std::vector<EndpointLine>> lines;
        for (std::size_t k = first; k < last; ++k) lines.push_back(endpointLines(all[k], kind));
        out << '\n' << padded("", kNameWidth, false);
        for (std::size_t k = first; k < last; ++k) out << padded(columns[k]->header, kValueWidth, true);
        out << '\n' << padded("", kNameWidth, false);
        for (std::size_t k = first; k < last; ++k) {
            std::string unit = "[";
            unit += valueUnit(kind, static_cast<int>(k));
            unit += ']';
            out << padded(unit, kValueWidth, true);
        }
        out << '\n';
        for (std::size_t row = 0; row < lines.front().size(); ++row) {
            out << padded(lines.front()[row].label, kNameWidth, false);
            for (const auto& column : lines)
                out << padded(column[row].value.empty() ? msg::kNoValue : column[row].value, kValueWidth, true);
            // Concentrations are in each column's unit (above); minutes and events name theirs.
            if (!lines.front()[row].concentration && !lines.front()[row].unit.empty()) out << "  " << lines.front()[row].unit;
            out << '\n';
        }
    }
}

}  // namespace

int endpointsCommand(const std::string& connectionText, std::vector<std::string> arguments,
                     int (*usage)(const std::string& why)) {
    ArgReader args(std::move(arguments));
    std::string why;
    auto request = readSearchRequest(args, why);
    std::vector<std::string> thresholdTexts;
    while (auto t = args.value("--threshold")) thresholdTexts.push_back(*t);
    const bool asJson = args.flag("--json");
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    if (!why.empty()) return usage(why);
    if (!request) return usage("endpoints needs --model and --scenario");

    const std::vector<const ResultColumn*> columns = valueColumns(request->kind);
    std::vector<std::optional<double>> thresholds(columns.size());
    for (const std::string& text : thresholdTexts)
        if (std::string bad = takeThreshold(text, columns, thresholds); !bad.empty()) return usage(bad);

    TerminalPrompter prompter;
    StoreConnection connection;
    if (!openStore(connection, prompter, connectionText)) return 1;
    auto searched = searchScenario(connection, prompter, *request);
    if (!searched || searched->rows.empty()) return 1;
    const ResultBuffer& rows = searched->rows;
    const std::vector<ColumnEndpoints> all = allEndpoints(rows, searched->year, thresholds);

    if (asJson) {
        std::cout << endpointsJson(request->name, request->kind, rows.size(), all, columns).dump() << '\n';
        return 0;
    }
    char range[32];
    std::snprintf(range, sizeof range, "%02d-%02d ~ %02d-%02d", searched->from.first, searched->from.second,
                  searched->to.first, searched->to.second);
    std::cout << "scenario: " << request->name << " (" << modelTypeText(request->kind) << "), " << range << ", "
              << rows.size() << " rows\n";
    printTable(std::cout, request->kind, all, columns);
    return 0;
}

}  // namespace verdanel::cli
