#include "core/engines/scenario_run.hpp"

#include <array>
#include <cmath>
#include <cstdio>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_rules.hpp"
#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/engines/ditch_fate.hpp"
#include "core/engines/engine_driver.hpp"
#include "core/engines/stream_fate.hpp"
#include "core/results/result_buffer.hpp"
#include "core/results/result_columns.hpp"
#include "core/store/statements.hpp"
#include "core/store/store_accessor.hpp"
#include "core/store/store_connection.hpp"
#include "core/store/store_statement.hpp"
#include "core/store/store_transaction.hpp"
#include "core/weather/weather_reader.hpp"

namespace verdanel {

namespace {

std::string positive(const char* field) { return fillMessage(msg::kMustBePositiveFormat, field); }
std::string notNegative(const char* field) { return fillMessage(msg::kMustNotBeNegativeFormat, field); }

// Names the chemical and its first required property that is empty or not a number.
std::string notUsable(const ChemicalRecord& chemical) {
    std::string label;
    for (int column : chem_col::kRequired) {
        const std::string& text = chemical[static_cast<std::size_t>(column)];
        if (text.empty() || !numberCheck(text).passes) {
            label = msg::kPropertyLabels[column - 1];
            break;
        }
    }
    return fillMessage(fillMessage(msg::kChemicalNotUsableFormat, chemical[chem_col::kName]), label);
}

// Binds each output row to one prepared insert inside the run's transaction.
// A row holding a value that is not a finite number stops the run: such a
// value would be stored as NULL and every summary read from it is void.
class StoreRowSink final : public OutputRowSink {
public:
    StoreRowSink(StoreConnection& connection, const char* insertSql, const std::string& name, int valueCount,
                 ResultBuffer* keep)
        : insert_(connection, insertSql), name_(name), valueCount_(valueCount), keep_(keep) {
        for (int i = 0; i < 60; ++i) std::snprintf(twoDigits_[i].data(), 3, "%02d", i);
    }
    bool valid() const { return insert_.valid(); }
    const std::string& error() const { return insert_.error(); }
    std::int64_t rows() const { return rows_; }
    const NotFiniteValue& notFinite() const { return notFinite_; }

