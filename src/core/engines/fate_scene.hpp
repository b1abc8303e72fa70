#pragma once
// The scene every fate model steps: land strips, each with plants and soil
// under an air box of its own, and one water body under the last air box.
// SceneModel holds what all models share: the run constants, the sizes of the
// compartments, the masses, the per-second reference step (the rates of
// fate_rates.hpp and the mass changes) and the fast path built from it.
//
// A model derives from SceneModel<Model, Strips> and gives what is its own:
//   - in its constructor, the widths of its strips (setStrips);
//   - where the spray of a second enters the air boxes:
//       void sprayInto(double sprayRate, Air& entering) const;
//   - in its setWeather, the day's weather terms and its transport table
//     (startDay);
//   - its output row;
//   - what of the spray of a second leaves the scene before it enters an air
//     box (0 when nothing does): double sprayLeaving(double sprayRate) const.
// The member functions live in fate_scene_impl.hpp; a model's .cpp includes
// it and instantiates SceneModel for itself, so its step is compiled once,
// with its own spray entry inlined.
//
// State layout (µg): the masses (masses(): the air boxes, the plants of each
// strip, the soils of each strip, the water), then the running totals of the
// mass balance since the start of the run: applied, degraded, taken up,
// leached, carried downstream, carried away. Every flux of the second is
// credited to exactly one of them, and they are linear in the masses, so the
// fast path carries them in the same affine map and the balance closes there
// as with the plain step.
#include <array>

#include "core/common/mass_balance.hpp"

#include "core/engines/affine_seconds.hpp"
#include "core/engines/air_transport.hpp"
#include "core/engines/fate_rates.hpp"

namespace verdanel::fate {

// A model's output row: the mass at state index source[i] over divisor[i]
// (a volume or an area, fixed for the run). Gathered first, the divisions
// are independent of each other and go two or more to an instruction.
template <int Count>
struct ConcentrationRow {
    std::array<int, Count> source{};
    std::array<double, Count> divisor{};
    void of(const double* state, double* values) const {
        double mass[Count];
        for (int i = 0; i < Count; ++i) mass[i] = state[source[static_cast<std::size_t>(i)]];
        for (int i = 0; i < Count; ++i) values[i] = mass[i] / divisor[static_cast<std::size_t>(i)];
    }
};

template <class Model, int Strips>
class SceneModel {
public:
    static constexpr int kStrips = Strips;
    static constexpr int kBoxes = Strips + 1;
    static constexpr int kWaterBox = Strips;  // the air box above the water
    static constexpr int kAirMass = 0, kPlantMass = kBoxes, kSoilMass = kPlantMass + Strips;
    static constexpr int kWaterMass = kSoilMass + Strips, kMassCount = kWaterMass + 1;
    // The running totals after the masses.
    static constexpr int kApplied = kMassCount, kDegraded = kApplied + 1, kUptake = kDegraded + 1,
                         kLeached = kUptake + 1, kOutflow = kLeached + 1, kCarriedAway = kOutflow + 1,
                         kStateCount = kCarriedAway + 1;
    using Masses = std::array<double, kMassCount>;
    using State = std::array<double, kStateCount>;
    using Air = std::array<double, kBoxes>;

    double sprayDuration() const { return spray_.duration; }        // D, s
    double sprayRateWhileSpraying() const { return spray_.rate; }   // S, µg/s

    // One second at the spray rate s_now (µg/s).
    void step(double sprayRate);
    // `seconds` steps at one spray rate under the current day's weather.
    void advance(double sprayRate, int seconds);

    Masses masses() const;
    // Sets what the compartments hold; the running totals stay as they are.
    void setMasses(const Masses& masses);
    const State& state() const { return state_; }
    double airMass(int box) const { return state_[kAirMass + box]; }
    double plantMass(int strip) const { return state_[kPlantMass + strip]; }
    double soilMass(int strip) const { return state_[kSoilMass + strip]; }
    double waterMass() const { return state_[kWaterMass]; }
    // What the compartments hold now and the totals so far, closure included.
    MassBalanceRow massBalance() const;

    double length() const { return length_; }          // L, m
    double waterWidth() const { return waterWidth_; }  // Ws, m
    const LandStrip& land(int strip) const { return land_[strip]; }
    const AirBox& airBox(int box) const { return air_[box]; }
    const WaterBody& water() const { return water_; }
    const ChemicalRates& rates() const { return rates_; }
    double depositionVelocity() const { return vdep_; }
    double canopyCover() const { return cover_; }
    const DayTerms& dayTerms() const { return day_; }
    const AirTransport<kBoxes>& transport() const { return transport_; }

    // One second from the state `m`: every rate from the masses it starts
    // with, then the mass changes, then the wind's move of the air; each
    // total adds what the second moved into it.
    void second(const State& m, double sprayRate, State& next) const;

protected:
    // particleDensity: of the spray droplets that settle out of the air, kg/m3.
    SceneModel(const ScenarioParameters& parameters, const ChemicalProperties& chemical, double particleDensity);

    // The strips across the scene with their erosion factors f, and the
    // model's erosion rate (see landStrip); an air box over each strip and
    // one over the water.
    void setStrips(const std::array<double, Strips>& width, const std::array<double, Strips>& erosionFactor,
                   double erosionRate);

    // The day's weather terms and the wind's overlaps (see AirTransport);
    // rebuilds the fast path for the day.
    void startDay(const DayTerms& day, const typename AirTransport<kBoxes>::Table& across, const Air& sourceWidth);

private:
    template <bool Raining>
    void secondOfDay(const State& m, double sprayRate, State& next) const;

    SprayOfRun spray_;
    ChemicalRates rates_;
    double vdep_ = 0;
    double length_ = 0, waterWidth_ = 0, cover_ = 0, leafAreaIndex_ = 0;
    std::array<LandStrip, Strips> land_{};
    std::array<AirBox, kBoxes> air_{};
    WaterBody water_;
    DayTerms day_;
    AirTransport<kBoxes> transport_;
    State state_{};
    AffineSeconds<kStateCount, kMassCount> fast_;
};

}  // namespace verdanel::fate
