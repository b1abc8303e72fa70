#pragma once
// What a sweep varies and over which values: one parameter of the parameter
// table (its values as a range FROM:TO:STEP or a list V1,V2,...), or the
// spray dates shifted together by whole days over a range. Each value gives
// one variant of the scenario.
//
//     SweepPlanOutcome p = parameterSweep("bank_width", "2:32:2");
//     if (p.plan) for (double v : p.plan->values) run(variantScenario(base, *p.plan, v));
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engines/scenario.hpp"

namespace verdanel {

// A sweep of more variants than this is surely a typing error.
inline constexpr std::size_t kMaxSweepVariants = 10000;

// The name of a shift sweep where a parameter sweep gives the parameter's name.
inline constexpr const char* kShiftDaysName = "shift_days";

struct SweepPlan {
    // The varied parameter; none for a shift of the spray dates.
    const ScenarioParameter* parameter = nullptr;
    // Parameter values (as the model's single-precision fields take them) or
    // whole days, in the order given.
    std::vector<double> values;

    bool shiftsDates() const { return parameter == nullptr; }
    // "bank_width" or "shift_days", as files and JSON name it.
    std::string name() const;
    // The window's label ("하천변 폭", "살포일 이동 (일)") and unit ("meter", "일").
    std::string label() const;
    std::string unit() const;
    // The label with its unit, as the chart's axis and the CSV name what
    // varied: "하천변 폭 (meter)"; the shift's label names its unit already.
    std::string title() const;
};

struct SweepPlanOutcome {
    std::optional<SweepPlan> plan;
    std::string error;  // why not, for the user
};

// Values of "FROM:TO:STEP" (FROM, FROM + STEP, ... up to TO; STEP above 0,
// TO not below FROM; TO itself taken when it lies within a millionth of a
// step of the last value) or of "V1,V2,...". Numbers are read as C numbers,
// whatever the locale.
SweepPlanOutcome parameterSweep(std::string_view parameterName, std::string_view values);
// Whole days "FROM:TO:STEP" or "D1,D2,...".
SweepPlanOutcome shiftSweep(std::string_view days);
// Either, from the command line's "PARAM=VALUES".
SweepPlanOutcome parameterSweepAssignment(std::string_view assignment);

// The scenario of one variant: the parameter set to `value`, or every spray
// date moved by `value` whole days (the same weather tables, read by month
// and day, apply to the moved dates).
ScenarioDefinition variantScenario(const ScenarioDefinition& base, const SweepPlan& plan, double value);

// "14", "0.25", "-3": the value as a user reads it (shortest exact text of
// the single-precision field, whole days as integers).
std::string variantText(const SweepPlan& plan, double value);

}  // namespace verdanel