    bool row(int month, int day, int hour, int minute, const double* values) override {
        // A few compares per row; the insert below costs a hundred times more.
        if (const int bad = firstNotFinite(values, valueCount_); bad >= 0) {
            notFinite_ = {bad, rows_};
            return false;
        }
        insert_.bindStaticText(1, name_);
        insert_.bindStaticText(2, std::string_view(twoDigits_[month].data(), 2));
        insert_.bindStaticText(3, std::string_view(twoDigits_[day].data(), 2));
        insert_.bindStaticText(4, std::string_view(twoDigits_[hour].data(), 2));
        insert_.bindStaticText(5, std::string_view(twoDigits_[minute].data(), 2));
        for (int i = 0; i < valueCount_; ++i) insert_.bindDouble(6 + i, values[i]);
        if (!insert_.run()) return false;
        ++rows_;
        if (keep_) {
            ResultRow& r = keep_->rows.emplace_back();
            r.month = month;
            r.day = day;
            r.hour = hour;
            r.minute = minute;
            std::copy(values, values + valueCount_, r.values.begin());
        }
        return true;
    }

private:
    StoreStatement insert_;
    std::string name_;
    int valueCount_;
    ResultBuffer* keep_;
    std::int64_t rows_ = 0;
    NotFiniteValue notFinite_;
    std::array<std::array<char, 3>, 60> twoDigits_{};
};

template <class Fate>
DriveResult driveModel(const ScenarioDefinition& scenario, const SimulationPeriod& period, const WeatherSet& weather,
                       OutputRowSink& sink, ProgressSink& progress, bool plainSteps) {
    ScenarioParameters parameters = scenario.parameters;
    Fate fate(parameters, chemicalPropertiesOf(scenario.chemical));
    SpraySchedule schedule(scenario.sprayDates, fate.sprayDuration());
    return drivePeriod(fate, period, schedule, weather, sink, progress, plainSteps);
}

}  // namespace

int firstNotFinite(const double* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return i;
    return -1;
}

std::string notFiniteMessage(ModelKind kind, const SimulationPeriod& period, const NotFiniteValue& at) {
    const auto& series = resultSeries(kind);
    const std::string name = static_cast<std::size_t>(at.valueIndex) < series.size()
                                 ? series[static_cast<std::size_t>(at.valueIndex)].name
                                 : std::to_string(at.valueIndex);
    const CivilTime when = fromCivilSeconds(toCivilSeconds(period.firstSecond) + at.row * 60);
    return fillMessage(fillMessage(msg::kNotFiniteResultFormat, name), formatSprayDate(when));
}

DriveResult driveScenario(const ScenarioDefinition& scenario, const SimulationPeriod& period, const WeatherSet& weather,
                          OutputRowSink& sink, ProgressSink& progress, bool plainSteps) {
    return scenario.kind == ModelKind::Stream
               ? driveModel<StreamFate>(scenario, period, weather, sink, progress, plainSteps)
               : driveModel<DitchFate>(scenario, period, weather, sink, progress, plainSteps);
}

PreparedRun prepareRun(const ScenarioDefinition& input) {
    PreparedRun prepared;
    prepared.scenario = input;
    // A pond does not flow, whatever the velocity field holds.
    fixParameters(prepared.scenario.kind, prepared.scenario.parameters);
    if (prepared.scenario.sprayDates.empty()) {
        prepared.refusal = msg::kNoSprayDates;
        return prepared;
    }
    prepared.period = simulationPeriod(prepared.scenario.sprayDates);
    if (toCivilSeconds(prepared.period.start) > toCivilSeconds(prepared.period.end))
        prepared.refusal = msg::kStartAfterEnd;
    else
        prepared.refusal = refusalFor(prepared.scenario);
    return prepared;
}

std::string refusalFor(const ScenarioDefinition& s) {
    const ScenarioParameters& p = s.parameters;
    if (s.chemical[chem_col::kName].empty()) return msg::kNoChemicalChosen;
    // The windows offer only usable chemicals; no other caller may run one either.
    if (!isUsable(s.chemical)) return notUsable(s.chemical);
    for (const ScenarioParameter& entry : kScenarioParameters) {
        if (!std::isfinite(parameterValue(p, entry))) return fillMessage(msg::kNotFiniteFormat, entry.label);
    }
    // Each range in turn, so that of several faults the same one is named first.
    auto firstOutside = [&](ParameterRange range, auto&& inside) -> const ScenarioParameter* {
        for (const ScenarioParameter& entry : kScenarioParameters)
            if (entry.range == range && !inside(parameterValue(p, entry))) return &entry;
        return nullptr;
    };
    if (auto* e = firstOutside(ParameterRange::Positive, [](float v) { return v > 0; })) return positive(e->label);
    if (auto* e = firstOutside(ParameterRange::NotNegative, [](float v) { return !(v < 0); }))
        return notNegative(e->label);
    if (auto* e = firstOutside(ParameterRange::Fraction, [](float v) { return v > 0 && v <= 1; }))
        return fillMessage(msg::kFractionRangeFormat, e->label);
    if (s.kind == ModelKind::Stream) {
        if (auto* e = firstOutside(ParameterRange::StreamPositive, [](float v) { return v > 0; }))
            return positive(e->label);
        if (!(p.bankWidth > p.sprayWidth)) return msg::kStreamBankNotWider;
    } else if (!(p.bankWidth > p.waterWidth)) {
        return msg::kDitchBankNotWider;
    }
    const ChemicalProperties c = chemicalPropertiesOf(s.chemical);
    const std::pair<double, const char*> chemical[] = {
        {c.halfLifeAir, msg::kPropertyHalfLifeAir},
        {c.halfLifeWater, msg::kPropertyHalfLifeWater},
        {c.halfLifeSoil, msg::kPropertyHalfLifeSoil},
        {c.henryConstant, msg::kPropertyHenry},
    };
    for (const auto& [value, field] : chemical) {
        if (!(value > 0) || !std::isfinite(value)) return fillMessage(msg::kChemicalPropertyFormat, field);
    }
    if (!std::isfinite(c.logKow) || !std::isfinite(c.diffusivityAir) || !std::isfinite(c.diffusivityWater))
        return fillMessage(msg::kNotFiniteFormat, "화학 물질 특성");
    return std::string();
}

RunOutcome runScenario(StoreConnection& connection, Prompter& prompter, ProgressSink& progress,
                       const ScenarioDefinition& input, WeatherSet& weather, const RunOptions& options) {
    RunOutcome outcome;
    progress.progress(0);
    PreparedRun prepared = prepareRun(input);
    const ScenarioDefinition& scenario = prepared.scenario;
    outcome.period = prepared.period;
    const char* caption = msg::kProgramTitle;
    auto refuse = [&](RunStatus status, const std::string& text, const char* withCaption) {
        outcome.status = status;
        outcome.message = text;
        if (!text.empty()) prompter.inform(text, withCaption, status == RunStatus::Cancelled ? PromptIcon::Information : PromptIcon::Warning);
        return outcome;
    };

    if (!prepared.refusal.empty()) return refuse(RunStatus::Refused, prepared.refusal, caption);

    const char* modelType = modelTypeText(scenario.kind);
    const sql::ModelStatements statements = sql::statementsFor(scenario.kind);
    bool replacing = false;
    {
        StoreAccessor accessor(connection, prompter);
        const QueryResult earlier = accessor.query(sql::kScenarioExists, {scenario.name, std::string(modelType)});
        // A look-up the store refused (the accessor has shown why) is no
        // "not found": the run would add a second copy of the scenario.
        if (earlier.failed()) {
            outcome.status = RunStatus::StoreFailed;
            outcome.message = fillMessage(msg::kStoreErrorFormat, accessor.lastError());
            return outcome;
        }
        if (earlier.any()) {
            if (!options.replaceWithoutAsking && !prompter.confirm(msg::kReplaceQuestion, msg::kReplaceCaption))
                return refuse(RunStatus::Cancelled, msg::kRunCancelled, caption);
            replacing = true;
        }
    }

    // The weather is read before anything in the store changes.
    WeatherReadOutcome read = readWeatherSet(weather, scenario.weather, prompter);
    if (!read.opened) {
        outcome.status = RunStatus::WeatherUnreadable;
        outcome.message = read.error;
        return outcome;
    }

    auto storeFailure = [&](const std::string& description) {
        return refuse(RunStatus::StoreFailed, fillMessage(msg::kStoreErrorFormat, description), caption);
    };
    StoreTransaction transaction(connection);
    if (!transaction.begin()) return storeFailure(transaction.error());
    if (replacing) {
        for (const char* remove : {statements.deleteMassBalance, statements.deleteOutput}) {
            StoreStatement st(connection, remove);
            st.bindText(1, scenario.name);
            if (!st.run()) return storeFailure(st.error());
        }
        StoreStatement st(connection, sql::kDeleteScenarioForRun);
        st.bindAll({scenario.name, std::string(modelType)});
        if (!st.run()) return storeFailure(st.error());
    }
    {
        std::vector<StoreValue> row{scenario.name, std::string(modelType), scenario.chemical[chem_col::kName]};
        for (const ScenarioParameter& entry : kScenarioParameters)
            row.emplace_back(static_cast<double>(parameterValue(scenario.parameters, entry)));
        row.emplace_back(formatDate(outcome.period.start));
        row.emplace_back(formatDate(outcome.period.end));
        StoreStatement st(connection, sql::insertScenario());
        st.bindAll(row);
        if (!st.run()) return storeFailure(st.error());
    }

    const bool stream = scenario.kind == ModelKind::Stream;
    StoreRowSink sink(connection, statements.insertOutput, scenario.name,
                      stream ? StreamFate::kOutputCount : DitchFate::kOutputCount, options.keepRows);
    if (options.keepRows) {
        *options.keepRows = ResultBuffer(scenario.kind);
        options.keepRows->rows.reserve(static_cast<std::size_t>(outcome.period.rows()));
    }
    if (!sink.valid()) return storeFailure(sink.error());
    DriveResult result = driveScenario(scenario, outcome.period, weather, sink, progress, options.plainSteps);
    if (result != DriveResult::Finished && options.keepRows) options.keepRows->rows.clear();
    if (result == DriveResult::Abandoned) {
        transaction.rollback();
        outcome.status = RunStatus::Abandoned;
        outcome.message = msg::kRunAbandoned;
        return outcome;
    }
    if (result == DriveResult::SinkFailed && sink.notFinite().found()) {
        transaction.rollback();
        return refuse(RunStatus::ModelFailed, notFiniteMessage(scenario.kind, outcome.period, sink.notFinite()),
                      caption);
    }
    if (result == DriveResult::SinkFailed) return storeFailure(sink.error());
    if (!transaction.commit()) return storeFailure(transaction.error());

    outcome.status = RunStatus::Completed;
    outcome.rows = sink.rows();
    if (options.announceCompletion)
        prompter.inform(fillMessage(msg::kRunCompleteFormat, scenario.name), caption, PromptIcon::Information);
    return outcome;
}

}  // namespace verdanel
