#pragma once
// The Stream Model's compartments, advanced one second at a time: five air
// boxes (above spray1, adj1, adj2, spray2 and the water), plant and soil on
// the four land strips (spray1, adj1, adj2, spray2) and the stream reach.
//
// Within one day the weather is constant, so a second is an affine map of the
// 14 masses. step() is the plain second, written rate by rate; advance() jumps
// many seconds at once with powers of that map and lands on the same state.
#include <array>

#include "core/engines/fate_model.hpp"
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

struct StreamGeometry {
    double adjacentWidth = 0;                 // a = B - W, m
    std::array<double, 4> landArea{};         // ground area of each land strip, m2
    std::array<double, 4> coveredArea{};      // m2
    std::array<double, 4> leafArea{};         // m2 of leaf
    std::array<double, 4> soilVolume{};       // m3
    std::array<double, 5> airArea{};          // ground area under each air box, m2
    std::array<double, 5> airVolume{};        // m3 (mixing height 100 m)
    double waterArea = 0;                     // m2
    double waterVolume = 0;                   // m3
    double flow = 0;                          // Q, m3/s
};

// Chemical constants of a run.
struct StreamRunConstants {
    double Kd = 0;      // soil-water distribution, L/kg
    double TSCF = 0;    // transpiration stream concentration factor
    double Kaw = 0;     // air-water partition
    double Zs = 0;      // soil capacity
    double vdep = 0;    // deposition velocity, m/s
    double kpen = 0;    // plant penetration, 1/s
    double kair = 0;    // air degradation, 1/s
    double kleaf = 0;   // plant degradation
    double ksoil = 0;   // 1/s
    double kwater = 0;  // 1/s
    double rs = 0;      // soil-side resistance, s/m
};

// What the day's weather fixes for every second of that day.
struct StreamDayCoefficients {
    double rain = 0;          // r, m/s
    double humidityTerm = 0;  // h
    double kg = 0;            // air-side conductance, m/s
    double Kvs = 0;           // soil volatilization conductance
    double Kvw = 0;           // water volatilization conductance
    double driftA = 0;        // A of the drift curve
    // Fractions of the spray: kept on spray1, to adj1, to the water, to adj2, to spray2.
    std::array<double, 5> sprayShare{};
    double spread = 0;        // s, m
    double ux = 0;            // along the stream, m per second
    double uy = 0;            // across, from spray1 towards spray2, m per second
    double alongOverlap = 0;  // ox, m
    // Fraction of air box [source]'s mass that the wind carries into box [target]
    // each second; a source never sends out more than it holds.
    std::array<std::array<double, 5>, 5> transport{};
};

class StreamFate {
public:
    static constexpr int kOutputCount = 14;
    // Layout of masses(): air boxes, plants, soils, water.
    static constexpr int kAirMass = 0, kPlantMass = 5, kSoilMass = 9, kWaterMass = 13, kMassCount = 14;
    using Masses = std::array<double, kMassCount>;

    StreamFate(const ScenarioParameters& parameters, const ChemicalProperties& chemical);

    double sprayDuration() const { return sprayDuration_; }           // D, s
    double sprayRateWhileSpraying() const { return sprayRate_; }      // S, µg/s

    void setWeather(const DayWeather& weather);
    // One second with the spray rate s_now (µg/s).
    void step(double sprayRate);
    // `seconds` steps at one spray rate under the current day's weather.
    void advance(double sprayRate, int seconds);
    // Cair (spray1, adj1, water, adj2, spray2), Csoil x4, Cplt x4, Cwater x 0.001.
    void outputs(double* values) const;

    const StreamGeometry& geometry() const { return geometry_; }
    const StreamRunConstants& runConstants() const { return run_; }
    const StreamDayCoefficients& day() const { return day_; }
    const Masses& masses() const { return masses_; }
    double airMass(int box) const { return masses_[kAirMass + box]; }
    double plantMass(int strip) const { return masses_[kPlantMass + strip]; }
    double soilMass(int strip) const { return masses_[kSoilMass + strip]; }
    double waterMass() const { return masses_[kWaterMass]; }

    // The wind's move of the five air masses under the current day's weather.
    std::array<double, 5> transported(const std::array<double, 5>& air) const;

private:
    // An affine map of the masses: next = a * masses + sprayRate * b, stored by
    // columns padded to kRows so that a column is a whole number of vectors.
    static constexpr int kRows = 16;
    struct SecondsMap {
        alignas(64) std::array<double, kMassCount * kRows> a;
        alignas(64) std::array<double, kRows> b;
    };
    // powers_[k] advances 2^k seconds; 2^16 s is most of a day.
    static constexpr int kPowerCount = 17;

    struct Span {
        int seconds = 0;
        SecondsMap map;
    };
    static constexpr int kSpanCount = 4;

    void secondFrom(const Masses& from, double sprayRate, Masses& to) const;
    void ensurePowers(int count);
    static void chain(const SecondsMap& first, const SecondsMap& second, SecondsMap& out);
    void apply(const SecondsMap& map, double sprayRate);

    // Scene sizes as doubles.
    double length_ = 0, width_ = 0, waterWidth_ = 0, cover_ = 0, leafAreaIndex_ = 0;
    double sprayDuration_ = 0, sprayRate_ = 0;
    StreamGeometry geometry_;
    StreamRunConstants run_;
    // Run-constant parts of the rates.
    std::array<double, 5> distancePower_{};    // x^-1.05 at the five strip edges
    std::array<double, 4> erosionFactor_{};    // 0.001 * Kd * f[k]
    std::array<double, 4> penetration_{};      // kpen * covered area * LAI
    std::array<double, 4> plantDecay_{};       // kleaf * leaf area

    StreamDayCoefficients day_;
    bool raining_ = false;
    Masses masses_{};

    std::array<SecondsMap, kPowerCount> powers_;
    int powersBuilt_ = 0;  // valid entries of powers_ for the current day
    std::array<Span, kSpanCount> spans_;
    int spansBuilt_ = 0;   // valid entries of spans_ for the current day
};

static_assert(FateModel<StreamFate>);

}  // namespace verdanel
