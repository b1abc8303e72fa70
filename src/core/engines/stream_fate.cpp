#include "core/engines/stream_fate.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace verdanel {

namespace {

// km/h to m/min and mm per day to m/s, as single-precision constants.
constexpr double kKmPerHourToMetresPerMinute = static_cast<double>(16.666666f);
constexpr double kMillimetresPerDayToMetresPerSecond = static_cast<double>(1.1574074e-8f);
constexpr double kGramsPerMinuteToMicrogramsPerSecond = 16666.666666666668;
constexpr double kDegreesToRadians = 0.017444444444444446;  // pi taken as 3.14
constexpr double kMixingHeight = 100;                        // m
constexpr double kSoilDepth = 0.1;                           // m

// m if v > m, 0 if v < 0, else v; an overlap never comes out negative.
double overlap(double v, double m) {
    const double o = v > m ? m : (v < 0 ? 0.0 : v);
    return std::max(o, 0.0);
}

}  // namespace

StreamFate::StreamFate(const ScenarioParameters& p, const ChemicalProperties& chem) {
    const double L = p.sprayLength;
    const double W = p.sprayWidth;
    const double V = p.vehicleSpeed;
    const double q = p.sprayRate;
    const double n = p.dilutionRatio;
    const double c0 = p.injectedConcentration;
    const double LAI = p.leafAreaIndex;
    const double cov = p.canopyCover;
    const double B = p.bankWidth;
    const double Ws = p.waterWidth;
    const double d = p.waterDepth;
    const double vw = p.waterVelocity;
    length_ = L;
    width_ = W;
    waterWidth_ = Ws;
    cover_ = cov;
    leafAreaIndex_ = LAI;

    const double a = B - W;
    StreamGeometry& g = geometry_;
    g.adjacentWidth = a;
    const std::array<double, 4> stripWidth{W, a, a, W};
    for (int k = 0; k < stream_land::kCount; ++k) {
        g.landArea[k] = stripWidth[k] * L;
        g.coveredArea[k] = g.landArea[k] * cov;
        g.leafArea[k] = g.coveredArea[k] * LAI;
        g.soilVolume[k] = g.landArea[k] * kSoilDepth;
        g.airArea[k] = g.landArea[k];
    }
    g.waterArea = Ws * L;
    g.airArea[stream_air::kWater] = g.waterArea;
    for (int j = 0; j < stream_air::kCount; ++j) g.airVolume[j] = g.airArea[j] * kMixingHeight;
    g.waterVolume = Ws * L * d;
    g.flow = vw * d * Ws;

    sprayDuration_ = L / (V * kKmPerHourToMetresPerMinute) * 60;
    sprayRate_ = (1 / n) * c0 * q * kGramsPerMinuteToMicrogramsPerSecond;

    const double logKow = chem.logKow;
    StreamRunConstants& k = run_;
    k.Kd = 0.0082 * std::pow(10.0, logKow);
    const double fromOptimum = logKow - 1.78;
    k.TSCF = 0.784 * std::exp(-0.4098360655737705 * (fromOptimum * fromOptimum));
    k.Kaw = chem.henryConstant * 0.00040634813307413744;
    k.Zs = 0.001 * k.Kd * 2650 + 0.3 * k.Kaw + 0.3;
    k.vdep = (1e-4 * 200) * (1e-4 * 200) * 1666 / (1e-4 * 44.3088) * 0.01;
    k.kpen = (0.1663 - 0.012 * logKow) / 3600;
    k.kair = std::numbers::ln2 / chem.halfLifeAir / 3600;
    k.kleaf = k.kair / 3600;
    k.ksoil = std::numbers::ln2 / chem.halfLifeSoil / 3600;
    k.kwater = std::numbers::ln2 / chem.halfLifeWater / 3600;
    const double tortuosity = 0.3 * 0.3 * 0.3 / (0.6 * 0.6);
    k.rs = 1 / (5 * tortuosity * chem.diffusivityWater / 3600 / k.Kaw + 5 * tortuosity * chem.diffusivityAir / 3600);

    // Edges of the strips seen from the upwind edge of spray1.
    const std::array<double, 5> edge{W, W + a, W + a + Ws, W + 2 * a + Ws, 2 * W + 2 * a + Ws};
    for (int i = 0; i < 5; ++i) distancePower_[i] = std::pow(edge[i], -1.05);
    const std::array<double, 4> erosion{0.5, 0.6, 0.5, 0.6};
    for (int s = 0; s < stream_land::kCount; ++s) {
        erosionFactor_[s] = 0.001 * k.Kd * erosion[s];
        penetration_[s] = k.kpen * g.coveredArea[s] * LAI;
        plantDecay_[s] = k.kleaf * g.leafArea[s];
    }

    setWeather(DayWeather{});
}

