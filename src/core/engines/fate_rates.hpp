#pragma once
// What every fate model shares: the chemical's run constants, the spray of a
// run, the weather terms of a day, the sizes of land strips, air boxes and
// water bodies, and the rate of every process that happens in them. The
// literals of the rate equations are named here, once, with what they stand
// for. A model's own file keeps only its geometry, where its spray enters,
// its table of mass changes and its transport table.
//
// Units: masses in µg, rates in µg/s, lengths in m, time step 1 s.
#include "core/engines/scenario.hpp"
#include "core/weather/weather_set.hpp"

namespace verdanel::fate {

// ---- unit conversions, as the model writes them -----------------------------
// km/h to m/min, mm per day to m/s: single-precision constants.
inline constexpr double kKmPerHourToMetresPerMinute = static_cast<double>(16.666666f);
inline constexpr double kMillimetresPerDayToMetresPerSecond = static_cast<double>(1.1574074e-8f);
inline constexpr double kGramsPerMinuteToMicrogramsPerSecond = 16666.666666666668;
inline constexpr double kMetresPerSecondToKmPerHour = 3.6;
inline constexpr double kDegreesToRadians = 0.017444444444444446;  // pi taken as 3.14
inline constexpr double kSecondsPerHour = 3600;
inline constexpr double kLitresToCubicMetres = 0.001;
// The output row gives water in µg/L.
inline constexpr double kPerCubicMetreToPerLitre = 0.001;

// ---- the scene --------------------------------------------------------------
inline constexpr double kMixingHeight = 100;  // m, height of every air box
inline constexpr double kSoilDepth = 0.1;     // m

// ---- chemical constants -----------------------------------------------------
inline constexpr double kKdPerKow = 0.0082;             // Kd = 0.0082 Kow, L/kg
inline constexpr double kTscfPeak = 0.784;              // TSCF at its optimum
inline constexpr double kTscfOptimumLogKow = 1.78;
inline constexpr double kTscfInverseWidth = 0.4098360655737705;  // 1 / 2.44
// Kaw = H / (R T) with R = 8.314 and T = 296 K. H is in atm m3/mol while this R
// is in Pa m3/(mol K), so Kaw comes out 101,325 times below the dimensionless
// ratio. It is kept so: every volatilization and penetration rate uses it.
inline constexpr double kHenryToKaw = 0.00040634813307413744;
inline constexpr double kSoilParticleDensity = 2650;    // kg/m3
inline constexpr double kSoilWaterFraction = 0.3;       // of the soil's volume
inline constexpr double kSoilAirFraction = 0.3;
// Plant penetration kpen = (0.1663 - 0.012 logKow) per hour.
inline constexpr double kPenetrationIntercept = 0.1663;
inline constexpr double kPenetrationPerLogKow = 0.012;
// Soil-side resistance: diffusion through the soil's water and air, each with
// the tortuosity 0.3^3 / 0.6^2 (water and air 0.3 each of a porosity of 0.6),
// taken over a diffusion path of 0.2 m.
inline constexpr double kSoilTortuosity = 0.3 * 0.3 * 0.3 / (0.6 * 0.6);  // 0.075
inline constexpr double kSoilDiffusionPathInverse = 5;  // 1/m
// Settling of spray droplets: diameter 200 µm (written in cm), the viscosity
// term 44.3088e-4 and the scale 0.01 of the deposition velocity formula.
inline constexpr double kDropletDiameter = 1e-4 * 200;
inline constexpr double kSettlingViscosityTerm = 1e-4 * 44.3088;
inline constexpr double kSettlingScale = 0.01;

// ---- weather terms ------------------------------------------------------------
// Air-side conductance kg = 0.00065 u sqrt(3.843 u), m/s.
inline constexpr double kAirConductanceScale = 0.00065;
inline constexpr double kAirConductanceWind = 3.843;
inline constexpr double kWaterSideResistance = 1500;  // s/m, in Kvw
// Drift curve: A = 0.4 T + 0.05 u + 13 - 1.74 h, and the share drifting past x
// metres is A x^-1.05 %; h = RH % x 3.
inline constexpr double kDriftPerDegree = 0.4;
inline constexpr double kDriftPerWind = 0.05;
inline constexpr double kDriftBase = 13.0;
inline constexpr double kDriftPerHumidity = 1.74;
inline constexpr double kHumidityScale = 3;
inline constexpr double kDriftDistanceExponent = -1.05;
inline constexpr double kPercent = 0.01;
// Spread of an air box's air in a second: s = 0.136 U (1 + 0.4 U)^-0.5, U in km/h.
inline constexpr double kSpreadScale = 0.136;
inline constexpr double kSpreadDamping = 0.4;
// The wind is turned by 11.3 degrees before it is split along and across.
inline constexpr double kWindTurn = 11.3;

// ---- rates of the processes, per second -------------------------------------
inline constexpr double kLeafVolatilizationVelocity = 2.8888888888888886e-6;  // 0.0104 m/h
inline constexpr double kRootUptakeRate = 5.75e-9;  // of X TSCF, taken up with the transpiration stream
// Of the rain reaching the soil, a tenth leaches through it and (while it
// rains) a tenth runs off, each carrying the soil water's chemical.
inline constexpr double kRainThroughSoil = 0.1;
inline constexpr double kWashOffRate = 0.0006666666666666666;  // 1 / 1500 of the leaf's chemical while it rains
inline constexpr double kWetScavengingRatio = 200000;           // washout of the air by rain

// The seven properties turned into the constants of a run.
struct ChemicalRates {
    double Kd = 0;      // soil-water distribution, L/kg
    double TSCF = 0;    // transpiration stream concentration factor
    double Kaw = 0;     // air-water partition
    double Zs = 0;      // soil capacity
    double kpen = 0;    // plant penetration, 1/s
    double kair = 0;    // air degradation, 1/s
    double kleaf = 0;   // plant degradation
    double ksoil = 0;   // soil degradation, 1/s
    double kwater = 0;  // water degradation, 1/s
    double rs = 0;      // soil-side resistance, s/m
};
ChemicalRates chemicalRates(const ChemicalProperties& chemical);

// Settling velocity of spray droplets of this density (kg/m3) out of the air boxes, m/s.
double depositionVelocity(double particleDensity);

struct SprayOfRun {
    double duration = 0;  // D, s: the vehicle's time along the spray length
    double rate = 0;      // S, µg/s while spraying
};
SprayOfRun sprayOfRun(const ScenarioParameters& parameters);

// Share of the spray drifting past x metres, before the day's factor A: x^-1.05.
double driftDistanceFactor(double x);

// What one day's weather fixes for every second of that day.
struct DayTerms {
    double rain = 0;          // r, m/s
    bool raining = false;     // wash-off, erosion and runoff only happen while it rains
    double humidityTerm = 0;  // h
    double kg = 0;            // air-side conductance, m/s
    double Kvs = 0;           // soil volatilization conductance
    double Kvw = 0;           // water volatilization conductance
    double driftA = 0;        // A of the drift curve
    double spread = 0;        // s, m
    double foldedDirection = 0;  // theta', degrees
    double phi = 0;           // radians
    double ux = 0;            // along the water, m per second
    double uy = 0;            // across, from spray1 towards spray2, m per second (sign kept)
    double alongOverlap = 0;  // ox: what of a box's length is still over the scene, m

