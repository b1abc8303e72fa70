// Every place that lists the scenario parameters follows the one table: a
// scenario file sets each by its name, a run stores each in its own column,
// the stored row reads back into the same place, and a misspelt name is refused.
#include <gtest/gtest.h>

#include "core/chemicals/chemical_table.hpp"
#include "core/common/prompter.hpp"
#include "core/engines/scenario_file.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/scenario_records.hpp"
#include "core/scenario/scenario_parameters.hpp"
#include "core/store/schema.hpp"
#include "core/store/store_connection.hpp"
#include "support/scripted_prompter.hpp"
#include "support/temp_folder.hpp"

using namespace verdanel;
using verdanel::testing::ScriptedPrompter;
using verdanel::testing::TestApplication;

namespace {

// A value no default has, distinct per parameter, that passes every check:
// the bank wider than field and water.
float distinctValue(std::size_t index) {
    return kScenarioParameters[index].value == &ScenarioParameters::bankWidth ? 40.5f
                                                                              : 0.25f + 0.0625f * static_cast<float>(index);
}

}  // namespace

TEST(ScenarioParameterTable, FilesRunsAndStoredRowsFollowTheTable) {
    // The Scenario_Info columns are the table's names between the fixed ones.
    const auto& columns = scenarioInfoColumns();
    ASSERT_EQ(columns.size(), kScenarioParameters.size() + 5);
    for (std::size_t i = 0; i < kScenarioParameters.size(); ++i)
        EXPECT_STREQ(columns[3 + i], kScenarioParameters[i].name);

    std::string json = R"({"name": "every parameter", "model": "ditch", "chemical": "Chlorpyrifos",
                           "spray_dates": ["2010-06-01 10:00"], "parameters": {)";
    for (std::size_t i = 0; i < kScenarioParameters.size(); ++i)
        json += std::string(i ? ", " : "") + "\"" + kScenarioParameters[i].name + "\": " +
                std::to_string(distinctValue(i));
    json += "}}";
    TestApplication app(true);
    ScenarioFile file = parseScenarioFile(json, ".", std::string(VERDANEL_SOURCE_DIR) + "/input");
    ASSERT_TRUE(file.ok) << file.error;
    for (std::size_t i = 0; i < kScenarioParameters.size(); ++i)
        EXPECT_EQ(parameterValue(file.scenario.parameters, kScenarioParameters[i]), distinctValue(i))
            << kScenarioParameters[i].name;

    ScriptedPrompter prompter;
    StoreConnection connection;
    ASSERT_TRUE(connection.open(app.connectionText(), prompter));
    ASSERT_TRUE(file.scenario.chemical[chem_col::kName] == "Chlorpyrifos");
    auto record = loadChemical(connection, prompter, "Chlorpyrifos");
    ASSERT_TRUE(record);
    file.scenario.chemical = *record;
    WeatherSet weather;
    SilentProgress progress;
    const RunOutcome run = runScenario(connection, prompter, progress, file.scenario, weather);
    ASSERT_EQ(run.status, RunStatus::Completed) << run.message;
    const ScenarioQueryOutcome stored = queryScenario(connection, prompter, ModelKind::Ditch, "every parameter");
    ASSERT_EQ(stored.status, ScenarioLookup::Found);
    for (std::size_t i = 0; i < kScenarioParameters.size(); ++i)
        EXPECT_EQ(stored.info.parameters[i], static_cast<double>(distinctValue(i))) << kScenarioParameters[i].name;

    // A name the table does not know is refused, not silently ignored.
    for (const char* misspelt : {"bank_widht", "bankWidth", "Spray_Rate"}) {
        const ScenarioFile refused = parseScenarioFile(
            std::string(R"({"name": "x", "model": "stream", "parameters": {")") + misspelt + "\": 3}}", ".", ".");
        EXPECT_FALSE(refused.ok) << misspelt;
        EXPECT_NE(refused.error.find(misspelt), std::string::npos) << refused.error;
    }
}
