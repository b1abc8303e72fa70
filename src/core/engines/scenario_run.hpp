#pragma once
// Runs one scenario into the store. The run is all or nothing: the removal
// of an earlier run of the same name, the scenario row and every output row
// reach the store together when the run finishes, or not at all.
#include <cstdint>
#include <string>

#include "core/engines/scenario.hpp"
#include "core/engines/simulation_period.hpp"

namespace verdanel {

struct ResultBuffer;
class Prompter;
class ProgressSink;
class StoreConnection;

enum class RunStatus {
    Completed,
    Refused,           // inputs that break the model, an unusable chemical, or start after end
    Cancelled,         // the user kept the earlier run
    WeatherUnreadable, // a weather file could not be opened
    StoreFailed,       // the store refused the run; nothing was kept
    Abandoned,         // the window was closed during the run; nothing was kept
    ModelFailed,       // the model produced a value that is not a finite number; nothing was kept
};

struct RunOutcome {
    RunStatus status = RunStatus::Refused;
    std::string message;  // the text already shown for a status other than Completed ("" when none)
    SimulationPeriod period;
    std::int64_t rows = 0;
};

struct RunOptions {
    // Show "%s 시뮬레이션 완료!" at the end (off when the window closes itself instead).
    bool announceCompletion = true;
    // Answer the replace question without asking (command line --replace).
    bool replaceWithoutAsking = false;
    // Use the per-second reference step even where a model has a faster path.
    bool plainSteps = false;
    // When given, receives every stored row in time order (for a summary
    // of the whole period without searching the store again).
    ResultBuffer* keepRows = nullptr;
};

// The first refusal for inputs that would break the model ("" when none).
std::string refusalFor(const ScenarioDefinition& scenario);

RunOutcome runScenario(StoreConnection& connection, Prompter& prompter, ProgressSink& progress,
                       const ScenarioDefinition& scenario, WeatherSet& weather, const RunOptions& options = {});

}  // namespace verdanel
