#pragma once
// Steps a fate model through a period, one simulated second at a time, and
// hands over one output row per simulated minute (after the step at second 0)
// and, from a model that keeps a mass balance, one mass-balance row per
// simulated hour (at minute 0, right after that minute's output row).
#include <algorithm>
#include <array>
#include <cstdint>

#include "core/common/mass_balance.hpp"
#include "core/common/prompter.hpp"
#include "core/engines/fate_model.hpp"
#include "core/engines/simulation_period.hpp"
#include "core/weather/weather_set.hpp"

namespace verdanel {

class OutputRowSink {
public:
    virtual ~OutputRowSink() = default;
    // month, day, hour, minute of the row; values in storage order.
    virtual bool row(int month, int day, int hour, int minute, const double* values) = 0;
    // The mass balance at minute 0 of every simulated hour, after that
    // minute's row: what the compartments hold and the totals since the
    // start of the run (closure filled in). The last one of a run is its
    // final balance. False stops the run as row() does; a sink that does not
    // keep balances takes them as they come.
    virtual bool balance(int month, int day, int hour, const MassBalanceRow& balance) {
        (void)month, (void)day, (void)hour, (void)balance;
        return true;
    }
};

// A model that keeps a mass balance.
template <class T>
concept BalancedModel = requires(const T model) {
    { model.massBalance() } -> std::convertible_to<MassBalanceRow>;
};

// A model that can take several seconds of unchanged spray in one call.
template <class T>
concept FastForwardModel = requires(T model, double rate, int seconds) { model.advance(rate, seconds); };

enum class DriveResult { Finished, Abandoned, SinkFailed };

// plainSteps forces the per-second reference step even when the model has a fast path.
template <FateModel Fate>
DriveResult drivePeriod(Fate& fate, const SimulationPeriod& period, const SpraySchedule& schedule,
                        const WeatherSet& weather, OutputRowSink& sink, ProgressSink& progress,
                        bool plainSteps = false) {
    const double sprayRate = fate.sprayRateWhileSpraying();
    const std::int64_t totalSeconds = period.seconds();
    std::array<double, Fate::kOutputCount> values{};
    // On the fast path the seconds without spray after a row wait here and
    // go in one map with the next minute's second 0 when that one does not
    // spray either: a quiet minute costs one map from row to row. They never
    // wait across a change of the day's weather.
    int quietSeconds = 0;
    auto secondsAtRate = [&](double rate, int seconds) {
        if constexpr (FastForwardModel<Fate>) {
            if (!plainSteps) {
                if (rate == 0.0) {
                    quietSeconds += seconds;
                    return;
                }
                fate.advance(0.0, quietSeconds);
                quietSeconds = 0;
                fate.advance(rate, seconds);
                return;
            }
        }
        for (int s = 0; s < seconds; ++s) fate.step(rate);
    };
    auto settle = [&] {
        if constexpr (FastForwardModel<Fate>) fate.advance(0.0, quietSeconds);
        quietSeconds = 0;
    };
    CivilTime day = period.firstSecond;
    for (std::int64_t d = 0; d < period.days; ++d, day = addDays(day, 1)) {
        settle();
        fate.setWeather(weatherOn(weather, day.month, day.day));
        const std::uint32_t hours = schedule.hoursOn(day);
        for (int hour = 0; hour < 24; ++hour) {
            // Progress is the share of seconds done, as a whole percent.
            const std::int64_t k = d * 86400 + hour * 3600;
            progress.progress(static_cast<int>(static_cast<double>(k) / static_cast<double>(totalSeconds) * 100.0));
            if (progress.abandoned()) return DriveResult::Abandoned;
            const bool sprayHour = ((hours >> hour) & 1u) != 0;
            for (int minute = 0; minute < 60; ++minute) {
                const bool sprayMinute = sprayHour && minute <= schedule.lastMinute();
                // Seconds 0..lastSecond of a spray minute spray, the rest of the minute does not.
                const int sprayed = sprayMinute ? std::max(0, std::min(59, schedule.lastSecond()) + 1) : 0;
                secondsAtRate(sprayed > 0 ? sprayRate : 0.0, 1);
                settle();
                fate.outputs(values.data());
                if (!sink.row(day.month, day.day, hour, minute, values.data())) return DriveResult::SinkFailed;
                if constexpr (BalancedModel<Fate>) {
                    if (minute == 0 && !sink.balance(day.month, day.day, hour, fate.massBalance()))
                        return DriveResult::SinkFailed;
                }
                if (sprayed > 1) secondsAtRate(sprayRate, sprayed - 1);
                // What is left of the minute waits for the next row.
                if (sprayed < 60) secondsAtRate(0.0, 60 - std::max(1, sprayed));
            }
        }
    }
    settle();
    return DriveResult::Finished;
}

}  // namespace verdanel