    // Share of the spray drifting past a distance whose factor is x^-1.05.
    double driftBeyond(double distanceFactor) const { return driftA * distanceFactor * kPercent; }
};
// `percent` is the model's 1/100 for the humidity: the Ditch reads it as the
// single-precision 0.01f, the Stream as 0.01.
DayTerms dayTerms(const DayWeather& weather, const ChemicalRates& rates, double length, double percent);

// ---- compartments -------------------------------------------------------------

// One land strip (plants on its covered part, soil below) and the constants
// of its processes.
struct LandStrip {
    double area = 0;         // ground, m2
    double coveredArea = 0;  // under plants, m2
    double leafArea = 0;     // m2 of leaf
    double soilVolume = 0;   // m3
    double penetration = 0;  // kpen x covered area x LAI
    double plantDecay = 0;   // kleaf x leaf area
    double erosion = 0;      // what rain erodes per unit of X, 1/s
};
// 0.001 Kd x `erosionFactor` x `erosionRate` is what rain erodes per unit of X.
LandStrip landStrip(double width, double length, double cover, double leafAreaIndex, const ChemicalRates& rates,
                    double erosionFactor, double erosionRate);

struct AirBox {
    double area = 0;    // ground below it, m2
    double volume = 0;  // m3
};
AirBox airBoxOver(double groundArea);

struct WaterBody {
    double area = 0;    // surface, m2
    double volume = 0;  // m3
    double flow = 0;    // Q, m3/s
};
WaterBody waterBody(const ScenarioParameters& parameters, double length);

// ---- rates of one second, from the masses the second starts with ------------

// Out of an air box: dry and wet deposition onto the ground below it, degradation.
struct AirFluxes {
    double Fdd = 0, Fwd = 0, Fda = 0;
    double deposited() const { return Fdd + Fwd; }
    double lost() const { return Fda + Fdd + Fwd; }
};
inline AirFluxes airFluxes(const AirBox& box, const ChemicalRates& k, double vdep, const DayTerms& day, double Ca) {
    return {box.area * Ca * vdep, box.area * Ca * day.rain * kWetScavengingRatio, box.volume * Ca * k.kair};
}

// Of a land strip's plants and soil. Fvp and Fvs go into the air box above
// (either way, as their sign gives); Fwo moves leaf chemical to the soil;
// Fer and Frun go into the water; the others leave the system.
struct LandFluxes {
    double Fvp = 0;   // plant volatilization
    double Fpen = 0;  // penetration into the leaf
    double Fdp = 0;   // plant degradation
    double Fwo = 0;   // wash-off
    double Fvs = 0;   // soil volatilization
    double Fds = 0;   // soil degradation
    double Fru = 0;   // root uptake
    double Fle = 0;   // leaching
    double Fer = 0;   // erosion
    double Frun = 0;  // runoff
    double plantLost() const { return Fvp + Fpen + Fdp + Fwo; }
    double soilLost() const { return Fvs + Fds + Fle + Fer + Frun + Fru; }
    double toWater() const { return Frun + Fer; }
};
// Raining: whether the day has rain (day.raining); wash-off, erosion and
// runoff only happen while it rains.
template <bool Raining>
inline LandFluxes landFluxes(const LandStrip& strip, const ChemicalRates& k, const DayTerms& day, double plantMass,
                             double soilMass, double CaAbove) {
    const double Cp = plantMass / strip.leafArea;
    const double Cs = soilMass / strip.soilVolume;
    const double X = Cs / k.Zs * strip.area;  // the soil water's chemical over the strip
    LandFluxes f;
    f.Fvp = (k.Kaw * Cp - CaAbove) * strip.leafArea * kLeafVolatilizationVelocity;
    f.Fpen = strip.penetration * Cp * k.Kaw;
    f.Fdp = strip.plantDecay * Cp;
    f.Fvs = (Cs / k.Zs - CaAbove) * strip.area * k.Kaw * day.Kvs;
    f.Fds = strip.soilVolume * Cs * k.ksoil;
    f.Fru = X * k.TSCF * kRootUptakeRate;
    f.Fle = X * day.rain * kRainThroughSoil;
    if constexpr (Raining) {
        f.Fwo = strip.leafArea * Cp * kWashOffRate;
        f.Fer = strip.erosion * X;
        f.Frun = X * day.rain * kRainThroughSoil;
    }
    return f;
}

// Of the water: volatilization into the air box above (either way), outflow
// downstream and degradation.
struct WaterFluxes {
    double Fvw = 0, Fout = 0, Fdw = 0;
    double lost() const { return Fvw + Fout + Fdw; }
};
inline WaterFluxes waterFluxes(const WaterBody& water, const ChemicalRates& k, const DayTerms& day, double waterMass,
                               double CaAbove) {
    const double Cw = waterMass / water.volume;
    return {(Cw * k.Kaw - CaAbove) * water.area * day.Kvw, water.flow * Cw, water.volume * Cw * k.kwater};
}

// ---- mass changes of one second: what a compartment held plus gains less losses

// Deposition from the air box above lands on the plants under the canopy
// cover and on the soil beside them; wash-off moves leaf chemical to the soil.
inline double plantAfter(double plantMass, const LandFluxes& f, double deposited, double cover) {
    return plantMass + (deposited * cover - f.plantLost());
}
inline double soilAfter(double soilMass, const LandFluxes& f, double deposited, double cover) {
    return soilMass + (deposited * (1 - cover) + f.Fwo - f.soilLost());
}
inline double airAfter(double airMass, double gained, double lost) { return airMass + (gained - lost); }
inline double waterAfter(double waterMass, double gained, const WaterFluxes& f) {
    return waterMass + (gained - f.lost());
}

}  // namespace verdanel::fate
