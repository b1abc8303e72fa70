#pragma once
// Fate of a pesticide sprayed along a ditch or a pond shore.
//
// Across the water the scene is: bank strip spray1, the water surface, bank
// strip spray2, all of the spray length L. Each bank strip has plants, soil
// and an air box; the water has the water body and an air box. The vehicle
// sprays both banks; the spray that does not drift away enters the three air
// boxes by their ground areas. The pond is the same scene with still water
// (vw = 0, so nothing flows out). The spray width W is kept with the scenario
// but the ditch does not use it: the bank strips are (B - Ws) / 2 wide.
//
// What the Ditch has of its own is here: the scene's sizes, where the spray
// of a second goes and the wind's transport table. The rates, the mass
// changes, the per-second step and the fast path are the shared ones of
// fate_scene.hpp.
#include <array>

#include "core/engines/fate_model.hpp"
#include "core/engines/fate_scene.hpp"
#include "core/engines/scenario.hpp"
#include "core/weather/weather_set.hpp"

namespace verdanel {

class DitchFate : public fate::SceneModel<DitchFate, 2> {
public:
    static constexpr int kOutputCount = 8;

    // Air boxes: above spray1, above spray2, above the water.
    static constexpr int kBoxSpray1 = 0, kBoxSpray2 = 1, kBoxWater = 2;
    // Slots of masses() (µg).
    enum Slot : int {
        kAirSpray1 = kAirMass,
        kAirSpray2,
        kAirWater,
        kPlantSpray1 = kPlantMass,
        kPlantSpray2,
        kSoilSpray1 = kSoilMass,
        kSoilSpray2,
        kWater = kWaterMass,
    };

    DitchFate(const ScenarioParameters& parameters, const ChemicalProperties& chemical);

    void setWeather(const DayWeather& weather);
    // Cair (spray1, water, spray2), Csoil x2, Cplt x2, Cwater x 0.001.
    void outputs(double* values) const;

    double bankStripWidth() const { return bankStripWidth_; }  // b = (B - Ws) / 2, m
    double driftDistanceFactor() const { return Bx_; }         // B^-1.05
    // F of the day: the share of the spray that drifts out of the scene (not limited to 0..1).
    double driftFraction() const { return driftFraction_; }
    // The size of the day's cross-wind, m per second.
    double crossWind() const { return crossWind_; }
    // Share of the kept spray that enters air box j (its ground over the scene's).
    double keptShare(int box) const { return airBox(box).area / sceneArea_; }

private:
    friend SceneModel;
    void sprayInto(double sprayRate, Air& entering) const;
    // The drifting share F of the spray leaves the scene at once.
    double sprayLeaving(double sprayRate) const { return driftFraction_ * sprayRate; }

    double bankStripWidth_ = 0;
    double sceneArea_ = 0;  // water + spray2 + spray1 ground, m2
    double Bx_ = 0;
    double driftFraction_ = 0;
    double crossWind_ = 0;
    fate::ConcentrationRow<kOutputCount> row_;
};

extern template class fate::SceneModel<DitchFate, 2>;
static_assert(FateModel<DitchFate>);

}  // namespace verdanel
