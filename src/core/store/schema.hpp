#pragma once
// The eight tables of a store and the making of a new store file.
#include <string>
#include <vector>

namespace verdanel {

class SqliteDatabase;
class StoreConnection;

struct TableDefinition {
    const char* name;
    std::vector<const char*> columns;  // binding column order
    const char* createStatement;
};

const std::vector<TableDefinition>& storeTables();

// Column names of Scenario_Info in order.
const std::vector<const char*>& scenarioInfoColumns();

// Column names of material_info in order (23).
const std::vector<const char*>& chemicalColumns();

struct StoreCreation {
    bool ok = false;
    std::string error;  // user text when not ok
};

// Makes a new store file with the eight tables. Never replaces an existing
// file. When chemicalsFile is given, its sample chemicals are inserted.
StoreCreation createStore(const std::string& path, const std::string& chemicalsFile = {});

// A store made before the mass-balance tables had all their columns gains the
// missing ones (REAL, empty in the rows it holds), one ALTER TABLE each, and
// one made before the record of output rows gains its table (empty: its runs
// are found by name); a store that has them is not written. False with the store's words in
// `error` when the store refuses (a read-only file).
bool addMissingColumns(const SqliteDatabase& db, std::string& error);

}  // namespace verdanel
