#include "core/engines/stream_fate.hpp"

#include <cmath>

#include "core/engines/fate_scene_impl.hpp"

namespace verdanel {

template class fate::SceneModel<StreamFate, 4>;

namespace {

// Spray droplets settle as particles of 1666 kg/m3 here, of 2646 kg/m3 in
// the Ditch: the Ditch's deposition velocity is 1.59 times the Stream's.
constexpr double kDropletDensity = 1666;
// Erosion factor f of each strip: 0.5 on the fields, 0.6 on the adjacent
// strips on the near side, but 0.5 and 0.6 again on the far side, so adj2 and
// spray2 do not mirror adj1 and spray1.
constexpr std::array<double, 4> kErosionFactor{0.5, 0.6, 0.5, 0.6};
// Erosion rate: 0.075 / 650, the Ditch's 1 / 650 times the soil's 0.3^3 / 0.6^2 once more.
constexpr double kErosionRate = 0.00011538461538461538;
// The humidity term reads percent as 0.01 (the Ditch as the single-precision 0.01f).
constexpr double kHumidityPercent = 0.01;

}  // namespace

StreamFate::StreamFate(const ScenarioParameters& p, const ChemicalProperties& chemical)
    : SceneModel(p, chemical, kDropletDensity) {
    const double W = p.sprayWidth;
    const double a = static_cast<double>(p.bankWidth) - W;
    const double Ws = waterWidth();
    width_ = W;
    adjacentWidth_ = a;
    setStrips({W, a, a, W}, kErosionFactor, kErosionRate);
    // Cair (spray1, adj1, water, adj2, spray2), Csoil x4, Cplt x4, Cwater.
    {
        using namespace stream_air;
        int i = 0;
        auto put = [&](int source, double divisor) {
            row_.source[static_cast<std::size_t>(i)] = source;
            row_.divisor[static_cast<std::size_t>(i++)] = divisor;
        };
        for (int box : {kSpray1, kAdj1, kWater, kAdj2, kSpray2}) put(kAirMass + box, airBox(box).volume);
        for (int k = 0; k < stream_land::kCount; ++k) put(kSoilMass + k, land(k).soilVolume);
        for (int k = 0; k < stream_land::kCount; ++k) put(kPlantMass + k, land(k).leafArea);
        put(kWaterMass, water().volume);
    }

    // Edges of the strips seen from the upwind edge of spray1.
    const std::array<double, 5> edge{W, W + a, W + a + Ws, W + 2 * a + Ws, 2 * W + 2 * a + Ws};
    for (int i = 0; i < 5; ++i) distanceFactor_[i] = fate::driftDistanceFactor(edge[i]);

    setWeather(DayWeather{});
}

void StreamFate::setWeather(const DayWeather& weather) {
    const fate::DayTerms day = fate::dayTerms(weather, rates(), length(), kHumidityPercent);
    const double W = width_;
    const double Ws = waterWidth();
    const double a = adjacentWidth_;
    const double s = day.spread;
    const double uy = day.uy;

    // The spray divides along the drift curve; what drifts past the far field
    // is not followed.
    std::array<double, 5> beyond{};  // share drifting past each strip edge
    for (int i = 0; i < 5; ++i) beyond[i] = day.driftBeyond(distanceFactor_[i]);
    sprayShare_[0] = 1 - beyond[0];
    for (int i = 1; i < 5; ++i) sprayShare_[i] = beyond[i - 1] - beyond[i];

    // Across-wind overlaps [source][target]. The adj2 and spray2 boxes sit at
    // fixed offsets from spray1 for the whole run. The cross-wind keeps its
    // sign: a wind from the far side carries air back towards spray1.
    using namespace stream_air;
    using fate::overlapWithin;
    fate::AirTransport<5>::Table oy{};
    std::array<double, 5> offset{};
    offset[kSpray1] = 0;
    offset[kAdj1] = W;
    offset[kWater] = W + (a + Ws) / 2;
    offset[kAdj2] = W + a + Ws;
    offset[kSpray2] = W + 2 * a + Ws;
    for (int j = 0; j < kCount; ++j) oy[kSpray1][j] = overlapWithin(W + s / 2 - std::abs(offset[j] - uy), W);
    oy[kAdj1][kSpray1] = overlapWithin(W + s / 2 - std::abs(W + uy), W);
    oy[kAdj1][kAdj1] = overlapWithin(W + s / 2 - std::abs(uy), W);
    oy[kAdj1][kWater] = overlapWithin(uy + s / 2, Ws);
    oy[kAdj1][kAdj2] = overlapWithin(uy + s / 2 - Ws, a);
    oy[kAdj1][kSpray2] = overlapWithin(uy + s / 2 - (a + Ws), a);
    oy[kAdj2][kAdj2] = overlapWithin(a + s / 2 - uy, a);
    oy[kAdj2][kSpray2] = overlapWithin(uy + s / 2, a);
    oy[kSpray2][kSpray2] = overlapWithin(a + s / 2 - uy, a);
    oy[kWater][kWater] = overlapWithin(Ws + s / 2 - uy, Ws);
    oy[kWater][kAdj2] = overlapWithin(uy + s / 2, Ws);

    // Each box spreads its air over the width its overlaps clamp to: W for
    // spray1 and adj1 (adj1 is a wide, yet its own overlap clamps to W), a for
    // adj2 and spray2 (spray2 is W wide, yet its own overlap clamps to a), Ws
    // for the water. So in still air every box keeps its air, whatever a is.
    const Air sourceWidth{W, W, a, a, Ws};
    startDay(day, oy, sourceWidth);
}

// The spray that stays on the sprayed field enters the air above spray1 and,
// in the same amount once more, the air above spray2; each drift share enters
// the air above its own strip.
void StreamFate::sprayInto(double sprayRate, Air& entering) const {
    const double cover = canopyCover();
    const double Pplant = sprayShare_[0] * cover * sprayRate;
    const double Psoil = sprayShare_[0] * (1 - cover) * sprayRate;
    entering[stream_air::kSpray1] = Psoil + Pplant;
    entering[stream_air::kAdj1] = sprayShare_[1] * sprayRate;
    entering[stream_air::kWater] = sprayShare_[2] * sprayRate;
    entering[stream_air::kAdj2] = sprayShare_[3] * sprayRate;
    entering[stream_air::kSpray2] = sprayShare_[4] * sprayRate + Psoil + Pplant;
}

void StreamFate::outputs(double* values) const {
    row_.of(state().data(), values);
    values[kOutputCount - 1] *= fate::kPerCubicMetreToPerLitre;
}

}  // namespace verdanel
