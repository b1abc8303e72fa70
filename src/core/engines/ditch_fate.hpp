#pragma once
// Fate of a pesticide sprayed along a ditch or a pond shore.
//
// Across the water the scene is: bank strip spray1, the water surface, bank
// strip spray2, all of the spray length L. Each bank strip has plants, soil
// and an air box; the water has the water body and an air box. One step is one
// simulated second: the spray enters the air boxes, chemical moves between the
// compartments, then the wind moves the air between the three boxes.
//
// The pond is the same scene with still water (vw = 0, so nothing flows out).
//
// Within one day the weather is constant, so a step is an affine map of the
// eight masses, x' = A x + rate * p. setWeather builds A and p from the
// per-second step itself, and advance() applies precomputed powers of that map;
// step() stays the per-second reference.
#include <array>

#include "core/engines/scenario.hpp"
#include "core/weather/weather_set.hpp"

namespace verdanel {

class DitchFate {
public:
    static constexpr int kOutputCount = 8;
    static constexpr int kMassCount = 8;

    // Air boxes: above spray1, above spray2, above the water.
    static constexpr int kBoxSpray1 = 0;
    static constexpr int kBoxSpray2 = 1;
    static constexpr int kBoxWater = 2;

    // Slots of the mass vector (µg).
    enum Slot : int {
        kAirSpray1 = 0,
        kAirSpray2 = 1,
        kAirWater = 2,
        kPlantSpray1 = 3,
        kPlantSpray2 = 4,
        kSoilSpray1 = 5,
        kSoilSpray2 = 6,
        kWater = 7,
    };
    using Masses = std::array<double, kMassCount>;

    struct Geometry {
        double length = 0;            // L, m
        double bankStripWidth = 0;    // b = (B - Ws) / 2, m
        double waterWidth = 0;        // Ws, m
        double stripArea = 0;         // ground area of each bank strip, m2
        double waterArea = 0;         // water surface area, m2
        std::array<double, 3> boxGroundArea{};  // ground under each air box, m2
        std::array<double, 3> airVolume{};      // m3 (mixing height 100 m)
        double sceneArea = 0;         // water + spray2 + spray1 ground, m2
        double coveredArea = 0;       // each bank strip, m2
        double leafArea = 0;          // each bank strip, m2 of leaf
        double soilVolume = 0;        // each bank strip, m3 (soil depth 0.1 m)
        double waterVolume = 0;       // m3
        double waterFlow = 0;         // Q, m3/s
        double canopyCover = 0;       // cov
        double leafAreaIndex = 0;     // LAI
        double sprayDuration = 0;     // D, s
        double sprayRate = 0;         // S, µg/s while spraying
    };

    struct RunConstants {
        double Kd = 0;      // soil-water distribution, L/kg
        double TSCF = 0;    // transpiration stream concentration factor
        double Kaw = 0;     // air-water partition
        double Zs = 0;      // soil capacity
        double vdep = 0;    // deposition velocity, m/s
        double kpen = 0;    // plant penetration, 1/s
        double kair = 0;    // air degradation, 1/s
        double kleaf = 0;   // plant degradation
        double ksoil = 0;   // soil degradation, 1/s
        double kwater = 0;  // water degradation, 1/s
        double rs = 0;      // soil-side resistance, s/m
        double Bx = 0;      // distance factor of the drift fraction
        std::array<double, 2> erosionFactor{};  // spray1, spray2
    };

    // Everything of a step that depends only on the run and the day's weather.
    struct DayCoefficients {
        double rain = 0;          // r, m/s
        double humidityTerm = 0;  // h
        double kg = 0;            // air-side conductance, m/s
        double Kvs = 0;           // soil volatilization conductance
        double Kvw = 0;           // water volatilization conductance
        double driftFraction = 0; // F (not limited to 0..1)
        double spreadSpeed = 0;   // U, km/h rounded to single precision
        double spread = 0;        // s, m
        double foldedDirection = 0;  // theta', degrees
        double phi = 0;           // radians
        double ux = 0;            // along the ditch, m per step
        double uy = 0;            // across the ditch (magnitude), m per step
        double overlapAlong = 0;  // ox, m
        std::array<std::array<double, 3>, 3> overlapAcross{};  // oy[source][target], m, never negative
        std::array<double, 3> transferDenominator{};           // (w_i + s) (L + s)
        std::array<double, 3> overlapAcrossSum{};              // sum over targets of oy[i]
        std::array<bool, 3> scaledSource{};  // the box would send more than it holds
    };

    DitchFate(const ScenarioParameters& parameters, const ChemicalProperties& chemical);

    double sprayDuration() const { return geometry_.sprayDuration; }
    double sprayRateWhileSpraying() const { return geometry_.sprayRate; }

    void setWeather(const DayWeather& weather);
    void step(double sprayRate);
    // Exactly `seconds` calls of step(sprayRate) under the current day's weather.
    void advance(double sprayRate, int seconds);
    void outputs(double* values) const;

    const Geometry& geometry() const { return geometry_; }
    const RunConstants& constants() const { return constants_; }
    const DayCoefficients& day() const { return day_; }
    const Masses& masses() const { return masses_; }
    void setMasses(const Masses& masses) { masses_ = masses; }

    // Share of the kept spray that enters air box j (its ground over the scene's).
    double keptShare(int box) const { return geometry_.boxGroundArea[box] / geometry_.sceneArea; }
    // Share of box `from`'s air that the wind puts into box `to` in one step.
    double transferFraction(int from, int to) const;

private:
    struct AffineMap {
        std::array<std::array<double, kMassCount>, kMassCount> a{};  // a[row][column]
        Masses g{};  // response to a spray rate of 1 µg/s
    };
    static constexpr int kPowerLevels = 17;  // 2^0 .. 2^16 seconds
    static constexpr int kCachedSpans = 4;

    void stepMasses(Masses& m, double sprayRate) const;
    void buildMaps();
    static AffineMap compose(const AffineMap& first, const AffineMap& second);
    const AffineMap& spanMap(int seconds);
    static void apply(const AffineMap& map, Masses& m, double sprayRate);

    Geometry geometry_;
    RunConstants constants_;
    DayCoefficients day_;
    Masses masses_{};

    std::array<AffineMap, kPowerLevels> powers_{};  // powers_[k]: 2^k seconds
    std::array<AffineMap, kCachedSpans> spans_{};
    std::array<int, kCachedSpans> spanSeconds_{};   // 0: slot empty
    int nextSpanSlot_ = 0;
};

}  // namespace verdanel
