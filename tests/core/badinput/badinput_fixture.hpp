#pragma once
// A staged application with the sample chemicals, an open store and short
// runs, shared by the odd-input tests.
#include <gtest/gtest.h>

#include <string>

#include "core/chemicals/chemical_table.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/store/store_connection.hpp"
#include "core/weather/weather_reader.hpp"
#include "support/scripted_prompter.hpp"
#include "support/store_digest.hpp"
#include "support/temp_folder.hpp"

namespace verdanel::testing {

struct InputFixture {
    TestApplication app{true};
    ScriptedPrompter prompter;
    StoreConnection connection;

    InputFixture() { EXPECT_TRUE(connection.open(app.connectionText(), prompter)); }

    // One spray date, 91 days of the sample weather, with the sample chemical.
    ScenarioDefinition scenario(ModelKind kind, const std::string& name,
                                const std::string& chemical = "Chlorpyrifos") {
        ScenarioDefinition s;
        s.name = name;
        s.kind = kind;
        s.parameters = defaultParameters(kind);
        ScriptedPrompter quiet;
        auto record = loadChemical(connection, quiet, chemical);
        EXPECT_TRUE(record.has_value()) << chemical;
        if (record) s.chemical = *record;
        s.sprayDates = {CivilTime{2010, 6, 1, 10, 0, 0}};
        s.weather = defaultWeatherPaths(std::string(VERDANEL_SOURCE_DIR));
        return s;
    }

    RunOutcome run(const ScenarioDefinition& s, bool replace = true) {
        SilentProgress progress;
        WeatherSet weather;
        RunOptions options;
        options.replaceWithoutAsking = replace;
        return runScenario(connection, prompter, progress, s, weather, options);
    }

    StoreDigest digest() { return digestStore(connection.handle()); }
};

}  // namespace verdanel::testing
