#include "cli/sweep_command.hpp"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/command_line.hpp"
#include "cli/endpoints_command.hpp"
#include "cli/terminal_progress.hpp"
#include "cli/terminal_prompter.hpp"
#include "core/common/utf8_path.hpp"
#include "core/chemicals/chemical_table.hpp"
#include "core/common/number_text.hpp"
#include "core/engines/scenario_file.hpp"
#include "core/results/mass_balance_series.hpp"
#include "core/store/store_connection.hpp"
#include "core/sweep/sweep_csv.hpp"
#include "core/sweep/sweep_messages.hpp"
#include "core/sweep/sweep_run.hpp"
#include "core/sweep/sweep_summary.hpp"
#include "core/weather/weather_reader.hpp"
#ifdef VERDANEL_WITH_PLOT
#include "plot/sweep_chart_image.hpp"
#endif

namespace verdanel::cli {

namespace {

using json = nlohmann::ordered_json;

// A variant's value as JSON: whole days as integers, a parameter as the
// number its single-precision field holds, written shortest ("0.1").
json variantJson(const SweepPlan& plan, double value) {
    if (plan.shiftsDates()) return json(static_cast<long long>(value));
    return json(parseAtof(variantText(plan, value)));
}

json distributionJson(const SweepOutcome& sweep, const EndpointDistribution& d) {
    json out;
    out["min"] = d.distribution.minimum;
    out["median"] = d.distribution.median;
    out["p90"] = d.distribution.p90;
    out["max"] = d.distribution.maximum;
    out["max_variant"] = variantJson(sweep.plan, sweep.variants[d.maximumVariant].value);
    return out;
}

// The summary in the shape of the columns: each column's endpoints under its
// header, the means under "twa" by their days.
json summaryJson(const SweepOutcome& sweep, const std::vector<EndpointDistribution>& summary) {
    json out = json::object();
    for (const EndpointDistribution& d : summary) {
        json& column = out[valueColumnHeader(sweep.kind, d.key.valueIndex)];
        if (d.key.measure == EndpointMeasure::HighestMean)
            column["twa"][std::to_string(kAveragingDays[d.key.window])] = distributionJson(sweep, d);
        else
            column[endpointJsonName(d.key.measure)] = distributionJson(sweep, d);
    }
    return out;
}

json sweepJson(const SweepOutcome& sweep, const std::vector<const ResultColumn*>& columns,
               const std::vector<EndpointDistribution>& summary) {
    json out;
    out["parameter"] = sweep.plan.name();
    json variants = json::array();
    for (const VariantOutcome& v : sweep.variants) {
        json item;
        item["value"] = variantJson(sweep.plan, v.value);
        item["refused"] = v.status == VariantStatus::Refused ? json(v.message) : json(nullptr);
        item["columns"] = v.status == VariantStatus::Finished ? columnsJson(v.endpoints, columns) : json(nullptr);
        // Where the chemical went by the last hour: the applied mass (µg) and each entry's share of it.
        json balance(nullptr);
        if (v.finalBalance) {
            balance = json::object();
            balance[kMassBalanceEntries[kBalanceApplied].column] = v.finalBalance->applied;
            json shares;
            for (int band : kBalanceBands)
                shares[kMassBalanceEntries[static_cast<std::size_t>(band)].column] = balanceShare(*v.finalBalance, band);
            balance["shares"] = shares;
        }
        item["final_balance"] = balance;
        variants.push_back(item);
    }
    out["variants"] = variants;
    out["summary"] = summaryJson(sweep, summary);
    return out;
}

// Whether the variant's peak of every column with a threshold meets it: no
// row above it, compared as printed.
bool meetsAll(const VariantOutcome& v, const std::vector<std::optional<double>>& thresholds) {
    if (v.status != VariantStatus::Finished) return false;
    for (std::size_t k = 0; k < thresholds.size() && k < v.endpoints.size(); ++k)
        if (thresholds[k] && printedKey(v.endpoints[k].peak) > printedKey(*thresholds[k])) return false;
    return true;
}

std::string optionalE(const std::optional<double>& v) { return v ? formatE(*v) : std::string(msg::kNoValue); }

void printTable(std::ostream& out, const SweepOutcome& sweep, const std::vector<std::optional<double>>& thresholds) {
    const int water = resultValueCount(sweep.kind) - 1;
    const std::string waterHeader = valueColumnHeader(sweep.kind, water);
    constexpr std::size_t kVariant = 10, kValue = 15, kFlag = 16;
    out << padded(msg::kSweepVariantHeader, kVariant, false);
    for (const char* name : {"peak", "twa 1d", "twa 4d", "twa 21d"}) out << padded(waterHeader + " " + name, kValue, true);
    for (std::size_t k = 0; k < thresholds.size(); ++k) {
        if (!thresholds[k]) continue;
        const std::string header = valueColumnHeader(sweep.kind, static_cast<int>(k));
        out << padded(header + " min>", kFlag, true) << padded(header + " ok", kFlag, true);
    }
    out << '\n';
    for (const VariantOutcome& v : sweep.variants) {
        out << padded(variantText(sweep.plan, v.value), kVariant, false);
        if (v.status != VariantStatus::Finished) {
            out << "  " << variantStatusText(v.status);
            if (!v.message.empty()) out << ": " << v.message;
            out << '\n';
            continue;
        }
        const ColumnEndpoints& e = v.endpoints[static_cast<std::size_t>(water)];
        out << padded(formatE(e.peak), kValue, true) << padded(optionalE(e.highestMean[0]), kValue, true)
            << padded(optionalE(e.highestMean[2]), kValue, true) << padded(optionalE(e.highestMean[5]), kValue, true);
        for (std::size_t k = 0; k < thresholds.size(); ++k) {
            if (!thresholds[k] || k >= v.endpoints.size()) continue;
            const ColumnEndpoints& c = v.endpoints[k];
            const bool meets = printedKey(c.peak) <= printedKey(*thresholds[k]);
            out << padded(c.threshold ? std::to_string(c.threshold->minutesAbove) : std::string(msg::kNoValue), kFlag, true)
                << padded(meets ? msg::kSweepYes : msg::kSweepNo, kFlag, true);
        }
        out << '\n';
    }
}

// The distribution of Cwater's endpoints and of every column given a threshold.
void printSummary(std::ostream& out, const SweepOutcome& sweep, const std::vector<EndpointDistribution>& summary,
                  const std::vector<std::optional<double>>& thresholds) {
    const int water = resultValueCount(sweep.kind) - 1;
    constexpr std::size_t kName = 30, kValue = 15;
    out << '\n' << padded(msg::kSweepEndpointHeader, kName, false);
    for (const char* h : {msg::kSweepMinimumHeader, msg::kSweepMedianHeader, msg::kSweepP90Header,
                          msg::kSweepMaximumHeader, msg::kSweepMaximumVariantHeader})
        out << padded(h, kValue, true);
    out << '\n';
    for (const EndpointDistribution& d : summary) {
        const std::size_t k = static_cast<std::size_t>(d.key.valueIndex);
        if (d.key.valueIndex != water && !(k < thresholds.size() && thresholds[k])) continue;
        out << padded(valueColumnHeader(sweep.kind, d.key.valueIndex) + " " + endpointLabel(d.key), kName, false)
            << padded(endpointValueText(d.key.measure, d.distribution.minimum), kValue, true)
            << padded(endpointValueText(d.key.measure, d.distribution.median), kValue, true)
            << padded(endpointValueText(d.key.measure, d.distribution.p90), kValue, true)
            << padded(endpointValueText(d.key.measure, d.distribution.maximum), kValue, true)
            << padded(variantText(sweep.plan, sweep.variants[d.maximumVariant].value), kValue, true) << '\n';
    }
}

}  // namespace

int sweepCommand(const std::string& connectionText, const std::string& defaultInput, std::vector<std::string> arguments,
                 int (*usage)(const std::string& why)) {
    ArgReader args(std::move(arguments));
    std::vector<std::string> varies;
    while (auto v = args.value("--vary")) varies.push_back(*v);
    auto shift = args.value("--shift-days");
    std::vector<std::string> thresholdTexts;
    while (auto t = args.value("--threshold")) thresholdTexts.push_back(*t);
    auto jobsText = args.value("--jobs");
    auto out = args.value("--out");
    auto plot = args.value("--plot");
    const bool asJson = args.flag("--json");
    auto file = args.positional();
    if (auto left = args.leftover(); !left.empty()) return usage(left);
    if (!file) return usage("sweep needs a SCENARIO.json");
    if (varies.size() + (shift ? 1 : 0) != 1) return usage("sweep needs exactly one --vary or --shift-days");
    int jobs = 0;
    if (jobsText) {
        const auto [end, ec] = std::from_chars(jobsText->data(), jobsText->data() + jobsText->size(), jobs);
        if (ec != std::errc() || end != jobsText->data() + jobsText->size() || jobs < 1 || jobs > 256)
            return usage("--jobs must be a whole number from 1 to 256");
    }
#ifndef VERDANEL_WITH_PLOT
    if (plot) return usage("--plot needs a build with the windows (Qt)");
#endif
    const SweepPlanOutcome planned = shift ? shiftSweep(*shift) : parameterSweepAssignment(varies.front());
    if (!planned.plan) return usage(planned.error);

    ScenarioFile scenarioFile = readScenarioFile(*file, defaultInput);
    if (!scenarioFile.ok) {
        std::cerr << scenarioFile.error << '\n';
        return 1;
    }
    ScenarioDefinition scenario = scenarioFile.scenario;
    const std::vector<const ResultColumn*> columns = valueColumns(scenario.kind);
    std::vector<std::optional<double>> thresholds(columns.size());
    for (const std::string& text : thresholdTexts)
        if (std::string bad = takeThreshold(text, columns, thresholds); !bad.empty()) return usage(bad);

    TerminalPrompter prompter;
    if (!scenario.chemical[0].empty()) {
        StoreConnection connection;
        if (!openStore(connection, prompter, connectionText)) return 1;
        auto record = loadChemical(connection, prompter, scenario.chemical[0]);
        if (!record) return 1;
        scenario.chemical = *record;
    }
    // Read once, shared by every variant.
    WeatherSet weather;
    if (!readWeatherSet(weather, scenario.weather, prompter).opened) return 1;

    SweepOptions options;
    options.jobs = jobs;
    options.thresholds = thresholds;
    TerminalProgress progress;
    const auto started = std::chrono::steady_clock::now();
    const SweepOutcome sweep = runSweep(scenario, *planned.plan, weather, progress, options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    progress.finish(sweep.status == SweepStatus::Completed);
    if (sweep.status != SweepStatus::Completed) {
        std::cerr << msg::kSweepCancelled << '\n';
        return 1;
    }
    const std::vector<EndpointDistribution> summary = summarizeSweep(sweep);

    int status = 0;
    for (const VariantOutcome& v : sweep.variants) {
        if (v.status == VariantStatus::ModelFailed) {
            std::cerr << variantText(sweep.plan, v.value) << ": " << v.message << '\n';
            status = 1;
        }
    }
    if (out && !exportSweepCsv(pathFromUtf8(*out), sweep, scenario.name, prompter)) status = 1;
#ifdef VERDANEL_WITH_PLOT
    if (plot) {
        std::string error;
        if (!writeSweepChartPng(*plot, sweep, thresholds.back(), error)) {
            std::cerr << error << '\n';
            status = 1;
        }
    }
#endif

    if (asJson) {
        std::cout << sweepJson(sweep, columns, summary).dump() << '\n';
        return status;
    }
    char timing[96];
    std::snprintf(timing, sizeof timing, "%zu variants, %d jobs, %.3f s", sweep.variants.size(), sweep.jobs, seconds);
    std::string varied = sweep.plan.label();
    if (!sweep.plan.unit().empty() && !sweep.plan.shiftsDates()) varied += ", " + sweep.plan.unit();
    std::cout << "scenario: " << scenario.name << " (" << modelTypeText(scenario.kind) << "), " << sweep.plan.name()
              << " (" << varied << "): " << timing << "\n\n";
    printTable(std::cout, sweep, thresholds);
    printSummary(std::cout, sweep, summary, thresholds);
    const bool anyThreshold = std::any_of(thresholds.begin(), thresholds.end(), [](auto& t) { return t.has_value(); });
    if (anyThreshold) {
        std::string meeting;
        for (const VariantOutcome& v : sweep.variants)
            if (meetsAll(v, thresholds)) {
                if (!meeting.empty()) meeting += ", ";
                meeting += variantText(sweep.plan, v.value);
            }
        std::cout << '\n' << "variants meeting every threshold: " << (meeting.empty() ? msg::kSweepMeetingAllNone : meeting)
                  << '\n';
    }
    return status;
}

}  // namespace verdanel::cli
