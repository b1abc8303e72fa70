#pragma once
// An open test store and helpers that write output and scenario rows the
// way the engines do.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "core/common/model_kind.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

namespace verdanel::testing {

inline std::string twoDigits(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

struct ResultsStore {
    TestApplication app;
    ScriptedPrompter prompter;
    StoreConnection connection;

    ResultsStore() { EXPECT_TRUE(connection.open(app.connectionText(), prompter)); }

    // One output row; value k is base + k.
    void addOutput(ModelKind kind, const std::string& name, int month, int day, int hour, int minute,
                   double base = 0) {
        std::vector<StoreValue> values = {name, twoDigits(month), twoDigits(day), twoDigits(hour),
                                          twoDigits(minute)};
        for (int k = 0; k < (kind == ModelKind::Stream ? 14 : 8); ++k) values.emplace_back(base + k);
        StoreAccessor a(connection, prompter);
        ASSERT_TRUE(a.execute(sql::statementsFor(kind).insertOutput, values));
    }

    void addScenario(ModelKind kind, const std::string& name, const std::string& chemical = "Chem",
                     const std::string& start = "2010-06-01", const std::string& end = "2010-11-29") {
        const std::array<float, 12> p = {200, 7, 11, 7.5f, 100, 15, 2, 0.8f, 14, 3, 0.25f, 0.5f};
        std::vector<StoreValue> values = {name, std::string(modelTypeText(kind)), chemical};
        for (float f : p) values.emplace_back(static_cast<double>(f));
        values.emplace_back(start);
        values.emplace_back(end);
        StoreAccessor a(connection, prompter);
        ASSERT_TRUE(a.execute(sql::insertScenario(), values));
    }

    void addMassBalance(ModelKind kind, const std::string& name) {
        StoreAccessor a(connection, prompter);
        ASSERT_TRUE(a.execute(std::string("INSERT INTO mass_balance_") + modelTypeText(kind) +
                                  " (Scenario_Name) VALUES (?)",
                              {name}));
    }

    int count(const std::string& table, const std::string& name) {
        StoreAccessor a(connection, prompter);
        EXPECT_EQ(a.query("SELECT count(*) FROM " + table + " WHERE Scenario_Name = ?", {name}).rows(), 1);
        return std::stoi(a.cell(0, 0));
    }

    int countScenario(ModelKind kind, const std::string& name) {
        StoreAccessor a(connection, prompter);
        return a.query(sql::kScenarioExists, {name, std::string(modelTypeText(kind))}).rows();
    }
};

}  // namespace verdanel::testing
