#pragma once
// Where a scenario's output rows lie in their table. A run appends its rows
// one after the other, so they are the rowids first..last, which the run
// records beside its scenario. A new store has no index on the output
// tables' scenario name: as a run appends its entries SQLite leaves that
// index's pages about 87 % full, slack that only a rewrite of the whole
// store gives back. Searches and deletes go by the rowids instead, and by
// name where a run has none (a store made before) or the rowids no longer
// hold the scenario's rows (another program's VACUUM numbers rows anew).
#include <cstdint>
#include <optional>
#include <string>

#include "core/common/model_kind.hpp"

namespace verdanel {

class StoreConnection;

struct OutputRows {
    std::int64_t first = 0;
    std::int64_t last = 0;
};

// The scenario's rows, checked: the rows at both ends are the scenario's.
// Rows that were numbered anew are found once by name and recorded again
// where the store can be written. None without a record or without rows.
std::optional<OutputRows> outputRowsOf(StoreConnection& connection, ModelKind kind, const std::string& name);

// The rowid the first row of a run that starts now will get.
std::optional<std::int64_t> nextOutputRow(StoreConnection& connection, ModelKind kind, std::string& error);

// Records the run's rows (in the run's transaction), in place of any earlier
// record; not when the rows at the ends are not the scenario's.
bool recordOutputRows(StoreConnection& connection, ModelKind kind, const std::string& name, const OutputRows& rows,
                      std::string& error);

// Deletes the scenario's output rows and their record (in the caller's transaction).
bool deleteOutputRows(StoreConnection& connection, ModelKind kind, const std::string& name, std::string& error);

}  // namespace verdanel
