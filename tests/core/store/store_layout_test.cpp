// What a store is made of beyond its tables: the mass-balance columns and the
// record of output rows a store made before them gains when it is opened,
// and the page size of new stores and of compacted copies.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/app/store_compaction.hpp"
#include "core/common/mass_balance.hpp"
#include "core/store/schema.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_space.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

namespace {

constexpr const char* kBalanceTables[] = {"mass_balance_stream", "mass_balance_ditch", "mass_balance_pond"};

// The mass-balance tables as stores had them before the balance was kept.
constexpr const char* kEarlierColumns =
    "(Scenario_Name TEXT, simulation_month TEXT, simulation_day TEXT, simulation_hour TEXT, "
    "simulation_minute TEXT, mass_air REAL, mass_soil REAL, mass_plant REAL, mass_water REAL, mass_degraded REAL)";

void exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << sql << ": " << message;
}

std::vector<std::string> columnsOf(StoreConnection& c, ScriptedPrompter& prompter, const std::string& table) {
    StoreAccessor a(c, prompter);
    std::vector<std::string> names;
    const int rows = a.query(sql::kTableColumns, {table}).rows();
    for (int r = 0; r < rows; ++r) names.push_back(a.cell(r, 0));
    return names;
}

std::string said(const ScriptedPrompter& prompter) {
    std::string all;
    for (const std::string& t : prompter.texts()) all += t + "\n";
    return all;
}

std::string pragma(StoreConnection& c, ScriptedPrompter& prompter, const char* sql) {
    StoreAccessor a(c, prompter);
    EXPECT_EQ(a.query(sql).rows(), 1) << sql;
    return a.cell(0, 0);
}

}  // namespace

TEST(StoreLayout, AnEarlierStoreGainsTheBalanceColumnsAndTheRowRecordOnceAndKeepsItsRows) {
    TestApplication app;
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(app.storePath().c_str(), &db), SQLITE_OK);
        for (const char* table : kBalanceTables) {
            exec(db, std::string("DROP TABLE ") + table);
            exec(db, std::string("CREATE TABLE ") + table + " " + kEarlierColumns);
            exec(db, std::string("INSERT INTO ") + table + " VALUES ('earlier', '06', '01', '10', '00', 1, 2, 3, 4, 5)");
        }
        // Nor had they the record of each run's output rows.
        exec(db, "DROP TABLE model_output_rows");
        sqlite3_close(db);
    }
    std::vector<std::string> expected = {"Scenario_Name", "simulation_month", "simulation_day", "simulation_hour",
                                         "simulation_minute", "mass_air", "mass_soil", "mass_plant", "mass_water",
                                         "mass_degraded"};
    for (const MassBalanceEntry& e : kMassBalanceEntries)
        if (std::find(expected.begin(), expected.end(), e.column) == expected.end()) expected.push_back(e.column);
    ASSERT_EQ(expected.size(), 16u);

    ScriptedPrompter prompter;
    std::string schemaVersion;
    for (int opening = 0; opening < 2; ++opening) {
        StoreConnection c;
        ASSERT_TRUE(c.open(app.connectionText(), prompter)) << said(prompter);
        // Opened again, a store that has the columns is not changed.
        if (opening == 1) {
            EXPECT_EQ(pragma(c, prompter, "PRAGMA schema_version"), schemaVersion);
        }
        schemaVersion = pragma(c, prompter, "PRAGMA schema_version");
        EXPECT_EQ(columnsOf(c, prompter, "model_output_rows"),
                  (std::vector<std::string>{"Scenario_Name", "Model_Type", "first_row", "last_row"}));
        for (const char* table : kBalanceTables) {
            EXPECT_EQ(columnsOf(c, prompter, table), expected) << table << ", opening " << opening;
            StoreAccessor a(c, prompter);
            ASSERT_EQ(a.query(std::string("SELECT * FROM ") + table).rows(), 1) << table;
            for (int col = 0; col < 10; ++col)
                EXPECT_EQ(a.cell(0, col), (std::vector<std::string>{"earlier", "06", "01", "10", "00", "1", "2",
                                                                    "3", "4", "5"}[static_cast<std::size_t>(col)]))
                    << table << " column " << col;
            for (int col = 10; col < 16; ++col) EXPECT_EQ(a.cell(0, col), "") << table << " column " << col;
        }
    }
    EXPECT_TRUE(prompter.shown.empty()) << said(prompter);

    // The statements of a run and of a search take the grown tables.
    StoreConnection c;
    ASSERT_TRUE(c.open(app.connectionText(), prompter));
    StoreAccessor a(c, prompter);
    std::vector<StoreValue> row{std::string("new"), std::string("06"), std::string("01"), std::string("11"),
                                std::string("00")};
    for (int e = 0; e < kBalanceEntryCount; ++e) row.emplace_back(static_cast<double>(e));
    EXPECT_TRUE(a.execute(sql::insertMassBalance(ModelKind::Ditch), row)) << said(prompter);
    EXPECT_EQ(a.query(sql::searchMassBalance(ModelKind::Ditch, false),
                      {std::string("0601"), std::string("0601"), std::string("new")})
                  .rows(),
              1);
}

TEST(StoreLayout, NewStoresAndCompactedCopiesHaveSixteenKibPagesAndIncrementalVacuum) {
    struct Case {
        const char* what;
        int pageSizeBefore;  // of a store made outside the program; 0: made by createStore
    };
    const Case cases[] = {{"new store", 0}, {"4 KiB store, compacted", 4096}, {"64 KiB store, compacted", 65536}};
    for (const Case& k : cases) {
        TestApplication app;
        if (k.pageSizeBefore != 0) {
            std::filesystem::remove(app.storePath());
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(app.storePath().c_str(), &db), SQLITE_OK);
            exec(db, "PRAGMA page_size = " + std::to_string(k.pageSizeBefore));
            for (const TableDefinition& t : storeTables()) exec(db, t.createStatement);
            sqlite3_close(db);
        }
        ScriptedPrompter prompter;
        StoreConnection c;
        ASSERT_TRUE(c.open(app.connectionText(), prompter)) << k.what;
        if (k.pageSizeBefore != 0) {
            ASSERT_EQ(readStoreSpace(c).pageSize, k.pageSizeBefore) << k.what;
            ASSERT_TRUE(compactStore(c, app.connectionText(), prompter).compacted) << k.what << said(prompter);
        }
        EXPECT_EQ(readStoreSpace(c).pageSize, sql::kStorePageSize) << k.what;
        EXPECT_EQ(pragma(c, prompter, sql::kAutoVacuumMode), std::to_string(sql::kAutoVacuumIncremental)) << k.what;
        EXPECT_EQ(pragma(c, prompter, sql::kIntegrityCheck), "ok") << k.what;
    }
}
