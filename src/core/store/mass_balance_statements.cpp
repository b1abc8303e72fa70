// The statements of the mass-balance tables, built from the entries of a
// mass-balance row so that their columns are named in one place.
#include <array>

#include "core/common/mass_balance.hpp"
#include "core/store/statements.hpp"

namespace verdanel::sql {

namespace {

std::string tableOf(ModelKind kind) { return std::string("mass_balance_") + modelTypeText(kind); }

std::string entryColumns() {
    std::string columns;
    for (const MassBalanceEntry& e : kMassBalanceEntries) {
        columns += ", ";
        columns += e.column;
    }
    return columns;
}

constexpr const char* kKeyColumns = "Scenario_Name, simulation_month, simulation_day, simulation_hour, simulation_minute";
constexpr const char* kTimeColumns = "simulation_month, simulation_day, simulation_hour, simulation_minute";

std::size_t kindIndex(ModelKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace

const std::string& insertMassBalance(ModelKind kind) {
    static const std::array<std::string, 3> inserts = [] {
        std::array<std::string, 3> all;
        for (ModelKind k : {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond}) {
            std::string text = "INSERT INTO " + tableOf(k) + " (";
            text += kKeyColumns;
            text += entryColumns();
            text += ") VALUES (?, ?, ?, ?, ?";
            for (std::size_t i = 0; i < kMassBalanceEntries.size(); ++i) text += ", ?";
            text += ")";
            all[kindIndex(k)] = text;
        }
        return all;
    }();
    return inserts[kindIndex(kind)];
}

const std::string& searchMassBalance(ModelKind kind, bool acrossNewYear) {
    static const std::array<std::array<std::string, 2>, 3> searches = [] {
        std::array<std::array<std::string, 2>, 3> all;
        for (ModelKind k : {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond}) {
            const std::string head = std::string("SELECT ") + kTimeColumns + entryColumns() + " FROM " + tableOf(k);
            const std::string joined = "simulation_month || simulation_day";
            all[kindIndex(k)][0] = head + " WHERE " + joined + " >= ? AND " + joined + " <= ? AND Scenario_Name = ?";
            all[kindIndex(k)][1] = head + " WHERE (" + joined + " >= ? OR " + joined +
                                   " <= ?) AND Scenario_Name = ? ORDER BY rowid";
        }
        return all;
    }();
    return searches[kindIndex(kind)][acrossNewYear ? 1 : 0];
}

std::string multiRowInsert(std::string_view insert, int rows) {
    const std::size_t open = insert.rfind('(');
    if (open == std::string_view::npos || rows < 1) return std::string(insert);
    const std::string_view tuple = insert.substr(open);
    std::string text(insert);
    text.reserve(insert.size() + static_cast<std::size_t>(rows) * (tuple.size() + 2));
    for (int r = 1; r < rows; ++r) {
        text += ", ";
        text += tuple;
    }
    return text;
}

}  // namespace verdanel::sql
