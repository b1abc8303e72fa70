#pragma once
// Runs one scenario into the store. The run is all or nothing: the removal
// of an earlier run of the same name, the scenario row and every output row
// reach the store together when the run finishes, or not at all.
#include <cstdint>
#include <string>

#include "core/engines/engine_driver.hpp"
#include "core/engines/scenario.hpp"
#include "core/engines/simulation_period.hpp"

namespace verdanel {

struct ResultSummary;
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
    // When given, receives the summary of the whole period when the run
    // completes (taken as the rows go by, without searching the store again).
    ResultSummary* summary = nullptr;
};

// The first refusal for inputs that would break the model ("" when none).
std::string refusalFor(const ScenarioDefinition& scenario);

// What every run settles before it steps, whether it stores its rows or not
// (a sweep's variants): the scenario as the model takes it (a pond's
// velocity fixed), its period, and why it may not run ("" when it may).
struct PreparedRun {
    ScenarioDefinition scenario;
    SimulationPeriod period;
    std::string refusal;
};
PreparedRun prepareRun(const ScenarioDefinition& input);

// The first output value of a run that is not a finite number.
struct NotFiniteValue {
    int valueIndex = -1;                  // -1: every output value so far was finite
    const char* balanceColumn = nullptr;  // or the mass-balance entry that was not
    std::int64_t row = 0;                 // output rows before it (minutes since the period's first second)
    bool found() const { return valueIndex >= 0 || balanceColumn != nullptr; }
};
// Index of the first of `count` values that is not a finite number; -1 when none.
int firstNotFinite(const double* values, int count);
// The first entry of a mass-balance row that is not a finite number (its store column); nullptr when none.
const char* firstNotFiniteEntry(const MassBalanceRow& balance);
// "Cwater at 2010-06-01 10:01": the value and the simulated minute of its row.
std::string notFiniteMessage(ModelKind kind, const SimulationPeriod& period, const NotFiniteValue& at);

// Builds the scenario's fate model and spray schedule and steps it through
// the period into `sink`: the one engine call of a stored run and of a
// sweep's variant. `scenario` as prepareRun gives it; the weather already read.
DriveResult driveScenario(const ScenarioDefinition& scenario, const SimulationPeriod& period, const WeatherSet& weather,
                          OutputRowSink& sink, ProgressSink& progress, bool plainSteps);

RunOutcome runScenario(StoreConnection& connection, Prompter& prompter, ProgressSink& progress,
                       const ScenarioDefinition& scenario, WeatherSet& weather, const RunOptions& options = {});

}  // namespace verdanel
