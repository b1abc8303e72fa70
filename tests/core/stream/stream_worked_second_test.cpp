// One second of the Stream model worked by hand from its equations, written
// out here term by term without the model's code, so that a change to any
// rate, share or overlap that moves a mass by more than 1e-12 of it fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "core/engines/stream_fate.hpp"

using namespace verdanel;

namespace {

using Masses = std::array<double, 14>;  // air x5 (S1 A1 A2 S2 W), plant x4, soil x4, water

Masses workedSecond(const ScenarioParameters& p, const ChemicalProperties& c, const DayWeather& w, double sNow,
                    const Masses& M) {
    // The scene.
    const double L = p.sprayLength, W = p.sprayWidth, B = p.bankWidth, Ws = p.waterWidth;
    const double d = p.waterDepth, vw = p.waterVelocity, cov = p.canopyCover, LAI = p.leafAreaIndex;
    const double a = B - W;
    const double width[4] = {W, a, a, W};
    double ground[4], covered[4], leaf[4], soilVolume[4];
    for (int k = 0; k < 4; ++k) {
        ground[k] = width[k] * L;
        covered[k] = ground[k] * cov;
        leaf[k] = covered[k] * LAI;
        soilVolume[k] = ground[k] * 0.1;
    }
    const double airGround[5] = {W * L, a * L, a * L, W * L, Ws * L};
    double airVolume[5];
    for (int j = 0; j < 5; ++j) airVolume[j] = airGround[j] * 100;
    const double waterArea = Ws * L, waterVolume = Ws * L * d, Q = vw * d * Ws;

    // The chemical.
    const double Kd = 0.0082 * std::pow(10, c.logKow);
    const double TSCF = 0.784 * std::exp(-(c.logKow - 1.78) * (c.logKow - 1.78) / 2.44);
    const double Kaw = c.henryConstant / (8.314 * 296);
    const double Zs = 0.001 * Kd * 2650 + 0.3 * Kaw + 0.3;
    const double vdep = 0.02 * 0.02 * 1666 / 44.3088e-4 * 0.01;  // 200 µm droplets of 1666 kg/m3
    const double kpen = (0.1663 - 0.012 * c.logKow) / 3600;
    const double kair = std::numbers::ln2 / (c.halfLifeAir * 3600);
    const double kleaf = kair / 3600;
    const double ksoil = std::numbers::ln2 / (c.halfLifeSoil * 3600);
    const double kwater = std::numbers::ln2 / (c.halfLifeWater * 3600);
    const double rs = 1 / (0.375 * c.diffusivityWater / 3600 / Kaw + 0.375 * c.diffusivityAir / 3600);
    const double f[4] = {0.5, 0.6, 0.5, 0.6};

    // The day's weather.
    const double u = w.windSpeed;
    const double r = w.rainfall * double(1.1574074e-8f);
    const double h = w.humidity * 0.03;
    const double kg = 0.00065 * u * std::sqrt(3.843 * u);
    const double Kvs = 1 / (1 / kg + rs), Kvw = 1 / (Kaw / kg + 1500);
    const double A = 0.4 * w.temperature + 0.05 * u + 13 - 1.74 * h;
    auto F = [A](double x) { return A * std::pow(x, -1.05) / 100; };
    const double U = float(u * 3.6);
    const double s = 0.136 * U / std::sqrt(1 + 0.4 * U);
    const double theta = w.windDirection > 180 ? w.windDirection - 180 : w.windDirection;
    const double phi = (theta + 11.3) * 3.14 / 180;
    const double ux = u * std::cos(phi), uy = u * std::sin(phi);

    // Rates from the concentrations the second starts with.
    double Ca[5], Cp[4], Cs[4];
    for (int j = 0; j < 5; ++j) Ca[j] = M[j] / airVolume[j];
    for (int k = 0; k < 4; ++k) Cp[k] = M[5 + k] / leaf[k], Cs[k] = M[9 + k] / soilVolume[k];
    const double Cw = M[13] / waterVolume;
    const double kept = (1 - F(W)) * sNow;  // enters the air above spray1 and again above spray2
    const double drift[5] = {0, (F(W) - F(W + a)) * sNow, (F(W + a + Ws) - F(W + 2 * a + Ws)) * sNow,
                             (F(W + 2 * a + Ws) - F(2 * W + 2 * a + Ws)) * sNow, (F(W + a) - F(W + a + Ws)) * sNow};
    Masses next{};
    double air[5], toWater = 0;
    for (int j = 0; j < 5; ++j) {
        const double deposited = airGround[j] * Ca[j] * (vdep + r * 200000);
        air[j] = M[j] - deposited - airVolume[j] * Ca[j] * kair + drift[j] + (j == 0 || j == 3 ? kept : 0);
        if (j == 4) {
            const double Fvw = (Cw * Kaw - Ca[4]) * waterArea * Kvw;
            air[4] += Fvw;
            next[13] = M[13] + deposited - Fvw - Q * Cw - waterVolume * Cw * kwater;
            continue;
        }
        const double X = Cs[j] / Zs * ground[j];
        const double Fvp = (Kaw * Cp[j] - Ca[j]) * leaf[j] * 0.0104 / 3600;
        const double Fvs = (Cs[j] / Zs - Ca[j]) * ground[j] * Kaw * Kvs;
        const double Fwo = r > 0 ? leaf[j] * Cp[j] / 1500 : 0;
        const double Fer = r > 0 ? 0.001 * Kd * f[j] * X * 0.075 / 650 : 0;
        const double Frun = r > 0 ? X * r * 0.1 : 0;
        air[j] += Fvp + Fvs;
        next[5 + j] = M[5 + j] + deposited * cov - Fvp - kpen * covered[j] * LAI * Cp[j] * Kaw - kleaf * leaf[j] * Cp[j] - Fwo;
        next[9 + j] = M[9 + j] + deposited * (1 - cov) + Fwo - Fvs - soilVolume[j] * Cs[j] * ksoil - X * r * 0.1 - Fer -
                      Frun - X * TSCF * 5.75e-9;
        toWater += Frun + Fer;
    }
    next[13] += toWater;

    // The wind's move of the air.
    const double ox = std::clamp(L + s / 2 - std::abs(ux), 0.0, L);
    auto clamp = [](double v, double m) { return std::clamp(v, 0.0, m); };
    const double y[5] = {0, W, W + a + Ws, W + 2 * a + Ws, W + (a + Ws) / 2};  // offsets from spray1
    double oy[5][5] = {};
    for (int j = 0; j < 5; ++j) oy[0][j] = clamp(W + s / 2 - std::abs(y[j] - uy), W);
    oy[1][0] = clamp(W + s / 2 - std::abs(W + uy), W);
    oy[1][1] = clamp(W + s / 2 - std::abs(uy), W);
    oy[1][4] = clamp(uy + s / 2, Ws);
    oy[1][2] = clamp(uy + s / 2 - Ws, a);
    oy[1][3] = clamp(uy + s / 2 - (a + Ws), a);
    oy[2][2] = clamp(a + s / 2 - uy, a);
    oy[2][3] = clamp(uy + s / 2, a);
    oy[3][3] = clamp(a + s / 2 - uy, a);
    oy[4][4] = clamp(Ws + s / 2 - uy, Ws);
    oy[4][2] = clamp(uy + s / 2, Ws);
    const double spreadOver[5] = {W, W, a, a, Ws};  // the width the source's overlaps clamp to (adj1: W)
    for (int i = 0; i < 5; ++i) {
        double T[5], sent = 0;
        for (int j = 0; j < 5; ++j) {
            T[j] = air[i] * ox * oy[i][j] / ((spreadOver[i] + s) * (L + s));
            sent += T[j];
        }
        for (int j = 0; j < 5; ++j) next[j] += sent > air[i] ? T[j] * air[i] / sent : T[j];  // never more than it holds
    }
    return next;
}

}  // namespace

