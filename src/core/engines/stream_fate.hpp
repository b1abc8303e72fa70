#pragma once
// The Stream Model: a stream with a bank on each side, a vehicle spraying the
// field beside it on the near bank. Across the stream, from the sprayed side:
// the field spray1 (width W), the adjacent strip adj1 (a = B - W), the stream
// (Ws), the adjacent strip adj2 (a) and the far field spray2 (W), all of the
// spray length L. Five air boxes (above the four strips and the water), plant
// and soil on each strip, the stream reach.
//
// What the Stream has of its own is here: the scene's sizes, where the spray
// of a second goes (the drift curve over the five strips) and the wind's
// transport table. The rates, the mass changes, the per-second step and the
// fast path are the shared ones of fate_scene.hpp.
#include <array>

#include "core/engines/fate_model.hpp"
#include "core/engines/fate_scene.hpp"
#include "core/engines/scenario.hpp"
#include "core/weather/weather_set.hpp"

namespace verdanel {

// Land strips, across the scene from the sprayed side.
namespace stream_land {
inline constexpr int kSpray1 = 0, kAdj1 = 1, kAdj2 = 2, kSpray2 = 3, kCount = 4;
}
// Air boxes: above the four land strips, then above the water.
namespace stream_air {
inline constexpr int kSpray1 = 0, kAdj1 = 1, kAdj2 = 2, kSpray2 = 3, kWater = 4, kCount = 5;
}

class StreamFate : public fate::SceneModel<StreamFate, 4> {
public:
    static constexpr int kOutputCount = 14;

    StreamFate(const ScenarioParameters& parameters, const ChemicalProperties& chemical);

    void setWeather(const DayWeather& weather);
    // Cair (spray1, adj1, water, adj2, spray2), Csoil x4, Cplt x4, Cwater x 0.001.
    void outputs(double* values) const;

    double adjacentWidth() const { return adjacentWidth_; }  // a = B - W, m
    // Fractions of the day's spray: kept on spray1, to adj1, to the water, to adj2, to spray2.
    const std::array<double, 5>& sprayShare() const { return sprayShare_; }

private:
    friend SceneModel;
    // Where the spray of a second enters the air boxes.
    void sprayInto(double sprayRate, Air& entering) const;
    // The spray drifting past the far field is not followed: it never entered the scene.
    double sprayLeaving(double) const { return 0; }

    double width_ = 0, adjacentWidth_ = 0;  // W and a, m
    std::array<double, 5> distanceFactor_{};  // x^-1.05 at the five strip edges
    std::array<double, 5> sprayShare_{};
    fate::ConcentrationRow<kOutputCount> row_;
};

extern template class fate::SceneModel<StreamFate, 4>;
static_assert(FateModel<StreamFate>);

}  // namespace verdanel
