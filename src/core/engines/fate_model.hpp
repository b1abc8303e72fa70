#pragma once
// The shape every fate model has, so one driver steps them all:
//
//   class SomeFate {
//   public:
//       static constexpr int kOutputCount = ...;        // 14 Stream, 8 Ditch/Pond
//       SomeFate(const ScenarioParameters&, const ChemicalProperties&);
//       double sprayDuration() const;                   // D, seconds
//       double sprayRateWhileSpraying() const;          // S, µg/s
//       void setWeather(const DayWeather&);             // once per simulated day
//       void step(double sprayRate);                    // one simulated second
//       void outputs(double* values) const;             // the output row, storage order
//   };
//
// The driver (engine_driver.hpp) calls setWeather whenever the day changes,
// step once per second and outputs at second 0 of every minute, and uses
// advance(sprayRate, seconds) for the other seconds where a model has it.
//
// A model whose scene is land strips under air boxes of their own and one
// water body derives from fate::SceneModel (fate_scene.hpp), which gives it
// the per-second step, advance() and the masses; the rates it shares with the
// other models are in fate_rates.hpp.
#include <concepts>

#include "core/engines/scenario.hpp"

namespace verdanel {

template <class T>
concept FateModel = requires(T model, const T cmodel, const DayWeather& weather, double rate, double* out) {
    { T::kOutputCount } -> std::convertible_to<int>;
    { cmodel.sprayDuration() } -> std::convertible_to<double>;
    { cmodel.sprayRateWhileSpraying() } -> std::convertible_to<double>;
    model.setWeather(weather);
    model.step(rate);
    cmodel.outputs(out);
};

}  // namespace verdanel
