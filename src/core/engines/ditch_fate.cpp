#include "core/engines/ditch_fate.hpp"

#include <cmath>

#include "core/engines/fate_scene_impl.hpp"

namespace verdanel {

template class fate::SceneModel<DitchFate, 2>;

namespace {

// Spray droplets settle as particles of 2646 kg/m3 here, of 1666 kg/m3 in
// the Stream: the Ditch's deposition velocity is 1.59 times the Stream's.
constexpr double kDropletDensity = 2646;
constexpr std::array<double, 2> kErosionFactor{0.9, 1.0};  // spray1, spray2
constexpr double kErosionRate = 0.0015384615384615385;     // 1 / 650
// The humidity term reads percent as the single-precision 0.01f (the Stream as 0.01).
constexpr double kHumidityPercent = static_cast<double>(0.01f);

}  // namespace

DitchFate::DitchFate(const ScenarioParameters& p, const ChemicalProperties& chemical)
    : SceneModel(p, chemical, kDropletDensity) {
    const double B = p.bankWidth;
    bankStripWidth_ = (B - waterWidth()) * 0.5;
    setStrips({bankStripWidth_, bankStripWidth_}, kErosionFactor, kErosionRate);
    // Cair (spray1, water, spray2), Csoil x2, Cplt x2, Cwater.
    row_.source = {kAirSpray1, kAirWater, kAirSpray2, kSoilSpray1, kSoilSpray2, kPlantSpray1, kPlantSpray2, kWater};
    row_.divisor = {airBox(kBoxSpray1).volume, airBox(kBoxWater).volume, airBox(kBoxSpray2).volume,
                    land(0).soilVolume,        land(1).soilVolume,       land(0).leafArea,
                    land(1).leafArea,          water().volume};
    sceneArea_ = water().area + land(1).area + land(0).area;
    Bx_ = fate::driftDistanceFactor(B);

    setWeather(DayWeather{});
}

void DitchFate::setWeather(const DayWeather& weather) {
    const fate::DayTerms day = fate::dayTerms(weather, rates(), length(), kHumidityPercent);
    driftFraction_ = day.driftBeyond(Bx_);

    // The direction is folded onto one side of the ditch; the 11.3 degree turn can
    // still carry phi past 180 degrees, so only the size of the cross-wind counts.
    crossWind_ = std::fabs(day.uy);
    const double uy = crossWind_;
    const double s = day.spread;
    const double b = bankStripWidth_;
    const double Ws = waterWidth();

    // Across-wind overlaps [source][target]; only the entries written with a
    // limit are limited, and a negative overlap counts as none.
    fate::AirTransport<3>::Table oy{};
    oy[kBoxSpray1][kBoxSpray1] = s / 2 + b - uy;
    oy[kBoxSpray1][kBoxSpray2] = s / 2 - uy > Ws ? (s / 2 - uy) - Ws : 0.0;
    oy[kBoxSpray1][kBoxWater] = fate::overlapWithin(uy + s / 2, Ws);
    oy[kBoxSpray2][kBoxSpray2] = s / 2 + b - uy;
    oy[kBoxWater][kBoxSpray2] = uy + s / 2;
    oy[kBoxWater][kBoxWater] = s / 2 + Ws - uy;

    startDay(day, oy, Air{b, b, Ws});
}

// The spray that does not drift away enters the three air boxes by their
// ground areas; it reaches plants, soil and water only by deposition.
void DitchFate::sprayInto(double sprayRate, Air& entering) const {
    const double P = (1 - driftFraction_) * sprayRate;
    entering = {0, 0, 0};
    if (P != 0)
        for (int j = 0; j < kBoxes; ++j) entering[j] = P * airBox(j).area / sceneArea_;
}

void DitchFate::outputs(double* values) const {
    row_.of(state().data(), values);
    values[kOutputCount - 1] *= fate::kPerCubicMetreToPerLitre;
}

}  // namespace verdanel
