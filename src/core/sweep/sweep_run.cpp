#include "core/sweep/sweep_run.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/common/prompter.hpp"
#include "core/engines/scenario_run.hpp"
#include "core/results/result_buffer.hpp"

namespace verdanel {

namespace {

// Room for a variant's values that a thread keeps from one variant to the
// next. Not cleared when made: the sink writes every value before it is read.
struct ColumnRoom {
    std::unique_ptr<double[]> values;
    std::size_t size = 0;
    double* atLeast(std::size_t n) {
        if (n > size) {
            values.reset(new double[n]);
            size = n;
        }
        return values.get();
    }
};

// Keeps a variant's values in memory instead of the store, column after
// column as its endpoints read them, and stops at the first value that is
// not a finite number, as a stored run does.
class VariantRowSink final : public OutputRowSink {
public:
    VariantRowSink(ColumnRoom& room, ModelKind kind, std::size_t rows)
        : valueCount_(resultValueCount(kind)), capacity_(rows),
          columns_(room.atLeast(capacity_ * static_cast<std::size_t>(valueCount_))) {}
    const double* columns() const { return columns_; }
    const NotFiniteValue& notFinite() const { return notFinite_; }
    std::size_t rows() const { return rows_; }

    bool row(int, int, int, int, const double* values) override {
        if (const int bad = firstNotFinite(values, valueCount_); bad >= 0) {
            notFinite_.valueIndex = bad;
            notFinite_.row = static_cast<std::int64_t>(rows_);
            return false;
        }
        if (rows_ == capacity_) return false;  // more minutes than the period has: never
        double* to = columns_ + rows_;
        for (int k = 0; k < valueCount_; ++k) to[static_cast<std::size_t>(k) * capacity_] = values[k];
        ++rows_;
        return true;
    }

    bool balance(int, int, int, const MassBalanceRow& balance) override {
        if (const char* bad = firstNotFiniteEntry(balance)) {
            notFinite_.balanceColumn = bad;
            notFinite_.row = static_cast<std::int64_t>(rows_) - 1;
            return false;
        }
        last_ = balance;
        return true;
    }
    const std::optional<MassBalanceRow>& lastBalance() const { return last_; }

private:
    int valueCount_;
    std::size_t capacity_;
    double* columns_;
    std::size_t rows_ = 0;
    NotFiniteValue notFinite_;
    std::optional<MassBalanceRow> last_;
};

// What the threads of one sweep share.
struct SweepState {
    explicit SweepState(std::size_t variants) : percent(variants) {}
    std::atomic<bool> cancel{false};
    std::vector<std::atomic<int>> percent;  // each variant's progress, 0..100
    std::atomic<std::size_t> next{0};       // the next variant a thread takes
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;  // threads still at work (under mutex)
};

// One variant's progress into the shared state; the sweep's cancel flag is
// what the engine asks once per simulated hour.
class VariantProgress final : public ProgressSink {
public:
    VariantProgress(std::atomic<int>& percent, const std::atomic<bool>& cancel) : percent_(percent), cancel_(cancel) {}
    void progress(int percent) override { percent_.store(percent, std::memory_order_relaxed); }
    bool abandoned() override { return cancel_.load(std::memory_order_relaxed); }

private:
    std::atomic<int>& percent_;
    const std::atomic<bool>& cancel_;
};

void runVariant(const PreparedRun& prepared, const WeatherSet& weather, const SweepOptions& options,
                ColumnRoom& room, VariantProgress& progress, VariantOutcome& out) {
    const auto periodRows = static_cast<std::size_t>(prepared.period.rows());
    VariantRowSink sink(room, prepared.scenario.kind, periodRows);
    const DriveResult result =
        driveScenario(prepared.scenario, prepared.period, weather, sink, progress, options.plainSteps);
    out.rows = static_cast<std::int64_t>(sink.rows());
    if (result == DriveResult::Abandoned) {
        out.status = VariantStatus::Cancelled;
        return;
    }
    if (result == DriveResult::SinkFailed) {
        out.status = VariantStatus::ModelFailed;
        out.message = notFiniteMessage(prepared.scenario.kind, prepared.period, sink.notFinite());
        return;
    }
    // The period's minutes, one after the other, as a search of the stored run gives them.
    out.endpoints = allEndpoints(MinuteSeries{prepared.scenario.kind, prepared.period.firstSecond, periodRows,
                                              sink.columns()},
                                 options.thresholds);
    out.finalBalance = sink.lastBalance();
    out.status = VariantStatus::Finished;
}

}  // namespace

int sweepJobs(int requested) {
    if (requested > 0) return requested;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

SweepOutcome runSweep(const ScenarioDefinition& scenario, const SweepPlan& plan, const WeatherSet& weather,
                      ProgressSink& progress, const SweepOptions& options) {
    SweepOutcome outcome;
    outcome.kind = scenario.kind;
    outcome.plan = plan;
    const std::size_t n = plan.values.size();
    outcome.variants.resize(n);
    progress.progress(0);

    // Every variant is checked first, as a stored run would check it; a
    // refused one is done at once.
    SweepState state(n);
    std::vector<PreparedRun> prepared(n);
    for (std::size_t i = 0; i < n; ++i) {
        VariantOutcome& v = outcome.variants[i];
        v.value = plan.values[i];
        prepared[i] = prepareRun(variantScenario(scenario, plan, plan.values[i]));
        v.period = prepared[i].period;
        if (!prepared[i].refusal.empty()) {
            v.status = VariantStatus::Refused;
            v.message = prepared[i].refusal;
            state.percent[i] = 100;
        }
    }

    const int jobs = std::max(1, std::min(sweepJobs(options.jobs), static_cast<int>(std::max<std::size_t>(n, 1))));
    outcome.jobs = jobs;
    state.running = jobs;
    auto work = [&] {
        ColumnRoom room;
        for (;;) {
            const std::size_t i = state.next.fetch_add(1);
            if (i >= n || state.cancel.load()) break;
            if (!prepared[i].refusal.empty()) continue;
            VariantProgress variantProgress(state.percent[i], state.cancel);
            runVariant(prepared[i], weather, options, room, variantProgress, outcome.variants[i]);
            state.percent[i] = 100;
        }
        std::lock_guard lock(state.mutex);
        --state.running;
        state.changed.notify_all();
    };
    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(jobs));
    for (int t = 0; t < jobs; ++t) pool.emplace_back(work);

    // The caller's sink is only ever called here, on the calling thread.
    int shown = 0;
    for (bool finished = false; !finished;) {
        {
            std::unique_lock lock(state.mutex);
            finished = state.changed.wait_for(lock, std::chrono::milliseconds(20), [&] { return state.running == 0; });
        }
        long long sum = 0;
        for (const std::atomic<int>& p : state.percent) sum += p.load(std::memory_order_relaxed);
        const int percent = n ? static_cast<int>(sum / static_cast<long long>(n)) : 100;
        if (percent != shown) progress.progress(shown = percent);
        if (!finished && progress.abandoned()) state.cancel = true;
    }
    for (std::thread& t : pool) t.join();
    outcome.status = state.cancel ? SweepStatus::Cancelled : SweepStatus::Completed;
    return outcome;
}

}  // namespace verdanel
