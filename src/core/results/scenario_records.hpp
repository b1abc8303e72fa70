#pragma once
// The stored scenarios as the result window sees them: the names of one
// model, the columns of one scenario, and deleting a scenario with its rows.
#include <array>
#include <string>
#include <vector>

#include "core/common/civil_time.hpp"
#include "core/common/model_kind.hpp"
#include "core/scenario/scenario_parameters.hpp"

namespace verdanel {

class Prompter;
class StoreConnection;

// The scenario names of a model, ordered by name. A store error is shown as
// "Error:%s\n" and gives an empty list.
std::vector<std::string> scenarioNames(StoreConnection& connection, Prompter& prompter, ModelKind kind);

// The list entry to select after a run of the scenario definition window:
// the first name that begins with the given name, letters compared without
// regard to case, looking from the second entry on and wrapping round to the
// first. -1 when none does (the list then has no selection).
int scenarioEntryStartingWith(const std::vector<std::string>& names, const std::string& name);

// Columns 2 to 16 of a Scenario_Info row.
struct ScenarioInfo {
    std::string chemical;
    // In the order of the scenario parameter table.
    std::array<double, kScenarioParameterCount> parameters{};
    // The same as the read-only fields show them: the stored number with the
    // precision it was entered with ("0.8", not the float's 0.800000011920929);
    // empty where the store holds nothing.
    std::array<std::string, kScenarioParameterCount> parameterTexts;
    std::string startDate;  // "YYYY-MM-DD" as stored
    std::string endDate;
    // The two dates split at "-" into year, month and day, at 00:00:00.
    CivilTime start;
    CivilTime end;
};

enum class ScenarioLookup {
    Found,      // info holds the row
    NotFound,   // no row (removed after the list was filled): the fields are emptied
    Duplicate,  // two or more rows: "동일한 시나리오가 ..." has been shown, the fields stay as they are
    Failed,     // the store refused the look-up and has said why
};

struct ScenarioQueryOutcome {
    ScenarioLookup status = ScenarioLookup::NotFound;
    ScenarioInfo info;
};

ScenarioQueryOutcome queryScenario(StoreConnection& connection, Prompter& prompter, ModelKind kind,
                                   const std::string& name);

// The field text of a stored parameter: the value rounded to the "%e"
// precision it was written with, in its shortest decimal form.
std::string parameterText(double value);

// Deletes the scenario row, then its output rows and its mass-balance rows,
// all in one transaction: either all of them go or none. Rows of the same
// name under another model are not touched. A store error is shown as
// "Error:%s\n" and gives false with the store unchanged.
bool deleteScenario(StoreConnection& connection, Prompter& prompter, ModelKind kind, const std::string& name);

}  // namespace verdanel
