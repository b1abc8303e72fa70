#include "core/store/schema.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "core/common/messages.hpp"
#include "core/common/text_format.hpp"
#include "core/common/utf8_path.hpp"
#include "core/scenario/scenario_parameters.hpp"
#include "core/store/sample_chemicals.hpp"
#include "core/store/statements.hpp"
#include "core/store/sqlite_handle.hpp"
#include "core/store/store_statement.hpp"

namespace verdanel {

namespace {
std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

#define VERDANEL_OUTPUT_KEY_COLUMNS                                                       \
    "scenario_name TEXT, simulation_month TEXT, simulation_day TEXT, simulation_hour TEXT, " \
    "simulation_minute TEXT, "

const char* const kCreateMaterialInfo =
    "CREATE TABLE material_info (mat_name TEXT UNIQUE, cas_no TEXT, MW TEXT, melting_point TEXT, "
    "water_solubility TEXT, vapor_pressure TEXT, Henry_constant TEXT, molecule_volume TEXT, Koc TEXT, "
    "Log_Kow TEXT, halftime_air TEXT, halftime_water TEXT, halftime_soil TEXT, BCF TEXT, deg_water TEXT, "
    "deg_sed TEXT, deg_bsoil TEXT, deg_vcsoil TEXT, deg_cgvege TEXT, deg_vair TEXT, diffusivity_air TEXT, "
    "diffusivity_water TEXT, useable INTEGER)";
const char* const kCreateOutputStream =
    "CREATE TABLE model_output_stream (" VERDANEL_OUTPUT_KEY_COLUMNS
    "Cair_spray1 REAL, Cair_adj1 REAL, Cair_water REAL, Cair_adj2 REAL, Cair_spray2 REAL, "
    "Csoil_spray1 REAL, Csoil_adj1 REAL, Csoil_adj2 REAL, Csoil_spray2 REAL, Cplt_spray1 REAL, "
    "Cplt_adj1 REAL, Cplt_adj2 REAL, Cplt_spray2 REAL, Cwater REAL)";
const char* const kCreateOutputDitch =
    "CREATE TABLE model_output_ditch (" VERDANEL_OUTPUT_KEY_COLUMNS
    "Cair_spray1 REAL, Cair_water REAL, Cair_spray2 REAL, Csoil_spray1 REAL, Csoil_spray2 REAL, "
    "Cplt_spray1 REAL, Cplt_spray2 REAL, Cwater REAL)";
const char* const kCreateOutputPond =
    "CREATE TABLE model_output_pond (" VERDANEL_OUTPUT_KEY_COLUMNS
    "Cair_spray1 REAL, Cair_water REAL, Cair_spray2 REAL, Csoil_spray1 REAL, Csoil_spray2 REAL, "
    "Cplt_spray1 REAL, Cplt_spray2 REAL, Cwater REAL)";
#define VERDANEL_MASS_BALANCE(name)                                                                 \
    "CREATE TABLE " name " (Scenario_Name TEXT, simulation_month TEXT, simulation_day TEXT, "         \
    "simulation_hour TEXT, simulation_minute TEXT, mass_air REAL, mass_soil REAL, mass_plant REAL, " \
    "mass_water REAL, mass_degraded REAL, mass_applied REAL, mass_uptake REAL, mass_leached REAL, "  \
    "mass_outflow REAL, mass_carried_away REAL, mass_closure REAL)"
const char* const kCreateMassBalanceStream = VERDANEL_MASS_BALANCE("mass_balance_stream");
const char* const kCreateMassBalanceDitch = VERDANEL_MASS_BALANCE("mass_balance_ditch");
const char* const kCreateMassBalancePond = VERDANEL_MASS_BALANCE("mass_balance_pond");

// The scenario and mass-balance searches and deletes go by scenario name.
// The output tables have no such index: their rows are found by the rowids
// each run records (model_output_rows, see output_rows.hpp). Appended entry
// by entry, a name index over them keeps pages about 87 % full, slack only a
// rewrite of the whole store gives back; stores made before keep theirs.
const char* const kCreateIndexes[] = {
    "CREATE INDEX ix_scenario ON Scenario_Info (Scenario_Name, Model_Type)",
    "CREATE INDEX ix_mass_balance_stream ON mass_balance_stream (Scenario_Name)",
    "CREATE INDEX ix_mass_balance_ditch ON mass_balance_ditch (Scenario_Name)",
    "CREATE INDEX ix_mass_balance_pond ON mass_balance_pond (Scenario_Name)",
};

const std::vector<const char*> kOutputKeys = {"scenario_name", "simulation_month", "simulation_day",
                                              "simulation_hour", "simulation_minute"};
std::vector<const char*> withKeys(std::vector<const char*> values) {
    std::vector<const char*> all = kOutputKeys;
    all.insert(all.end(), values.begin(), values.end());
    return all;
}
const std::vector<const char*> kMassBalanceColumns = {"Scenario_Name", "simulation_month", "simulation_day",
                                                      "simulation_hour", "simulation_minute", "mass_air",
                                                      "mass_soil", "mass_plant", "mass_water", "mass_degraded",
                                                      "mass_applied", "mass_uptake", "mass_leached", "mass_outflow",
                                                      "mass_carried_away", "mass_closure"};
// The tables whose later columns a store made before them may lack.
constexpr const char* kGrowingTables[] = {"mass_balance_stream", "mass_balance_ditch", "mass_balance_pond"};
}  // namespace

const std::vector<const char*>& chemicalColumns() {
    static const std::vector<const char*> columns = {
        "mat_name",      "cas_no",         "MW",           "melting_point",  "water_solubility", "vapor_pressure",
        "Henry_constant", "molecule_volume", "Koc",         "Log_Kow",        "halftime_air",     "halftime_water",
        "halftime_soil", "BCF",            "deg_water",    "deg_sed",        "deg_bsoil",        "deg_vcsoil",
        "deg_cgvege",    "deg_vair",       "diffusivity_air", "diffusivity_water", "useable"};
    return columns;
}

// The scenario row: its name, model and chemical, the parameters of the
// scenario parameter table, and its period.
const std::vector<const char*>& scenarioInfoColumns() {
    static const std::vector<const char*> columns = [] {
        std::vector<const char*> all{"Scenario_Name", "Model_Type", "chemical"};
        for (const ScenarioParameter& entry : kScenarioParameters) all.push_back(entry.name);
        all.push_back("start_date");
        all.push_back("end_date");
        return all;
    }();
    return columns;
}

namespace {
const std::string& scenarioInfoCreate() {
    static const std::string create = [] {
        std::string text = "CREATE TABLE Scenario_Info (Scenario_Name TEXT, Model_Type TEXT, chemical TEXT";
        for (const ScenarioParameter& entry : kScenarioParameters) text += std::string(", ") + entry.name + " REAL";
        return text + ", start_date TEXT, end_date TEXT)";
    }();
    return create;
}
}  // namespace

const std::string& sql::insertScenario() {
    static const std::string insert = [] {
        std::string text = "INSERT INTO Scenario_Info VALUES (?";
        for (std::size_t c = 1; c < scenarioInfoColumns().size(); ++c) text += ", ?";
        return text + ")";
    }();
    return insert;
}

const std::vector<TableDefinition>& storeTables() {
    static const std::vector<TableDefinition> tables = {
        {"material_info", chemicalColumns(), kCreateMaterialInfo},
        {"Scenario_Info", scenarioInfoColumns(), scenarioInfoCreate().c_str()},
        {"model_output_stream",
         withKeys({"Cair_spray1", "Cair_adj1", "Cair_water", "Cair_adj2", "Cair_spray2", "Csoil_spray1",
                   "Csoil_adj1", "Csoil_adj2", "Csoil_spray2", "Cplt_spray1", "Cplt_adj1", "Cplt_adj2",
                   "Cplt_spray2", "Cwater"}),
         kCreateOutputStream},
        {"model_output_ditch",
         withKeys({"Cair_spray1", "Cair_water", "Cair_spray2", "Csoil_spray1", "Csoil_spray2", "Cplt_spray1",
                   "Cplt_spray2", "Cwater"}),
         kCreateOutputDitch},
        {"model_output_pond",
         withKeys({"Cair_spray1", "Cair_water", "Cair_spray2", "Csoil_spray1", "Csoil_spray2", "Cplt_spray1",
                   "Cplt_spray2", "Cwater"}),
         kCreateOutputPond},
        {"mass_balance_stream", kMassBalanceColumns, kCreateMassBalanceStream},
        {"mass_balance_ditch", kMassBalanceColumns, kCreateMassBalanceDitch},
        {"mass_balance_pond", kMassBalanceColumns, kCreateMassBalancePond},
        {"model_output_rows", {"Scenario_Name", "Model_Type", "first_row", "last_row"}, sql::kCreateOutputRows},
    };
    return tables;
}

StoreCreation createStore(const std::string& path, const std::string& chemicalsFile) {
    StoreCreation outcome;
    std::error_code ec;
    if (std::filesystem::exists(pathFromUtf8(path), ec)) {
        outcome.error = fillMessage(msg::kStoreFileExists, path);
        return outcome;
    }
    SampleChemicals samples;
    if (!chemicalsFile.empty()) {
        samples = readSampleChemicals(chemicalsFile);
        if (!samples.ok) {
            outcome.error = samples.error;
            return outcome;
        }
    }

    // Built under a temporary name and moved into place whole, so a failure
    // never leaves a half-made store where the program looks for one.
    const std::string temp = path + ".new";
    std::filesystem::remove(pathFromUtf8(temp), ec);
    bool ok = false;
    {
        SqliteDatabase db;
        if (!db.open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, outcome.error)) return outcome;
        // Before the first table: the page size, and a delete then gives its pages back by itself.
        ok = db.exec(sql::kUseStorePageSize, &outcome.error) && db.exec(sql::kUseIncrementalVacuum, &outcome.error) &&
             db.exec("BEGIN", &outcome.error);
        for (const auto& table : storeTables()) ok = ok && db.exec(table.createStatement, &outcome.error);
        for (const char* index : kCreateIndexes) ok = ok && db.exec(index, &outcome.error);
        if (ok && !samples.rows.empty()) {
            std::string insert = "INSERT INTO material_info (";
            for (std::size_t c = 0; c < kSampleChemicalColumnCount; ++c)
                insert += std::string(c ? ", " : "") + chemicalColumns()[c];
            insert += ") VALUES (";
            for (std::size_t c = 0; c < kSampleChemicalColumnCount; ++c) insert += c ? ", ?" : "?";
            insert += ")";
            StoreStatement add(db, insert);
            ok = add.valid();
            if (!ok) outcome.error = add.error();
            for (const auto& row : samples.rows) {
                if (!ok) break;
                for (std::size_t c = 0; c < kSampleChemicalColumnCount; ++c) {
                    const int column = static_cast<int>(c + 1);
                    if (row[c].empty()) add.bindNull(column);
                    else add.bindText(column, row[c]);
                }
                ok = add.run();
                if (!ok) outcome.error = add.error();
            }
        }
        ok = ok && db.exec("COMMIT", &outcome.error);
    }
    if (!ok) {
        std::filesystem::remove(pathFromUtf8(temp), ec);
        return outcome;
    }
    std::filesystem::rename(pathFromUtf8(temp), pathFromUtf8(path), ec);
    if (ec) {
        outcome.error = ec.message() + ": " + path;
        std::filesystem::remove(pathFromUtf8(temp), ec);
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

bool addMissingColumns(const SqliteDatabase& db, std::string& error) {
    {
        // Only a store of ours (it has the scenario table) gains the record of output rows.
        StoreStatement scenarios(db, sql::kTableColumns);
        if (!scenarios.valid()) {
            error = scenarios.error();
            return false;
        }
        scenarios.bindText(1, "Scenario_Info");
        if (scenarios.nextRow() && !db.exec(sql::kCreateOutputRowsIfMissing, &error)) return false;
    }
    for (const char* name : kGrowingTables) {
        const auto& tables = storeTables();
        const auto table = std::find_if(tables.begin(), tables.end(),
                                        [&](const TableDefinition& t) { return std::string_view(t.name) == name; });
        if (table == tables.end()) continue;
        std::vector<std::string> present;
        {
            StoreStatement columns(db, sql::kTableColumns);
            if (!columns.valid()) {
                error = columns.error();
                return false;
            }
            columns.bindText(1, name);
            while (columns.nextRow()) present.push_back(lowerCase(columns.columnText(0)));
            if (columns.failed()) {
                error = columns.error();
                return false;
            }
        }
        // A store without the table is none of ours to change.
        if (present.empty()) continue;
        for (const char* column : table->columns) {
            if (std::find(present.begin(), present.end(), lowerCase(column)) != present.end()) continue;
            std::string alter = "ALTER TABLE ";
            alter += name;
            alter += " ADD COLUMN ";
            alter += column;
            alter += " REAL";
            if (!db.exec(alter.c_str(), &error)) return false;
        }
    }
    return true;
}

}  // namespace verdanel
