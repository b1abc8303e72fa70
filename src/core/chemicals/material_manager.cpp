#include "core/chemicals/material_manager.hpp"

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_rules.hpp"
#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"

namespace verdanel {

std::vector<std::string> listChemicalNames(StoreConnection& connection, Prompter& prompter) {
    StoreAccessor rows(connection, prompter);
    const int count = rows.query(sql::kChemicalNames).rows();
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r) names.push_back(rows.cell(r, chem_col::kName));
    if (names.empty()) prompter.inform(msg::kNoChemicals, msg::kMaterialManagerCaption, PromptIcon::Information);
    return names;
}

std::optional<PropertyTexts> showChemical(StoreConnection& connection, Prompter& prompter,
                                          const std::string& name) {
    StoreAccessor row(connection, prompter);
    const QueryResult found = row.query(sql::kChemicalByName, {name});
    if (found.failed()) return std::nullopt;
    if (found.none()) {
        prompter.inform(msg::kChemicalNotFound, msg::kMaterialManagerCaption, PromptIcon::Warning);
        return std::nullopt;
    }
    PropertyTexts texts;
    for (int k = 1; k <= kPropertyCount; ++k) texts[static_cast<std::size_t>(k - 1)] = row.cell(0, k);
    return texts;
}

ApplyOutcome applyChemicalEdits(StoreConnection& connection, Prompter& prompter, const std::string& name,
                                const PropertyTexts& typed) {
    ApplyOutcome outcome;
    outcome.written = typed;
    if (!prompter.confirm(fillMessage(msg::kApplyEditsQuestion, name), msg::kMaterialManagerCaption)) return outcome;
    outcome.confirmed = true;
    addDiffusionEstimates(outcome.written);

    std::vector<StoreValue> values(outcome.written.begin(), outcome.written.end());
    values.emplace_back(name);
    StoreAccessor update(connection, prompter);
    outcome.stored = update.execute(sql::kUpdateChemical, values);
    return outcome;
}

AddOutcome addChemical(StoreConnection& connection, Prompter& prompter, const std::string& name) {
    AddOutcome outcome;
    if (name.empty()) {
        prompter.inform(msg::kEnterChemicalName, msg::kMaterialManagerCaption, PromptIcon::Warning);
        return outcome;
    }
    StoreAccessor store(connection, prompter);
    const QueryResult existing = store.query(sql::kChemicalByName, {name});
    // A look-up the store refused has been shown; adding blindly could only fail again.
    if (existing.failed()) return outcome;
    if (existing.any()) {
        prompter.inform(msg::kChemicalNameExists, msg::kMaterialManagerCaption, PromptIcon::Warning);
        return outcome;
    }
    outcome.stored = store.execute(sql::kInsertChemical, {name});
    outcome.accepted = true;
    return outcome;
}

DeleteOutcome deleteChemical(StoreConnection& connection, Prompter& prompter, const std::string& name) {
    DeleteOutcome outcome;
    if (!prompter.confirm(fillMessage(msg::kDeleteChemicalQuestion, name), msg::kMaterialManagerCaption)) {
        return outcome;
    }
    outcome.confirmed = true;
    StoreAccessor store(connection, prompter);
    outcome.stored = store.execute(sql::kDeleteChemical, {name});
    return outcome;
}

}  // namespace verdanel
