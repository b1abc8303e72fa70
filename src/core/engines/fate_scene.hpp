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
//   - its output row.
// The member functions live in fate_scene_impl.hpp; a model's .cpp includes
// it and instantiates SceneModel for itself, so its step is compiled once,
// with its own spray entry inlined.
//
// State layout (masses(), µg): the air boxes, the plants of each strip, the
// soils of each strip, the water. A model that keeps running totals (amounts
// degraded, taken up, carried away...) would append them to this state: the
// fast path carries any rows the plain second fills.
#include <array>

#include "core/engines/affine_seconds.hpp"
#include "core/engines/air_transport.hpp"
#include "core/engines/fate_rates.hpp"

namespace verdanel::fate {

template <class Model, int Strips>
class SceneModel {
public:
    static constexpr int kStrips = Strips;
    static constexpr int kBoxes = Strips + 1;
    static constexpr int kWaterBox = Strips;  // the air box above the water
    static constexpr int kAirMass = 0, kPlantMass = kBoxes, kSoilMass = kPlantMass + Strips;
    static constexpr int kWaterMass = kSoilMass + Strips, kMassCount = kWaterMass + 1;
    using Masses = std::array<double, kMassCount>;
    using Air = std::array<double, kBoxes>;

    double sprayDuration() const { return spray_.duration; }        // D, s
    double sprayRateWhileSpraying() const { return spray_.rate; }   // S, µg/s

    // One second at the spray rate s_now (µg/s).
    void step(double sprayRate);
    // `seconds` steps at one spray rate under the current day's weather.
    void advance(double sprayRate, int seconds);

    const Masses& masses() const { return masses_; }
    void setMasses(const Masses& masses) { masses_ = masses; }
    double airMass(int box) const { return masses_[kAirMass + box]; }
    double plantMass(int strip) const { return masses_[kPlantMass + strip]; }
    double soilMass(int strip) const { return masses_[kSoilMass + strip]; }
    double waterMass() const { return masses_[kWaterMass]; }

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

    // One second from the masses `m`: every rate from the masses it starts
    // with, then the mass changes, then the wind's move of the air.
    void second(const Masses& m, double sprayRate, Masses& next) const;

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
    void secondOfDay(const Masses& m, double sprayRate, Masses& next) const;

    SprayOfRun spray_;
    ChemicalRates rates_;
    double vdep_ = 0;
    double length_ = 0, waterWidth_ = 0, cover_ = 0, leafAreaIndex_ = 0;
    std::array<LandStrip, Strips> land_{};
    std::array<AirBox, kBoxes> air_{};
    WaterBody water_;
    DayTerms day_;
    AirTransport<kBoxes> transport_;
    Masses masses_{};
    AffineSeconds<kMassCount> fast_;
};

}  // namespace verdanel::fate
