// The statements that find a run's output rows by their rowids, built from
// the model's table name and its search statements.
#include <array>
#include <string>
#include <string_view>

#include "core/store/statements.hpp"

namespace verdanel::sql {

namespace {

constexpr std::array<ModelKind, 3> kKinds = {ModelKind::Stream, ModelKind::Ditch, ModelKind::Pond};

std::size_t kindIndex(ModelKind kind) { return static_cast<std::size_t>(kind); }

std::string tableOf(ModelKind kind) { return std::string("model_output_") + modelTypeText(kind); }

// One statement per model, made once.
std::array<std::string, 3> forEveryModel(std::string (*make)(ModelKind)) {
    std::array<std::string, 3> all;
    for (ModelKind k : kKinds) all[kindIndex(k)] = make(k);
    return all;
}

// The search within the rowids: the bounds before any ORDER BY.
std::string withinRows(std::string search) {
    constexpr std::string_view kWithin = " AND rowid BETWEEN ? AND ?";
    const std::size_t order = search.find(" ORDER BY");
    search.insert(order == std::string::npos ? search.size() : order, kWithin);
    return search;
}

}  // namespace

const std::string& lastOutputRow(ModelKind kind) {
    static const auto all = forEveryModel([](ModelKind k) { return "SELECT max(rowid) FROM " + tableOf(k); });
    return all[kindIndex(kind)];
}

const std::string& outputNamesAt(ModelKind kind) {
    static const auto all =
        forEveryModel([](ModelKind k) { return "SELECT scenario_name FROM " + tableOf(k) + " WHERE rowid IN (?, ?)"; });
    return all[kindIndex(kind)];
}

const std::string& outputRowsByName(ModelKind kind) {
    static const auto all = forEveryModel([](ModelKind k) {
        return "SELECT min(rowid), max(rowid), count(*) FROM " + tableOf(k) + " WHERE scenario_name = ?";
    });
    return all[kindIndex(kind)];
}

const std::string& deleteOutputInRows(ModelKind kind) {
    static const auto all = forEveryModel([](ModelKind k) {
        return "DELETE FROM " + tableOf(k) + " WHERE rowid BETWEEN ? AND ? AND scenario_name = ?";
    });
    return all[kindIndex(kind)];
}

const std::string& searchOutputInRows(ModelKind kind, bool acrossNewYear) {
    static const auto ordinary =
        forEveryModel([](ModelKind k) { return withinRows(statementsFor(k).searchOutput); });
    static const auto wrapped = forEveryModel([](ModelKind k) { return withinRows(searchAcrossNewYearFor(k)); });
    return (acrossNewYear ? wrapped : ordinary)[kindIndex(kind)];
}

}  // namespace verdanel::sql