void StreamFate::setWeather(const DayWeather& weather) {
    const double u = weather.windSpeed;
    const double L = length_;
    const double W = width_;
    const double Ws = waterWidth_;
    const double a = geometry_.adjacentWidth;
    StreamDayCoefficients& c = day_;

    c.rain = weather.rainfall * kMillimetresPerDayToMetresPerSecond;
    raining_ = c.rain > 0;
    c.humidityTerm = weather.humidity * 0.01 * 3;
    c.kg = 0.00065 * u * std::sqrt(3.843 * u);
    // No wind: 1 / kg is infinite and both conductances come out 0.
    c.Kvs = 1 / (1 / c.kg + run_.rs);
    c.Kvw = 1 / (run_.Kaw / c.kg + 1500);

    c.driftA = 0.4 * weather.temperature + 0.05 * u + 13.0 - 1.74 * c.humidityTerm;
    std::array<double, 5> beyond{};  // fraction drifting past each strip edge
    for (int i = 0; i < 5; ++i) beyond[i] = c.driftA * distancePower_[i] * 0.01;
    // The spray drifting past the far field is not followed.
    c.sprayShare[0] = 1 - beyond[0];
    for (int i = 1; i < 5; ++i) c.sprayShare[i] = beyond[i - 1] - beyond[i];

    const double U = static_cast<float>(u * 3.6);
    c.spread = 0.136 * U * std::pow(1 + 0.4 * U, -0.5);
    const double s = c.spread;
    // Directions past 180 degrees fold back onto the same side.
    const double theta = weather.windDirection > 180 ? weather.windDirection - 180 : weather.windDirection;
    const double phi = (theta + 11.3) * kDegreesToRadians;
    c.ux = u * std::cos(phi);
    c.uy = u * std::sin(phi);
    const double uy = c.uy;
    c.alongOverlap = overlap(L + s / 2 - std::abs(c.ux), L);

    // Across-wind overlaps [source][target]; the adj2 and spray2 boxes sit at
    // fixed offsets from spray1 for the whole run.
    using namespace stream_air;
    std::array<std::array<double, 5>, 5> oy{};
    std::array<double, 5> offset{};
    offset[kSpray1] = 0;
    offset[kAdj1] = W;
    offset[kWater] = W + (a + Ws) / 2;
    offset[kAdj2] = W + a + Ws;
    offset[kSpray2] = W + 2 * a + Ws;
    for (int j = 0; j < kCount; ++j) oy[kSpray1][j] = overlap(W + s / 2 - std::abs(offset[j] - uy), W);
    oy[kAdj1][kSpray1] = overlap(W + s / 2 - std::abs(W + uy), W);
    oy[kAdj1][kAdj1] = overlap(W + s / 2 - std::abs(uy), W);
    oy[kAdj1][kWater] = overlap(uy + s / 2, Ws);
    oy[kAdj1][kAdj2] = overlap(uy + s / 2 - Ws, a);
    oy[kAdj1][kSpray2] = overlap(uy + s / 2 - (a + Ws), a);
    oy[kAdj2][kAdj2] = overlap(a + s / 2 - uy, a);
    oy[kAdj2][kSpray2] = overlap(uy + s / 2, a);
    oy[kSpray2][kSpray2] = overlap(a + s / 2 - uy, a);
    oy[kWater][kWater] = overlap(Ws + s / 2 - uy, Ws);
    oy[kWater][kAdj2] = overlap(uy + s / 2, Ws);

    for (int i = 0; i < kCount; ++i) {
        // adj1 and adj2 spread over W, not a, as the sprayed strips do.
        const double sourceWidth = i == kWater ? Ws : W;
        const double area = (sourceWidth + s) * (L + s);
        double sent = 0;
        for (int j = 0; j < kCount; ++j) {
            c.transport[i][j] = c.alongOverlap * oy[i][j] / area;
            sent += c.transport[i][j];
        }
        // The air a box sends out can never exceed what it holds.
        if (sent > 1)
            for (int j = 0; j < kCount; ++j) c.transport[i][j] /= sent;
    }

    powersBuilt_ = 0;
    spansBuilt_ = 0;
}