TEST(StreamWorkedSecond, EveryMassAfterOneSecondFollowsTheEquations) {
    const ChemicalProperties chlorpyrifos{4.7, 1.4, 612, 1200, 4.71e-06, 0.0209, 2.998e-06};
    // A volatile, mobile chemical: its penetration and root uptake are no longer negligible.
    const ChemicalProperties volatileChemical{3.0, 10, 100, 200, 10, 0.03, 3e-6};
    ScenarioParameters defaults, narrowBank, wideBank;
    narrowBank.bankWidth = 10;  // adjacent strips of 3 m beside fields of 7 m
    wideBank.bankWidth = 20;    // 13 m
    const Masses start{20, 30, 40, 50, 10, 4000, 3000, 2000, 1000, 9000, 8000, 7000, 6000, 700};
    const struct {
        const char* what;
        ScenarioParameters parameters;
        ChemicalProperties chemical;
        DayWeather weather;  // wind speed, direction, temperature, rain, humidity
        bool spray;
    } cases[] = {
        {"sprayed in a light breeze with rain", defaults, chlorpyrifos, {0.5, 30, 22, 12, 75}, true},
        {"dry cross-wind, volatile chemical", defaults, volatileChemical, {3, 80, 28, 0, 40}, false},
        {"wind from the far side, folded direction", defaults, volatileChemical, {2, 350, 15, 4, 90}, true},
        {"narrow bank, rain", narrowBank, chlorpyrifos, {1.5, 60, 18, 20, 85}, true},
        {"wide bank, cross-wind", wideBank, volatileChemical, {2.5, 75, 25, 0, 55}, false},
        {"gale along the stream", defaults, chlorpyrifos, {15, 170, 20, 0, 60}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StreamFate model(c.parameters, c.chemical);
        model.setWeather(c.weather);
        model.setMasses(start);
        const double sNow = c.spray ? model.sprayRateWhileSpraying() : 0;
        model.step(sNow);
        const Masses want = workedSecond(c.parameters, c.chemical, c.weather, sNow, start);
        for (int i = 0; i < 14; ++i) {
            EXPECT_GT(want[i], 0) << i;  // every compartment in play
            EXPECT_NEAR(model.masses()[i], want[i], want[i] * 1e-12) << "mass " << i;
        }
    }
    // The spray rate itself: (1 / n) c0 q in µg/s.
    EXPECT_DOUBLE_EQ(StreamFate(defaults, chlorpyrifos).sprayRateWhileSpraying(), 15.0 / 100 * 7.5 * 1e6 / 60);
}
