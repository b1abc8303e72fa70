#pragma once
// Every statement the program sends to the store, in one place. Values are
// bound to "?" placeholders, never pasted into the text, so a name holding a
// quote is just a name; "||" joins two texts. Table names are matched without
// regard to letter case, as the store does.
#include <string>
#include <string_view>

#include "core/common/model_kind.hpp"

namespace verdanel::sql {

// --- Chemical table -------------------------------------------------------
inline constexpr const char* kChemicalNames = "SELECT * FROM material_info ORDER BY mat_name";
// (name)
inline constexpr const char* kChemicalByName = "SELECT * FROM material_info WHERE mat_name = ?";
// (name)
inline constexpr const char* kInsertChemical = "INSERT INTO material_info (mat_name) VALUES (?)";
// (21 property texts in column order 1 to 21, then the name)
inline constexpr const char* kUpdateChemical =
    "UPDATE material_info SET cas_no = ?, MW = ?, melting_point = ?, water_solubility = ?, "
    "vapor_pressure = ?, Henry_constant = ?, molecule_volume = ?, Koc = ?, Log_Kow = ?, "
    "halftime_air = ?, halftime_water = ?, halftime_soil = ?, BCF = ?, deg_water = ?, deg_sed = ?, "
    "deg_bsoil = ?, deg_vcsoil = ?, deg_cgvege = ?, deg_vair = ?, diffusivity_air = ?, "
    "diffusivity_water = ? WHERE mat_name = ?";
// (name)
inline constexpr const char* kDeleteChemical = "DELETE FROM material_info WHERE mat_name = ?";
inline constexpr const char* kAllChemicals = "SELECT * FROM material_info";
// (1 or 0, name)
inline constexpr const char* kSetChemicalUsable = "UPDATE material_info SET useable = ? WHERE mat_name = ?";
inline constexpr const char* kUsableChemicals = "SELECT * FROM material_info WHERE useable = 1 ORDER BY mat_name";

// --- Scenario table -------------------------------------------------------
// (name, model type)
inline constexpr const char* kScenarioExists = "SELECT * FROM Scenario_Info WHERE Scenario_Name = ? AND Model_Type = ?";
// (name, model type)
inline constexpr const char* kDeleteScenarioForRun = "DELETE FROM Scenario_Info WHERE Scenario_Name = ? AND Model_Type = ?";
// (name, model type, chemical, the parameters, start date, end date): one ? per column of Scenario_Info (made from the scenario parameter table, in schema.cpp).
const std::string& insertScenario();
// (model type)
inline constexpr const char* kScenarioList = "SELECT * FROM Scenario_info WHERE Model_Type = ? ORDER BY scenario_name";
// (name, model type)
inline constexpr const char* kScenarioByName =
    "SELECT * FROM Scenario_info WHERE scenario_name = ? AND Model_Type = ? ORDER BY scenario_name";
// (name, model type)
inline constexpr const char* kDeleteScenario = "DELETE FROM scenario_info WHERE scenario_name = ? AND Model_Type = ?";

// --- Output and mass-balance tables ----------------------------------------
// (name, month, day, hour, minute as two-digit texts, then 14 values)
inline constexpr const char* kInsertStreamOutput =
    "INSERT INTO model_output_stream VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
// (name, month, day, hour, minute, then 8 values)
inline constexpr const char* kInsertDitchOutput =
    "INSERT INTO model_output_Ditch VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
inline constexpr const char* kInsertPondOutput =
    "INSERT INTO model_output_pond VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// (name) for each
inline constexpr const char* kDeleteStreamOutput = "DELETE FROM model_output_stream WHERE Scenario_Name = ?";
inline constexpr const char* kDeleteDitchOutput = "DELETE FROM model_output_Ditch WHERE Scenario_Name = ?";
inline constexpr const char* kDeletePondOutput = "DELETE FROM model_output_Pond WHERE Scenario_Name = ?";
inline constexpr const char* kDeleteStreamMassBalance = "DELETE FROM mass_balance_stream WHERE Scenario_Name = ?";
inline constexpr const char* kDeleteDitchMassBalance = "DELETE FROM mass_balance_Ditch WHERE Scenario_Name = ?";
inline constexpr const char* kDeletePondMassBalance = "DELETE FROM mass_balance_Pond WHERE Scenario_Name = ?";

// Mass-balance rows (name, month, day, hour, minute as two-digit texts, then
// the entries of kMassBalanceEntries), with the columns named: a store made
// before these tables had all of them gains the missing ones at the end.
const std::string& insertMassBalance(ModelKind kind);
// The month, day, hour, minute and entries of a scenario's mass-balance rows
// between two "MMDD" bounds (start, end, name), as the output search selects
// its rows: a start after the end is a range across New Year, in stored order.
const std::string& searchMassBalance(ModelKind kind, bool acrossNewYear);
// The mass-balance table's columns a store lacks are added with
// "ALTER TABLE <table> ADD COLUMN <column> REAL". (table name)
inline constexpr const char* kTableColumns = "SELECT name FROM pragma_table_info(?)";
// Many rows in one statement: the single-row insert `insert` (one "(?, ...)"
// after VALUES) with its tuple repeated `rows` times.
std::string multiRowInsert(std::string_view insert, int rows);

// Month and day are joined as one four-character text and compared as text,
// both bounds included; the year takes no part. (start "MMDD", end "MMDD", name)
// The rows come back in the order they were stored, which is time order; the
// search puts them in month, day, hour and minute order itself, which for a
// run within one year is that order already and costs one pass to confirm.
inline constexpr const char* kSearchStreamOutput =
    "SELECT * FROM model_output_stream WHERE simulation_month || simulation_day >= ? AND "
    "simulation_month || simulation_day <= ? AND scenario_name = ?";
inline constexpr const char* kSearchDitchOutput =
    "SELECT * FROM model_output_Ditch WHERE simulation_month || simulation_day >= ? AND "
    "simulation_month || simulation_day <= ? AND scenario_name = ?";
inline constexpr const char* kSearchPondOutput =
    "SELECT * FROM model_output_Pond WHERE simulation_month || simulation_day >= ? AND "
    "simulation_month || simulation_day <= ? AND scenario_name = ?";

// A range across New Year, its start "MMDD" after its end: the rows from the
// start to the end of the year and those from the start of the year to the
// end (start "MMDD", end "MMDD", name), in the order the run inserted them,
// which is time order: the earlier calendar year's rows, then the later's.
// The name's index hands them over in that order without a sort.
inline constexpr const char* kSearchStreamOutputAcrossNewYear =
    "SELECT * FROM model_output_stream WHERE (simulation_month || simulation_day >= ? OR "
    "simulation_month || simulation_day <= ?) AND scenario_name = ? ORDER BY rowid";
inline constexpr const char* kSearchDitchOutputAcrossNewYear =
    "SELECT * FROM model_output_Ditch WHERE (simulation_month || simulation_day >= ? OR "
    "simulation_month || simulation_day <= ?) AND scenario_name = ? ORDER BY rowid";
inline constexpr const char* kSearchPondOutputAcrossNewYear =
    "SELECT * FROM model_output_Pond WHERE (simulation_month || simulation_day >= ? OR "
    "simulation_month || simulation_day <= ?) AND scenario_name = ? ORDER BY rowid";

inline const char* searchAcrossNewYearFor(ModelKind kind) {
    switch (kind) {
        case ModelKind::Stream: return kSearchStreamOutputAcrossNewYear;
        case ModelKind::Ditch: return kSearchDitchOutputAcrossNewYear;
        case ModelKind::Pond: return kSearchPondOutputAcrossNewYear;
    }
    return kSearchStreamOutputAcrossNewYear;
}

// The statements of one model, picked by its kind (table names are never built from user text).
struct ModelStatements {
    const char* insertOutput;
    const char* deleteOutput;
    const char* deleteMassBalance;
    const char* searchOutput;
};

inline ModelStatements statementsFor(ModelKind kind) {
    switch (kind) {
        case ModelKind::Stream:
            return {kInsertStreamOutput, kDeleteStreamOutput, kDeleteStreamMassBalance, kSearchStreamOutput};
        case ModelKind::Ditch:
            return {kInsertDitchOutput, kDeleteDitchOutput, kDeleteDitchMassBalance, kSearchDitchOutput};
        case ModelKind::Pond:
            return {kInsertPondOutput, kDeletePondOutput, kDeletePondMassBalance, kSearchPondOutput};
    }
    return {kInsertStreamOutput, kDeleteStreamOutput, kDeleteStreamMassBalance, kSearchStreamOutput};
}

// --- Where each run's output rows lie -----------------------------------------
// A run appends its output rows one after the other, so they are the rowids
// first_row..last_row of their table; the run records them here. A new
// store has no index on the output tables' scenario name (see schema.cpp):
// the searches and deletes go by these rowids, and by name only where a run
// has none.
inline constexpr const char* kCreateOutputRows =
    "CREATE TABLE model_output_rows (Scenario_Name TEXT, Model_Type TEXT, first_row INTEGER, last_row INTEGER)";
// The same for a store made before the table (created when it opens for writing).
inline constexpr const char* kCreateOutputRowsIfMissing =
    "CREATE TABLE IF NOT EXISTS model_output_rows (Scenario_Name TEXT, Model_Type TEXT, first_row INTEGER, "
    "last_row INTEGER)";
// (name, model type)
inline constexpr const char* kOutputRowsOf =
    "SELECT first_row, last_row FROM model_output_rows WHERE Scenario_Name = ? AND Model_Type = ?";
// (name, model type, first rowid, last rowid)
inline constexpr const char* kInsertOutputRows = "INSERT INTO model_output_rows VALUES (?, ?, ?, ?)";
// (name, model type)
inline constexpr const char* kDeleteOutputRows =
    "DELETE FROM model_output_rows WHERE Scenario_Name = ? AND Model_Type = ?";
// The largest rowid of the model's output table (NULL when empty).
const std::string& lastOutputRow(ModelKind kind);
// (first rowid, last rowid): the scenario names at both ends.
const std::string& outputNamesAt(ModelKind kind);
// (name): the least and greatest rowid and the count of the scenario's rows.
const std::string& outputRowsByName(ModelKind kind);
// (first rowid, last rowid, name)
const std::string& deleteOutputInRows(ModelKind kind);
// The output search (start "MMDD", end "MMDD", name, first rowid, last rowid)
// within the run's rows, in a range across New Year or not.
const std::string& searchOutputInRows(ModelKind kind, bool acrossNewYear);

// Store pragmas and compaction.
inline constexpr const char* kCompactInto = "VACUUM INTO ?";
// New stores and compacted copies: pages of 16 KiB, which measured faster for
// the long appends of a run than the default 4 KiB. Set before the first
// table (and before VACUUM INTO, which gives the copy that size).
inline constexpr int kStorePageSize = 16384;
inline constexpr const char* kUseStorePageSize = "PRAGMA page_size = 16384";
// Set before the tables of a new store, and before a rewrite: a delete then
// gives its pages back with kIncrementalVacuum instead of a whole rewrite.
inline constexpr const char* kUseIncrementalVacuum = "PRAGMA auto_vacuum = INCREMENTAL";
inline constexpr const char* kIncrementalVacuum = "PRAGMA incremental_vacuum";
inline constexpr const char* kAutoVacuumMode = "PRAGMA auto_vacuum";
inline constexpr int kAutoVacuumNone = 0;         // what kAutoVacuumMode answers: NONE,
inline constexpr int kAutoVacuumIncremental = 2;  // INCREMENTAL
inline constexpr const char* kPageCount = "PRAGMA page_count";
inline constexpr const char* kFreePageCount = "PRAGMA freelist_count";
inline constexpr const char* kPageSize = "PRAGMA page_size";
inline constexpr const char* kIntegrityCheck = "PRAGMA integrity_check";

}  // namespace verdanel::sql
