#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "core/store/schema.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::TempFolder;

namespace {
std::vector<std::string> columnsOf(sqlite3* db, const std::string& table) {
    std::vector<std::string> cols;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, ("PRAGMA table_info(" + table + ")").c_str(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) cols.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    return cols;
}
}  // namespace

TEST(StoreSchema, NineTablesInTheirBindingColumnOrder) {
    TempFolder dir;
    ASSERT_TRUE(createStore(dir.file("v.mdb")).ok);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(dir.file("v.mdb").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const std::vector<std::string> keys = {"scenario_name", "simulation_month", "simulation_day", "simulation_hour",
                                           "simulation_minute"};
    auto withKeys = [&](std::vector<std::string> v) {
        v.insert(v.begin(), keys.begin(), keys.end());
        return v;
    };
    std::map<std::string, std::vector<std::string>> expected = {
        {"MATERIAL_INFO",
         {"mat_name", "cas_no", "MW", "melting_point", "water_solubility", "vapor_pressure", "Henry_constant",
          "molecule_volume", "Koc", "Log_Kow", "halftime_air", "halftime_water", "halftime_soil", "BCF", "deg_water",
          "deg_sed", "deg_bsoil", "deg_vcsoil", "deg_cgvege", "deg_vair", "diffusivity_air", "diffusivity_water",
          "useable"}},
        {"scenario_info",
         {"Scenario_Name", "Model_Type", "chemical", "spray_length", "spray_width", "vehicle_speed", "spray_rate",
          "dilution_ratio", "injected_concentration", "leaf_area_index", "canopy_cover", "bank_width", "water_width",
          "water_depth", "water_velocity", "start_date", "end_date"}},
        {"model_output_Stream",
         withKeys({"Cair_spray1", "Cair_adj1", "Cair_water", "Cair_adj2", "Cair_spray2", "Csoil_spray1", "Csoil_adj1",
                   "Csoil_adj2", "Csoil_spray2", "Cplt_spray1", "Cplt_adj1", "Cplt_adj2", "Cplt_spray2", "Cwater"})},
        {"model_output_Ditch", withKeys({"Cair_spray1", "Cair_water", "Cair_spray2", "Csoil_spray1", "Csoil_spray2",
                                         "Cplt_spray1", "Cplt_spray2", "Cwater"})},
        {"model_output_POND", withKeys({"Cair_spray1", "Cair_water", "Cair_spray2", "Csoil_spray1", "Csoil_spray2",
                                        "Cplt_spray1", "Cplt_spray2", "Cwater"})},
        {"model_output_rows", {"Scenario_Name", "Model_Type", "first_row", "last_row"}},
    };
    for (const auto& [table, cols] : expected) EXPECT_EQ(columnsOf(db, table), cols) << table;
    for (const char* mb : {"mass_balance_stream", "mass_balance_Ditch", "MASS_BALANCE_POND"}) {
        auto cols = columnsOf(db, mb);
        ASSERT_FALSE(cols.empty()) << mb;
        EXPECT_EQ(cols[0], "Scenario_Name");
    }
    EXPECT_EQ(storeTables().size(), 9u);
    sqlite3_close(db);
}

TEST(StoreSchema, NeverOverwritesAnExistingFile) {
    TempFolder dir;
    const std::string path = dir.write("v.mdb", "precious");
    auto outcome = createStore(path);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.error.find(path), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(path), 8u);
}

TEST(StoreSchema, SampleChemicalsFileFillsTheChemicalTable) {
    TempFolder dir;
    const std::string samples = std::string(VERDANEL_SOURCE_DIR) + "/data/sample_chemicals.tsv";
    ASSERT_TRUE(createStore(dir.file("v.mdb"), samples).ok);
    sqlite3* db = nullptr;
    sqlite3_open_v2(dir.file("v.mdb").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    // Complete chemicals: all ten required properties present.
    sqlite3_prepare_v2(db,
                       "SELECT count(*) FROM material_info WHERE ifnull(MW,'')<>'' AND ifnull(water_solubility,'')<>'' "
                       "AND ifnull(vapor_pressure,'')<>'' AND ifnull(Henry_constant,'')<>'' AND ifnull(Log_Kow,'')<>'' "
                       "AND ifnull(halftime_air,'')<>'' AND ifnull(halftime_water,'')<>'' AND "
                       "ifnull(halftime_soil,'')<>'' AND ifnull(diffusivity_air,'')<>'' AND "
                       "ifnull(diffusivity_water,'')<>''",
                       -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    int complete = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "SELECT count(*) FROM material_info", -1, &st, nullptr);
    sqlite3_step(st);
    int all = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_GE(complete, 8);
    EXPECT_EQ(all - complete, 1);  // the one deliberately incomplete entry
}

TEST(StoreSchema, BrokenSampleFileMakesNoStore) {
    TempFolder dir;
    const std::string bad = dir.write("bad.tsv", "# x\nmat_name\tcas_no\n");
    auto outcome = createStore(dir.file("v.mdb"), bad);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(std::filesystem::exists(dir.file("v.mdb")));
}
