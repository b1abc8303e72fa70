#pragma once
// Scenario files of the command-line tool (JSON):
//   { "name": "demo", "model": "stream", "chemical": "Chlorpyrifos",
//     "spray_dates": ["2010-06-01 10:00", ...],
//     "weather": { "wind_speed": "wind.txt", ... },      paths relative to the file's folder
//     "parameters": { "spray_length": 200, ... } }       omitted values take the window's defaults
#include <string>

#include "core/engines/scenario.hpp"

namespace verdanel {

struct ScenarioFile {
    bool ok = false;
    std::string error;           // what is wrong with the file, for the user
    ScenarioDefinition scenario; // chemical holds only the name; the caller loads the record
};

// Reads a scenario from JSON text. relativeTo: the folder relative weather
// paths start from; defaultInput: the folder of the default weather files.
ScenarioFile parseScenarioFile(const std::string& jsonText, const std::string& relativeTo,
                               const std::string& defaultInput);
ScenarioFile readScenarioFile(const std::string& path, const std::string& defaultInput);

}  // namespace verdanel