std::array<double, 5> StreamFate::transported(const std::array<double, 5>& air) const {
    std::array<double, 5> to{};
    for (int j = 0; j < stream_air::kCount; ++j)
        for (int i = 0; i < stream_air::kCount; ++i) to[j] += air[i] * day_.transport[i][j];
    return to;
}

// One second: every rate from the concentrations the masses give, then the
// mass update, then the wind's move of the air.
void StreamFate::secondFrom(const Masses& m, double sprayRate, Masses& next) const {
    const StreamGeometry& g = geometry_;
    const StreamRunConstants& k = run_;
    const StreamDayCoefficients& c = day_;
    const double r = c.rain;

    std::array<double, 5> Ca{};
    for (int j = 0; j < stream_air::kCount; ++j) Ca[j] = m[kAirMass + j] / g.airVolume[j];
    const double Cw = m[kWaterMass] / g.waterVolume;

    // Dry and wet deposition out of each air box, and its degradation.
    std::array<double, 5> deposition{}, airLoss{};
    for (int j = 0; j < stream_air::kCount; ++j) {
        const double Fdd = g.airArea[j] * Ca[j] * k.vdep;
        const double Fwd = g.airArea[j] * Ca[j] * r * 200000;
        const double Fda = g.airVolume[j] * Ca[j] * k.kair;
        deposition[j] = Fdd + Fwd;
        airLoss[j] = Fda + Fdd + Fwd;
    }

    const double Pplant = c.sprayShare[0] * cover_ * sprayRate;
    const double Psoil = c.sprayShare[0] * (1 - cover_) * sprayRate;
    std::array<double, 5> airGain{Psoil + Pplant, c.sprayShare[1] * sprayRate, c.sprayShare[3] * sprayRate,
                                  c.sprayShare[4] * sprayRate + Psoil + Pplant, c.sprayShare[2] * sprayRate};

    double toWater = 0;
    for (int s = 0; s < stream_land::kCount; ++s) {
        const double Cp = m[kPlantMass + s] / g.leafArea[s];
        const double Cs = m[kSoilMass + s] / g.soilVolume[s];
        const double X = Cs / k.Zs * g.landArea[s];
        const double Fvp = (k.Kaw * Cp - Ca[s]) * g.leafArea[s] * 2.8888888888888886e-6;
        const double Fpen = penetration_[s] * Cp * k.Kaw;
        const double Fdp = plantDecay_[s] * Cp;
        const double Fvs = (Cs / k.Zs - Ca[s]) * g.landArea[s] * k.Kaw * c.Kvs;
        const double Fds = g.soilVolume[s] * Cs * k.ksoil;
        const double Fru = X * k.TSCF * 5.75e-9;
        const double Fle = X * r * 0.1;
        double Fwo = 0, Fer = 0, Frun = 0;
        if (raining_) {
            Fwo = g.leafArea[s] * Cp * 0.0006666666666666666;
            Fer = erosionFactor_[s] * X * 0.00011538461538461538;
            Frun = X * r * 0.1;
        }
        airGain[s] += Fvs + Fvp;
        next[kPlantMass + s] = m[kPlantMass + s] + (deposition[s] * cover_ - (Fvp + Fpen + Fdp + Fwo));
        next[kSoilMass + s] =
            m[kSoilMass + s] + (deposition[s] * (1 - cover_) + Fwo - (Fvs + Fds + Fle + Fer + Frun + Fru));
        toWater += Frun + Fer;
    }

    const double Fvw = (Cw * k.Kaw - Ca[stream_air::kWater]) * g.waterArea * c.Kvw;
    const double Fout = g.flow * Cw;
    const double Fdw = g.waterVolume * Cw * k.kwater;
    airGain[stream_air::kWater] += Fvw;
    next[kWaterMass] = m[kWaterMass] + (toWater + deposition[stream_air::kWater] - (Fvw + Fout + Fdw));

    std::array<double, 5> air{};
    for (int j = 0; j < stream_air::kCount; ++j) air[j] = m[kAirMass + j] + (airGain[j] - airLoss[j]);
    const std::array<double, 5> moved = transported(air);
    for (int j = 0; j < stream_air::kCount; ++j) next[kAirMass + j] = moved[j];
}

