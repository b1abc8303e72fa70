#pragma once
// A sweep: one scenario run once per variant by the same engine and fast
// path as a stored run, without storing a row, on a pool of threads. Each
// variant that may run (the checks of a stored run) gives the exposure
// endpoints of every value column over its whole period; a variant those
// checks refuse is reported with its message and not run.
//
// The weather is read once by the caller and shared by every variant (read
// only). Progress goes to the caller's ProgressSink on the calling thread
// only, as the share of all variants' simulated time done; the sink's
// abandoned() stops the sweep, within a variant (the engine asks once per
// simulated hour) and before any variant not yet started.
//
//     WeatherSet weather;
//     if (readWeatherSet(weather, scenario.weather, prompter).opened)
//         SweepOutcome out = runSweep(scenario, plan, weather, progress, {});
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/common/mass_balance.hpp"
#include "core/engines/scenario.hpp"
#include "core/engines/simulation_period.hpp"
#include "core/results/exposure_endpoints.hpp"
#include "core/sweep/sweep_plan.hpp"

namespace verdanel {

class ProgressSink;

struct SweepOptions {
    // Threads of the pool; 0 takes std::thread::hardware_concurrency().
    int jobs = 0;
    // The per-second reference step instead of the fast path (tests).
    bool plainSteps = false;
    // thresholds[k] for value column k, as allEndpoints takes them.
    std::vector<std::optional<double>> thresholds;
};

enum class VariantStatus {
    Finished,     // endpoints of every column over the whole period
    Refused,      // the inputs break the model; message says why; not run
    ModelFailed,  // a value that is not a finite number; message names it
    Cancelled,    // the sweep was cancelled before or while it ran
};

struct VariantOutcome {
    double value = 0;  // the parameter's value or the days shifted
    VariantStatus status = VariantStatus::Cancelled;
    std::string message;  // the refusal or failure ("" otherwise)
    SimulationPeriod period;
    std::int64_t rows = 0;  // output rows the engine handed over
    // Every value column in value order; empty unless Finished.
    std::vector<ColumnEndpoints> endpoints;
    // The mass balance of the variant's last simulated hour (µg); its shares
    // of the applied mass say where the chemical went. None unless Finished.
    std::optional<MassBalanceRow> finalBalance;
};

enum class SweepStatus { Completed, Cancelled };

struct SweepOutcome {
    SweepStatus status = SweepStatus::Completed;
    ModelKind kind = ModelKind::Stream;
    SweepPlan plan;
    std::vector<VariantOutcome> variants;  // one per plan value, in plan order
    int jobs = 1;                          // threads used
};

// The pool size for `requested` jobs (0: the core count, at least 1).
int sweepJobs(int requested);

SweepOutcome runSweep(const ScenarioDefinition& scenario, const SweepPlan& plan, const WeatherSet& weather,
                      ProgressSink& progress, const SweepOptions& options = {});

}  // namespace verdanel
