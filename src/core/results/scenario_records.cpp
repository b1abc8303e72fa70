#include "core/results/scenario_records.hpp"

#include "core/common/messages.hpp"
#include "core/common/number_text.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/results/result_messages.hpp"
#include "core/store/output_rows.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_space.hpp"
#include "core/store/store_transaction.hpp"

namespace verdanel {

namespace {
constexpr int kChemicalColumn = 2;
constexpr int kFirstParameterColumn = 3;
constexpr int kStartDateColumn = kFirstParameterColumn + kScenarioParameterCount;
constexpr int kEndDateColumn = kStartDateColumn + 1;

// "2010-06-01" split at "-", each part read as a decimal integer (0 when absent).
CivilTime splitDate(const std::string& text) {
    int parts[3] = {0, 0, 0};
    std::size_t start = 0;
    for (int& part : parts) {
        std::size_t dash = text.find('-', start);
        std::string piece = text.substr(start, dash == std::string::npos ? std::string::npos : dash - start);
        part = static_cast<int>(parseAtof(piece));
        if (dash == std::string::npos) break;
        start = dash + 1;
    }
    CivilTime t;
    t.year = parts[0];
    t.month = parts[1];
    t.day = parts[2];
    return t;
}
}  // namespace

std::vector<std::string> scenarioNames(StoreConnection& connection, Prompter& prompter, ModelKind kind) {
    StoreAccessor accessor(connection, prompter);
    const int rows = accessor.query(sql::kScenarioList, {std::string(modelTypeText(kind))}).rows();
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) names.push_back(accessor.cell(r, 0));
    return names;
}

int scenarioEntryStartingWith(const std::vector<std::string>& names, const std::string& name) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    auto startsWith = [&](const std::string& entry) {
        if (entry.size() < name.size()) return false;
        for (std::size_t i = 0; i < name.size(); ++i)
            if (lower(entry[i]) != lower(name[i])) return false;
        return true;
    };
    const std::size_t count = names.size();
    for (std::size_t step = 1; step <= count; ++step) {
        const std::size_t index = step % count;
        if (startsWith(names[index])) return static_cast<int>(index);
    }
    return -1;
}

std::string parameterText(double value) { return formatRoundTrip(parseAtof(formatE(value))); }

ScenarioQueryOutcome queryScenario(StoreConnection& connection, Prompter& prompter, ModelKind kind,
                                   const std::string& name) {
    ScenarioQueryOutcome outcome;
    StoreAccessor accessor(connection, prompter);
    const QueryResult found = accessor.query(sql::kScenarioByName, {name, std::string(modelTypeText(kind))});
    if (found.failed()) {
        outcome.status = ScenarioLookup::Failed;
        return outcome;
    }
    const int rows = found.rows();
    if (rows >= 2) {
        prompter.inform(msg::kDuplicateScenario, msg::kProgramTitle, PromptIcon::Warning);
        outcome.status = ScenarioLookup::Duplicate;
        return outcome;
    }
    if (rows == 0) return outcome;

    ScenarioInfo& info = outcome.info;
    info.chemical = accessor.cell(0, kChemicalColumn);
    for (std::size_t p = 0; p < info.parameters.size(); ++p) {
        const std::string& cell = accessor.cell(0, kFirstParameterColumn + static_cast<int>(p));
        info.parameters[p] = parseAtof(cell);
        info.parameterTexts[p] = cell.empty() ? std::string() : parameterText(info.parameters[p]);
    }
    info.startDate = accessor.cell(0, kStartDateColumn);
    info.endDate = accessor.cell(0, kEndDateColumn);
    info.start = splitDate(info.startDate);
    info.end = splitDate(info.endDate);
    outcome.status = ScenarioLookup::Found;
    return outcome;
}

bool deleteScenario(StoreConnection& connection, Prompter& prompter, ModelKind kind, const std::string& name) {
    if (!connection.isPresent()) return false;
    StoreTransaction transaction(connection);
    if (!transaction.begin()) {
        prompter.inform(fillMessage(msg::kStoreErrorFormat, transaction.error()), msg::kProgramTitle,
                        PromptIcon::Error);
        return false;
    }
    const sql::ModelStatements statements = sql::statementsFor(kind);
    StoreAccessor accessor(connection, prompter);
    // The accessor shows a rejected statement itself; the transaction then rolls back when it goes.
    if (!accessor.execute(sql::kDeleteScenario, {name, std::string(modelTypeText(kind))})) return false;
    std::string error;
    if (!deleteOutputRows(connection, kind, name, error)) {
        prompter.inform(fillMessage(msg::kStoreErrorFormat, error), msg::kProgramTitle, PromptIcon::Error);
        return false;
    }
    if (!accessor.execute(statements.deleteMassBalance, {name})) return false;
    if (!transaction.commit()) {
        prompter.inform(fillMessage(msg::kStoreErrorFormat, transaction.error()), msg::kProgramTitle,
                        PromptIcon::Error);
        return false;
    }
    // The freed pages go back to the file system at the cost of what was
    // deleted, not of the whole store. A failure here loses nothing: the
    // pages stay free and the next compaction takes them.
    std::string ignored;
    reclaimFreePages(connection, ignored);
    return true;
}

}  // namespace verdanel
