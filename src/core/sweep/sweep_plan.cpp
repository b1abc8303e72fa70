#include "core/sweep/sweep_plan.hpp"

#include <charconv>
#include <cmath>

#include "core/common/number_text.hpp"
#include "core/common/text_format.hpp"
#include "core/sweep/sweep_messages.hpp"

namespace verdanel {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The whole text as one finite number, or none.
std::optional<double> number(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

SweepPlanOutcome failed(std::string why) { return SweepPlanOutcome{std::nullopt, std::move(why)}; }

// The values of a range or a list; `whole` asks for whole numbers.
SweepPlanOutcome valuesOf(std::string_view text, bool whole, SweepPlan plan) {
    std::vector<double>& values = plan.values;
    const std::vector<std::string_view> range = split(text, ':');
    const std::vector<std::string_view> parts = range.size() == 3 ? range : split(text, ',');
    if (range.size() != 3 && range.size() != 1) return failed(fillMessage(msg::kSweepNotANumberFormat, std::string(text)));
    std::vector<double> numbers;
    for (std::string_view part : parts) {
        if (trimmed(part).empty() && parts.size() > 1 && range.size() != 3) continue;  // "1,2," is "1,2"
        const std::optional<double> v = number(part);
        if (!v) return failed(fillMessage(msg::kSweepNotANumberFormat, std::string(trimmed(part))));
        if (whole && *v != std::floor(*v)) return failed(msg::kSweepShiftNotWhole);
        numbers.push_back(*v);
    }
    if (numbers.empty()) return failed(msg::kSweepNoValues);
    if (range.size() == 3) {
        const double from = numbers[0], to = numbers[1], step = numbers[2];
        if (!(step > 0)) return failed(msg::kSweepStepNotPositive);
        if (to < from) return failed(msg::kSweepToBeforeFrom);
        const double count = std::floor((to - from) / step + 1e-6) + 1;
        if (count > static_cast<double>(kMaxSweepVariants))
            return failed(fillMessage(msg::kSweepTooManyFormat, {std::to_string(static_cast<long long>(count)), std::to_string(kMaxSweepVariants)}));
        // Each value from the start, so that steps do not add up rounding.
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
            values.push_back(from + static_cast<double>(i) * step);
    } else {
        if (numbers.size() > kMaxSweepVariants)
            return failed(fillMessage(msg::kSweepTooManyFormat,
                                      {std::to_string(numbers.size()), std::to_string(kMaxSweepVariants)}));
        values = numbers;
    }
    // A parameter is a single-precision field: the variant is the value it holds.
    if (!plan.shiftsDates())
        for (double& v : values) v = static_cast<double>(static_cast<float>(v));
    return SweepPlanOutcome{std::move(plan), {}};
}

}  // namespace

std::string SweepPlan::name() const { return parameter ? parameter->name : kShiftDaysName; }
std::string SweepPlan::label() const { return parameter ? parameter->label : msg::kShiftDaysLabel; }
std::string SweepPlan::unit() const { return parameter ? parameter->unit : msg::kShiftDaysUnit; }
std::string SweepPlan::title() const {
    if (shiftsDates() || unit().empty()) return label();
    return label() + " (" + unit() + ")";
}

SweepPlanOutcome parameterSweep(std::string_view parameterName, std::string_view values) {
    SweepPlan plan;
    plan.parameter = scenarioParameterNamed(trimmed(parameterName));
    if (!plan.parameter) return failed(fillMessage(msg::kSweepUnknownParameterFormat, std::string(parameterName)));
    return valuesOf(values, false, plan);
}

SweepPlanOutcome shiftSweep(std::string_view days) { return valuesOf(days, true, SweepPlan{}); }

SweepPlanOutcome parameterSweepAssignment(std::string_view assignment) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string_view::npos)
        return failed(fillMessage(msg::kSweepUnknownParameterFormat, std::string(assignment)));
    return parameterSweep(assignment.substr(0, eq), assignment.substr(eq + 1));
}

ScenarioDefinition variantScenario(const ScenarioDefinition& base, const SweepPlan& plan, double value) {
    ScenarioDefinition s = base;
    if (plan.parameter) {
        parameterValue(s.parameters, *plan.parameter) = static_cast<float>(value);
    } else {
        const int days = static_cast<int>(value);
        for (CivilTime& date : s.sprayDates) date = addDays(date, days);
    }
    return s;
}

std::string variantText(const SweepPlan& plan, double value) {
    if (plan.shiftsDates()) return std::to_string(static_cast<long long>(value));
    // The shortest text that reads back to the same single-precision value ("0.1", not "0.100000001").
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<float>(value)).ptr;
    return std::string(text, end);
}

}  // namespace verdanel
