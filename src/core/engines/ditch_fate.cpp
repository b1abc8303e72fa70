#include "core/engines/ditch_fate.hpp"

#include <algorithm>
#include <cmath>

namespace verdanel {

namespace {

constexpr double kMixingHeight = 100.0;  // m
constexpr double kSoilDepth = 0.1;       // m
// km/h to m/min, kept at single precision.
constexpr double kKmhToMetresPerMinute = static_cast<double>(16.666666f);
// g/min to µg/s.
constexpr double kGramsPerMinuteToMicrogramsPerSecond = 16666.666666666668;
// mm per day to m/s, kept at single precision.
constexpr double kMmPerDayToMetresPerSecond = static_cast<double>(1.1574074e-8f);
constexpr double kPercent = static_cast<double>(0.01f);
constexpr double kHumidityScale = static_cast<double>(3.0f);
// Degrees to radians with pi taken as 3.14.
constexpr double kDegreesToRadians = 0.017444444444444446;
// Leaf-side volatilization velocity 0.0104 m/h, per second.
constexpr double kLeafVolatilization = 2.8888888888888886e-6;
constexpr double kWashOff = 0.0006666666666666666;       // 1 / 1500
constexpr double kErosionPerKd = 0.0015384615384615385;  // 1 / 650
constexpr double kRootUptake = 5.75e-9;
constexpr double kWetScavenging = 200000.0;

}  // namespace

DitchFate::DitchFate(const ScenarioParameters& parameters, const ChemicalProperties& chemical) {
    const double L = parameters.sprayLength;
    const double V = parameters.vehicleSpeed;
    const double q = parameters.sprayRate;
    const double n = parameters.dilutionRatio;
    const double c0 = parameters.injectedConcentration;
    const double LAI = parameters.leafAreaIndex;
    const double cov = parameters.canopyCover;
    const double B = parameters.bankWidth;
    const double Ws = parameters.waterWidth;
    const double d = parameters.waterDepth;
    const double vw = parameters.waterVelocity;

    Geometry& g = geometry_;
    g.length = L;
    g.bankStripWidth = (B - Ws) * 0.5;
    g.waterWidth = Ws;
    g.stripArea = g.bankStripWidth * L;
    g.waterArea = Ws * L;
    g.boxGroundArea = {g.stripArea, g.stripArea, g.waterArea};
    for (int j = 0; j < 3; ++j) g.airVolume[j] = g.boxGroundArea[j] * kMixingHeight;
    g.sceneArea = g.waterArea + g.stripArea + g.stripArea;
    g.coveredArea = g.stripArea * cov;
    g.leafArea = g.coveredArea * LAI;
    g.soilVolume = g.stripArea * kSoilDepth;
    g.waterVolume = Ws * L * d;
    g.waterFlow = vw * d * Ws;
    g.canopyCover = cov;
    g.leafAreaIndex = LAI;
    g.sprayDuration = L / (V * kKmhToMetresPerMinute) * 60.0;
    g.sprayRate = (1.0 / n) * c0 * q * kGramsPerMinuteToMicrogramsPerSecond;

    RunConstants& k = constants_;
    const double logKow = chemical.logKow;
    k.Kd = 0.0082 * std::pow(10.0, logKow);
    k.TSCF = 0.784 * std::exp(-0.4098360655737705 * ((logKow - 1.78) * (logKow - 1.78)));
    k.Kaw = chemical.henryConstant * 0.00040634813307413744;
    k.Zs = 0.001 * k.Kd * 2650.0 + 0.3 * k.Kaw + 0.3;
    // Particle of 200 µm, density 2646 kg/m3, air viscosity 44.3088e-4.
    k.vdep = (1e-4 * 200.0) * (1e-4 * 200.0) * 2646.0 / (1e-4 * 44.3088) * 0.01;
    k.kpen = (0.1663 - 0.012 * logKow) / 3600.0;
    const double ln2 = std::log(2.0);
    k.kair = ln2 / chemical.halfLifeAir / 3600.0;
    k.kleaf = k.kair / 3600.0;
    k.ksoil = ln2 / chemical.halfLifeSoil / 3600.0;
    k.kwater = ln2 / chemical.halfLifeWater / 3600.0;
    const double porosityTerm = (0.3 * 0.3 * 0.3) / (0.6 * 0.6);  // 0.075
    k.rs = 1.0 / (5.0 * porosityTerm * chemical.diffusivityWater / 3600.0 / k.Kaw +
                  5.0 * porosityTerm * chemical.diffusivityAir / 3600.0);
    k.Bx = std::pow(B, -1.05);
    k.erosionFactor = {0.9, 1.0};

    setWeather(DayWeather{});
}

void DitchFate::setWeather(const DayWeather& weather) {
    const Geometry& g = geometry_;
    const RunConstants& k = constants_;
    DayCoefficients& c = day_;
    const double u = weather.windSpeed;
    const double L = g.length;

    c.rain = weather.rainfall * kMmPerDayToMetresPerSecond;
    c.humidityTerm = weather.humidity * kPercent * kHumidityScale;

    // With no wind kg is 0 and both conductances come out 0.
    c.kg = 0.00065 * u * std::sqrt(3.843 * u);
    c.Kvs = 1.0 / (1.0 / c.kg + k.rs);
    c.Kvw = 1.0 / (k.Kaw / c.kg + 1500.0);

    const double A = 0.4 * weather.temperature + 0.05 * u + 13.0 - 1.74 * c.humidityTerm;
    c.driftFraction = A * k.Bx * 0.01;

    c.spreadSpeed = static_cast<double>(static_cast<float>(u * 3.6));
    const double U = c.spreadSpeed;
    c.spread = 0.136 * U * std::pow(1.0 + 0.4 * U, -0.5);
    const double s = c.spread;

    // The direction is folded onto one side of the ditch; the 11.3 degree turn can
    // still carry phi past 180 degrees, so only the size of the cross-wind counts.
    c.foldedDirection = weather.windDirection > 180.0 ? weather.windDirection - 180.0 : weather.windDirection;
    c.phi = (c.foldedDirection + 11.3) * kDegreesToRadians;
    c.ux = u * std::cos(c.phi);
    c.uy = std::fabs(u * std::sin(c.phi));
    const double uy = c.uy;

    c.overlapAlong = std::clamp(L + s / 2.0 - std::fabs(c.ux), 0.0, L);

    const double b = g.bankStripWidth;
    const double Ws = g.waterWidth;
    auto& oy = c.overlapAcross;
    oy[kBoxSpray1][kBoxSpray1] = s / 2.0 + b - uy;
    oy[kBoxSpray1][kBoxSpray2] = s / 2.0 - uy > Ws ? (s / 2.0 - uy) - Ws : 0.0;
    oy[kBoxSpray1][kBoxWater] = std::clamp(uy + s / 2.0, 0.0, Ws);
    oy[kBoxSpray2][kBoxSpray1] = 0.0;
    oy[kBoxSpray2][kBoxSpray2] = s / 2.0 + b - uy;
    oy[kBoxSpray2][kBoxWater] = 0.0;
    oy[kBoxWater][kBoxSpray1] = 0.0;
    oy[kBoxWater][kBoxSpray2] = uy + s / 2.0;
    oy[kBoxWater][kBoxWater] = s / 2.0 + Ws - uy;

    const std::array<double, 3> width = {b, b, Ws};
    for (int i = 0; i < 3; ++i) {
        // An overlap that comes out negative is no overlap.
        for (int j = 0; j < 3; ++j) oy[i][j] = std::max(oy[i][j], 0.0);
        c.transferDenominator[i] = (width[i] + s) * (L + s);
        c.overlapAcrossSum[i] = oy[i][0] + oy[i][1] + oy[i][2];
        double sent = 0.0;
        for (int j = 0; j < 3; ++j) sent += c.overlapAlong * oy[i][j] / c.transferDenominator[i];
        // A box never sends more air than it holds.
        c.scaledSource[i] = sent > 1.0;
    }

    buildMaps();
}

double DitchFate::transferFraction(int from, int to) const {
    const DayCoefficients& c = day_;
    if (c.scaledSource[from]) return c.overlapAcross[from][to] / c.overlapAcrossSum[from];
    return c.overlapAlong * c.overlapAcross[from][to] / c.transferDenominator[from];
}

void DitchFate::step(double sprayRate) { stepMasses(masses_, sprayRate); }

void DitchFate::stepMasses(Masses& m, double sprayRate) const {
    const Geometry& g = geometry_;
    const RunConstants& k = constants_;
    const DayCoefficients& c = day_;
    const double r = c.rain;
    const bool raining = r > 0.0;

    // Concentrations left by the previous step.
    std::array<double, 3> Ca;
    for (int j = 0; j < 3; ++j) Ca[j] = m[kAirSpray1 + j] / g.airVolume[j];
    const double Cw = m[kWater] / g.waterVolume;

    // Kept spray, shared among the air boxes by ground area.
    const double P = (1.0 - c.driftFraction) * sprayRate;
    std::array<double, 3> Pj{0.0, 0.0, 0.0};
    if (P != 0.0)
        for (int j = 0; j < 3; ++j) Pj[j] = P * g.boxGroundArea[j] / g.sceneArea;

    // Air boxes: dry and wet deposition, degradation.
    std::array<double, 3> Fdd, Fwd, Fda;
    for (int j = 0; j < 3; ++j) {
        Fdd[j] = g.boxGroundArea[j] * Ca[j] * k.vdep;
        Fwd[j] = g.boxGroundArea[j] * Ca[j] * r * kWetScavenging;
        Fda[j] = g.airVolume[j] * Ca[j] * k.kair;
    }

    // Bank strips: plants and soil.
    std::array<double, 2> Fvp, Fpen, Fdp, Fvs, Fds, Fru, Fle, Fwo, Fer, Frun;
    for (int s = 0; s < 2; ++s) {
        const double Cp = m[kPlantSpray1 + s] / g.leafArea;
        const double Cs = m[kSoilSpray1 + s] / g.soilVolume;
        const double X = Cs / k.Zs * g.stripArea;
        Fvp[s] = (k.Kaw * Cp - Ca[s]) * g.leafArea * kLeafVolatilization;
        Fpen[s] = k.kpen * g.coveredArea * g.leafAreaIndex * k.Kaw * Cp;
        Fdp[s] = k.kleaf * g.leafArea * Cp;
        Fvs[s] = (Cs / k.Zs - Ca[s]) * g.stripArea * k.Kaw * c.Kvs;
        Fds[s] = g.soilVolume * Cs * k.ksoil;
        Fru[s] = k.TSCF * X * kRootUptake;
        Fle[s] = r * X * 0.1;
        Fwo[s] = raining ? g.leafArea * Cp * kWashOff : 0.0;
        Fer[s] = raining ? X * k.erosionFactor[s] * 0.001 * k.Kd * kErosionPerKd : 0.0;
        Frun[s] = raining ? r * X * 0.1 : 0.0;
    }

    // Water: volatilization, outflow, degradation.
    const double Fvw = (Cw * k.Kaw - Ca[kBoxWater]) * g.waterArea * c.Kvw;
    const double Fout = g.waterFlow * Cw;
    const double Fdw = g.waterVolume * Cw * k.kwater;

    // Mass changes over the second; every rate above used the old masses.
    m[kAirSpray1] += (Fvs[0] + Fvp[0] + Pj[kBoxSpray1]) - (Fda[0] + Fdd[0] + Fwd[0]);
    m[kAirSpray2] += (Fvs[1] + Fvp[1] + Pj[kBoxSpray2]) - (Fda[1] + Fdd[1] + Fwd[1]);
    m[kAirWater] += (Fvw + Pj[kBoxWater]) - (Fda[2] + Fdd[2] + Fwd[2]);
    const double cov = g.canopyCover;
    for (int s = 0; s < 2; ++s) {
        m[kPlantSpray1 + s] += (Fwd[s] + Fdd[s]) * cov - (Fvp[s] + Fpen[s] + Fdp[s] + Fwo[s]);
        m[kSoilSpray1 + s] += ((Fwd[s] + Fdd[s]) * (1.0 - cov) + Fwo[s]) -
                              (Fvs[s] + Fds[s] + Fle[s] + Fer[s] + Frun[s] + Fru[s]);
    }
    // The ditch water gains runoff and eroded soil from both banks.
    m[kWater] += (Frun[1] + Fer[1] + Fwd[2] + Fdd[2] + Frun[0] + Fer[0]) - (Fvw + Fout + Fdw);

    // Air transport: each box's air lands in the boxes it overlaps after the wind
    // has moved it; what no box receives has left the scene. A pair without
    // overlap moves nothing, so it is skipped.
    std::array<double, 3> moved{0.0, 0.0, 0.0};
    for (int i = 0; i < 3; ++i) {
        const double M = m[kAirSpray1 + i];
        if (M == 0.0) continue;
        for (int j = 0; j < 3; ++j) {
            const double oy = c.overlapAcross[i][j];
            if (oy == 0.0) continue;
            moved[j] += c.scaledSource[i] ? M * oy / c.overlapAcrossSum[i]
                                          : M * c.overlapAlong * oy / c.transferDenominator[i];
        }
    }
    for (int j = 0; j < 3; ++j) m[kAirSpray1 + j] = moved[j];
}

void DitchFate::outputs(double* values) const {
    const Geometry& g = geometry_;
    const Masses& m = masses_;
    values[0] = m[kAirSpray1] / g.airVolume[kBoxSpray1];
    values[1] = m[kAirWater] / g.airVolume[kBoxWater];
    values[2] = m[kAirSpray2] / g.airVolume[kBoxSpray2];
    values[3] = m[kSoilSpray1] / g.soilVolume;
    values[4] = m[kSoilSpray2] / g.soilVolume;
    values[5] = m[kPlantSpray1] / g.leafArea;
    values[6] = m[kPlantSpray2] / g.leafArea;
    values[7] = m[kWater] / g.waterVolume * 0.001;  // µg/m3 to µg/L
}

// ---- fast path -------------------------------------------------------------

void DitchFate::buildMaps() {
    // The one-second map, read off the reference step: column c is where a unit
    // mass in slot c ends up, g is what one second of spray at 1 µg/s leaves.
    AffineMap& one = powers_[0];
    for (int col = 0; col < kMassCount; ++col) {
        Masses unit{};
        unit[col] = 1.0;
        stepMasses(unit, 0.0);
        for (int row = 0; row < kMassCount; ++row) one.a[row][col] = unit[row];
    }
    Masses sprayed{};
    stepMasses(sprayed, 1.0);
    one.g = sprayed;

    for (int level = 1; level < kPowerLevels; ++level) powers_[level] = compose(powers_[level - 1], powers_[level - 1]);
    spanSeconds_.fill(0);
    nextSpanSlot_ = 0;
}

DitchFate::AffineMap DitchFate::compose(const AffineMap& first, const AffineMap& second) {
    // x -> second(first(x)) = (S F) x + rate (S f + s)
    AffineMap out;
    for (int row = 0; row < kMassCount; ++row) {
        for (int col = 0; col < kMassCount; ++col) {
            double sum = 0.0;
            for (int mid = 0; mid < kMassCount; ++mid) sum += second.a[row][mid] * first.a[mid][col];
            out.a[row][col] = sum;
        }
        double sum = second.g[row];
        for (int mid = 0; mid < kMassCount; ++mid) sum += second.a[row][mid] * first.g[mid];
        out.g[row] = sum;
    }
    return out;
}

const DitchFate::AffineMap& DitchFate::spanMap(int seconds) {
    for (int slot = 0; slot < kCachedSpans; ++slot)
        if (spanSeconds_[slot] == seconds) return spans_[slot];
    const int slot = nextSpanSlot_;
    nextSpanSlot_ = (nextSpanSlot_ + 1) % kCachedSpans;
    bool empty = true;
    for (int level = 0; level < kPowerLevels; ++level) {
        if (((seconds >> level) & 1) == 0) continue;
        // Powers of one map commute, so the order of the factors does not matter.
        spans_[slot] = empty ? powers_[level] : compose(spans_[slot], powers_[level]);
        empty = false;
    }
    spanSeconds_[slot] = seconds;
    return spans_[slot];
}

void DitchFate::apply(const AffineMap& map, Masses& m, double sprayRate) {
    Masses out;
    for (int row = 0; row < kMassCount; ++row) {
        double sum = sprayRate * map.g[row];
        for (int col = 0; col < kMassCount; ++col) sum += map.a[row][col] * m[col];
        out[row] = sum;
    }
    m = out;
}

void DitchFate::advance(double sprayRate, int seconds) {
    if (seconds == 1) {
        step(sprayRate);
        return;
    }
    constexpr int kLongestSpan = (1 << kPowerLevels) - 1;
    while (seconds > 0) {
        const int span = std::min(seconds, kLongestSpan);
        apply(spanMap(span), masses_, sprayRate);
        seconds -= span;
    }
}

}  // namespace verdanel
