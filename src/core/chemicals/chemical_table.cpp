#include "core/chemicals/chemical_table.hpp"

#include <cstdint>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_rules.hpp"
#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_transaction.hpp"

namespace verdanel {

namespace {

ChemicalRecord recordAt(const StoreAccessor& rows, int row) {
    ChemicalRecord record;
    for (int c = 0; c < kChemicalColumnCount; ++c) record[static_cast<std::size_t>(c)] = rows.cell(row, c);
    return record;
}

}  // namespace

bool recomputeUsableFlags(StoreConnection& connection, Prompter& prompter) {
    // One transaction: a table of many chemicals is rewritten in one go, and
    // a failure half way leaves every flag as it was. When the caller already
    // holds a transaction, begin() fails and the updates simply join it.
    StoreTransaction transaction(connection);
    transaction.begin();

    StoreAccessor chemicals(connection, prompter);
    const QueryResult all = chemicals.query(sql::kAllChemicals);
    if (all.failed()) return false;
    const int rows = all.rows();

    StoreAccessor update(connection, prompter);
    for (int r = 0; r < rows; ++r) {
        const std::int64_t flag = isUsable(recordAt(chemicals, r)) ? 1 : 0;
        if (!update.execute(sql::kSetChemicalUsable, {flag, chemicals.cell(r, chem_col::kName)})) return false;
    }
    if (transaction.active() && !transaction.commit()) {
        prompter.inform(fillMessage(msg::kStoreErrorFormat, transaction.error()), msg::kProgramTitle,
                        PromptIcon::Error);
        return false;
    }
    return true;
}

std::vector<std::string> usableChemicalNames(StoreConnection& connection, Prompter& prompter) {
    recomputeUsableFlags(connection, prompter);
    StoreAccessor usable(connection, prompter);
    const int rows = usable.query(sql::kUsableChemicals).rows();
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) names.push_back(usable.cell(r, chem_col::kName));
    if (names.empty()) prompter.inform(msg::kNoUsableChemicals, msg::kProgramTitle, PromptIcon::Warning);
    return names;
}

std::optional<ChemicalRecord> loadChemical(StoreConnection& connection, Prompter& prompter,
                                           const std::string& name) {
    StoreAccessor row(connection, prompter);
    const QueryResult found = row.query(sql::kChemicalByName, {name});
    if (found.failed()) return std::nullopt;
    if (found.none()) {
        prompter.inform(msg::kChosenChemicalNotFound, msg::kProgramTitle, PromptIcon::Warning);
        return std::nullopt;
    }
    return recordAt(row, 0);
}

}  // namespace verdanel
