#include "core/engines/scenario_run.hpp"

#include <array>
#include <bit>
#include <cstdint>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>
#include <cmath>
#include <cstdio>

#include "core/chemicals/chemical_messages.hpp"
#include "core/chemicals/chemical_rules.hpp"
#include "core/common/mass_balance.hpp"
#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/engines/ditch_fate.hpp"
#include "core/engines/engine_driver.hpp"
#include "core/engines/stream_fate.hpp"
#include "core/results/result_buffer.hpp"
#include "core/results/result_columns.hpp"
#include "core/results/result_summary.hpp"
#include "core/store/batch_insert.hpp"
#include "core/store/output_rows.hpp"
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

// A mass-balance row as the sink keeps it until its block is written.
struct BalanceRecord {
    int month = 0, day = 0, hour = 0;
    MassBalanceRow balance;
};

// Two-digit texts "00" to "59" for the time columns, bound without a copy.
const std::array<std::array<char, 3>, 60>& twoDigitTexts() {
    static const std::array<std::array<char, 3>, 60> texts = [] {
        std::array<std::array<char, 3>, 60> t{};
        for (int i = 0; i < 60; ++i) std::snprintf(t[static_cast<std::size_t>(i)].data(), 3, "%02d", i);
        return t;
    }();
    return texts;
}

void bindTime(StoreStatement& st, int first, const std::string& name, int month, int day, int hour, int minute) {
    const auto& two = twoDigitTexts();
    auto text = [&](int v) { return std::string_view(two[static_cast<std::size_t>(v)].data(), 2); };
    st.bindStaticText(first, name);
    st.bindStaticText(first + 1, text(month));
    st.bindStaticText(first + 2, text(day));
    st.bindStaticText(first + 3, text(hour));
    st.bindStaticText(first + 4, text(minute));
}

constexpr int kTimeColumns = 5;  // name, month, day, hour, minute

// Rows travel from the model to the store in batches of this many minutes.
constexpr std::size_t kMinutesPerBatch = 4096;
// Batches waiting for the store at most: the model runs ahead by this much.
constexpr std::size_t kBatchesAhead = 4;

// What one batch carries to the store: its minutes' output rows and the
// mass-balance rows of its hours.
struct RowBatch {
    std::vector<ResultRow> output;
    std::vector<BalanceRecord> balance;
};

// Sends the output rows and the mass-balance rows of a run to their tables
// inside the run's transaction, in blocks of many rows per statement. A row
// holding a value that is not a finite number stops the run: such a value
// would be stored as NULL and every summary read from it is void.
//
// The store's work runs on a thread of its own while the model computes the
// next rows: the two take about as long as each other, so a run costs little
// more than its writing. The connection is used by the writing thread alone
// from the first row until finish() or stop() has joined it; the run's
// transaction is begun before and committed or rolled back after.
class StoreRowSink final : public OutputRowSink {
public:
    StoreRowSink(StoreConnection& connection, ModelKind kind, const std::string& name, int valueCount,
                 SummaryAccumulator* summary)
        : name_(name),
          valueCount_(valueCount),
          summary_(summary),
          output_(connection, sql::statementsFor(kind).insertOutput, kTimeColumns + valueCount,
                  [this](StoreStatement& st, int first, const ResultRow& r) {
                      bindTime(st, first, name_, r.month, r.day, r.hour, r.minute);
                      for (int i = 0; i < valueCount_; ++i)
                          st.bindDouble(first + kTimeColumns + i, r.values[static_cast<std::size_t>(i)]);
                  }),
          balance_(connection, sql::insertMassBalance(kind), kTimeColumns + kBalanceEntryCount,
                   [this](StoreStatement& st, int first, const BalanceRecord& r) {
                       bindTime(st, first, name_, r.month, r.day, r.hour, 0);
                       for (int i = 0; i < kBalanceEntryCount; ++i)
                           st.bindDouble(first + kTimeColumns + i,
                                         r.balance.*kMassBalanceEntries[static_cast<std::size_t>(i)].value);
                   }) {
        filling_.output.reserve(kMinutesPerBatch);
        if (valid()) writer_ = std::thread([this] { writeBatches(); });
    }
    ~StoreRowSink() override { stop(); }
    StoreRowSink(const StoreRowSink&) = delete;
    StoreRowSink& operator=(const StoreRowSink&) = delete;

    bool valid() const { return output_.valid() && balance_.valid(); }
    // Read after finish() or stop().
    const std::string& error() const { return output_.error().empty() ? balance_.error() : output_.error(); }
    std::int64_t rows() const { return rows_; }
    const NotFiniteValue& notFinite() const { return notFinite_; }

    bool row(int month, int day, int hour, int minute, const double* values) override {
        // A few compares per row; the insert below costs a hundred times more.
        if (const int bad = firstNotFinite(values, valueCount_); bad >= 0) {
            notFinite_.valueIndex = bad;
            notFinite_.row = rows_;
            return false;
        }
        filling_.output.push_back(makeResultRow(month, day, hour, minute, values, valueCount_));
        ++rows_;
        if (summary_) summary_->add(month, day, hour, minute, values);
        return filling_.output.size() < kMinutesPerBatch || handOver();
    }