void StreamFate::step(double sprayRate) {
    Masses next;
    secondFrom(masses_, sprayRate, next);
    masses_ = next;
}

void StreamFate::outputs(double* values) const {
    const StreamGeometry& g = geometry_;
    using namespace stream_air;
    int i = 0;
    for (int box : {kSpray1, kAdj1, kWater, kAdj2, kSpray2}) values[i++] = airMass(box) / g.airVolume[box];
    for (int s = 0; s < stream_land::kCount; ++s) values[i++] = soilMass(s) / g.soilVolume[s];
    for (int s = 0; s < stream_land::kCount; ++s) values[i++] = plantMass(s) / g.leafArea[s];
    values[i] = waterMass() / g.waterVolume * 0.001;
}

// The one-second map read off the plain second: its spray column from empty
// compartments at a unit rate, its matrix column by column from unit masses.
// Longer maps by squaring.
void StreamFate::ensurePowers(int count) {
    if (powersBuilt_ == 0) {
        SecondsMap& one = powers_[0];
        one.a.fill(0);
        one.b.fill(0);
        Masses unit{}, out;
        secondFrom(unit, 1.0, out);
        std::copy(out.begin(), out.end(), one.b.begin());
        for (int col = 0; col < kMassCount; ++col) {
            unit.fill(0);
            unit[col] = 1;
            secondFrom(unit, 0.0, out);
            std::copy(out.begin(), out.end(), one.a.begin() + col * kRows);
        }
        powersBuilt_ = 1;
    }
    for (; powersBuilt_ < count; ++powersBuilt_)
        chain(powers_[powersBuilt_ - 1], powers_[powersBuilt_ - 1], powers_[powersBuilt_]);
}

// `first` then `second`: (A2, b2) after (A1, b1) is (A2 A1, A2 b1 + b2).
void StreamFate::chain(const SecondsMap& first, const SecondsMap& second, SecondsMap& out) {
    out.a.fill(0);
    out.b = second.b;
    for (int k = 0; k < kMassCount; ++k) {
        const double* from = &second.a[k * kRows];
        for (int col = 0; col < kMassCount; ++col) {
            const double x = first.a[col * kRows + k];
            double* to = &out.a[col * kRows];
            for (int row = 0; row < kRows; ++row) to[row] += from[row] * x;
        }
        const double y = first.b[k];
        for (int row = 0; row < kRows; ++row) out.b[row] += from[row] * y;
    }
}

void StreamFate::apply(const SecondsMap& map, double sprayRate) {
    alignas(64) std::array<double, kRows> next;
    for (int row = 0; row < kRows; ++row) next[row] = sprayRate * map.b[row];
    for (int col = 0; col < kMassCount; ++col) {
        const double* from = &map.a[col * kRows];
        const double x = masses_[col];
        for (int row = 0; row < kRows; ++row) next[row] += from[row] * x;
    }
    std::copy(next.begin(), next.begin() + kMassCount, masses_.begin());
}

// A span asked for again within the day (59 s between stored rows, say) is
// one product; the first few spans of a day get a map of their own, any
// other span goes by the powers of two it is made of.
void StreamFate::advance(double sprayRate, int seconds) {
    if (seconds <= 0) return;
    for (int i = 0; i < spansBuilt_; ++i) {
        if (spans_[i].seconds == seconds) {
            apply(spans_[i].map, sprayRate);
            return;
        }
    }
    int top = 0;
    while (top + 1 < kPowerCount && (seconds >> (top + 1)) != 0) ++top;
    ensurePowers(top + 1);
    if (spansBuilt_ < kSpanCount && seconds < (1 << kPowerCount)) {
        Span& span = spans_[spansBuilt_];
        SecondsMap scratch;
        bool empty = true;
        for (int p = 0; p <= top; ++p) {
            if ((seconds >> p & 1) == 0) continue;
            if (empty) {
                span.map = powers_[p];
            } else {
                chain(span.map, powers_[p], scratch);
                span.map = scratch;
            }
            empty = false;
        }
        span.seconds = seconds;
        ++spansBuilt_;
        apply(span.map, sprayRate);
        return;
    }
    for (int p = top; p >= 0; --p) {
        const int length = 1 << p;
        while (seconds >= length) {
            apply(powers_[p], sprayRate);
            seconds -= length;
        }
    }
}

}  // namespace verdanel