    bool balance(int month, int day, int hour, const MassBalanceRow& balance) override {
        if (const char* bad = firstNotFiniteEntry(balance)) {
            notFinite_.balanceColumn = bad;
            notFinite_.row = rows_ - 1;  // the minute of the output row just handed over
            return false;
        }
        filling_.balance.push_back({month, day, hour, balance});
        return true;
    }

    // The rows still kept go to the store; true when every row is there.
    bool finish() {
        bool ok = handOver();
        stop();
        return ok && !failed_ && output_.finish() && balance_.finish();
    }

    // Ends the writing thread (after the batches handed over so far).
    void stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
        if (writer_.joinable()) writer_.join();
    }

private:
    bool handOver() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return waiting_.size() < kBatchesAhead || failed_; });
        if (failed_) return false;
        if (filling_.output.empty() && filling_.balance.empty()) return true;
        waiting_.push_back(std::move(filling_));
        if (!spare_.empty()) {
            filling_ = std::move(spare_.back());
            spare_.pop_back();
        } else {
            filling_ = RowBatch{};
            filling_.output.reserve(kMinutesPerBatch);
        }
        lock.unlock();
        changed_.notify_all();
        return true;
    }

    // The writing thread: every batch in turn, until the sink closes.
    void writeBatches() {
        for (;;) {
            RowBatch batch;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return !waiting_.empty() || closed_; });
                if (waiting_.empty()) return;
                batch = std::move(waiting_.front());
                waiting_.pop_front();
            }
            changed_.notify_all();
            const bool ok = output_.add(batch.output.data(), batch.output.size()) &&
                            balance_.add(batch.balance.data(), batch.balance.size());
            batch.output.clear();
            batch.balance.clear();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                spare_.push_back(std::move(batch));
                if (!ok) failed_ = true;
            }
            changed_.notify_all();
            if (!ok) return;
        }
    }

    std::string name_;
    int valueCount_;
    SummaryAccumulator* summary_;
    BatchInsert<ResultRow> output_;
    BatchInsert<BalanceRecord> balance_;
    std::int64_t rows_ = 0;
    NotFiniteValue notFinite_;

    RowBatch filling_;  // the model's side
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<RowBatch> waiting_;
    std::vector<RowBatch> spare_;
    bool closed_ = false;
    bool failed_ = false;
    std::thread writer_;
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

const char* firstNotFiniteEntry(const MassBalanceRow& balance) {
    for (const MassBalanceEntry& e : kMassBalanceEntries)
        if (!std::isfinite(balance.*e.value)) return e.column;
    return nullptr;
}

int firstNotFinite(const double* values, int count) {
    // Every row of every run passes here: first one test of the exponent
    // bits of all values together (no branch per value), then the search.
    constexpr std::uint64_t kExponent = 0x7ff0000000000000u;
    bool any = false;
    for (int i = 0; i < count; ++i) any |= (std::bit_cast<std::uint64_t>(values[i]) & kExponent) == kExponent;
    if (!any) return -1;
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return i;
    return -1;
}

std::string notFiniteMessage(ModelKind kind, const SimulationPeriod& period, const NotFiniteValue& at) {
    const auto& series = resultSeries(kind);
    const std::string name = at.balanceColumn != nullptr ? std::string(at.balanceColumn)
                             : static_cast<std::size_t>(at.valueIndex) < series.size()
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
        StoreStatement balance(connection, statements.deleteMassBalance);
        balance.bindText(1, scenario.name);
        if (!balance.run()) return storeFailure(balance.error());
        std::string error;
        if (!deleteOutputRows(connection, scenario.kind, scenario.name, error)) return storeFailure(error);
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
    // Where the run's rows will lie: after every row there is, one after the other.
    std::string rowError;
    const std::optional<std::int64_t> firstRow = nextOutputRow(connection, scenario.kind, rowError);
    if (!firstRow) return storeFailure(rowError);
    std::optional<SummaryAccumulator> summary;
    if (options.summary) summary.emplace(scenario.kind, outcome.period.start.year);
    StoreRowSink sink(connection, scenario.kind, scenario.name,
                      stream ? StreamFate::kOutputCount : DitchFate::kOutputCount, summary ? &*summary : nullptr);
    if (!sink.valid()) return storeFailure(sink.error());
    DriveResult result = driveScenario(scenario, outcome.period, weather, sink, progress, options.plainSteps);
    // The store is the run's own again before anything is rolled back.
    if (result != DriveResult::Finished) sink.stop();
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
    if (result == DriveResult::SinkFailed || !sink.finish()) return storeFailure(sink.error());
    if (!recordOutputRows(connection, scenario.kind, scenario.name, {*firstRow, *firstRow + sink.rows() - 1},
                          rowError))
        return storeFailure(rowError);
    if (!transaction.commit()) return storeFailure(transaction.error());

    outcome.status = RunStatus::Completed;
    outcome.rows = sink.rows();
    if (options.summary) *options.summary = summary->summary();
    if (options.announceCompletion)
        prompter.inform(fillMessage(msg::kRunCompleteFormat, scenario.name), caption, PromptIcon::Information);
    return outcome;
}

}  // namespace verdanel
