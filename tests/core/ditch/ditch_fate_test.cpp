#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "core/engines/ditch_fate.hpp"
#include "core/engines/fate_model.hpp"
#include "core/engines/scenario.hpp"

using namespace verdanel;
using D = DitchFate;

static_assert(FateModel<DitchFate>);

namespace {

const ChemicalProperties kChemical{4.7, 4, 600, 1000, 6e-6, 0.02, 2e-6};

DayWeather weather(double u, double theta, double T = 20, double R = 0, double RH = 60) {
    return DayWeather{u, theta, T, R, RH};
}

// Straight across the ditch: phi = pi/2 with the step's 3.14-based degrees and 11.3 degree turn.
const double kAcross = std::acos(-1.0) / 2 / 0.017444444444444446 - 11.3;  // 78.7456...

double totalAir(const D::Masses& m) { return m[D::kAirSpray1] + m[D::kAirSpray2] + m[D::kAirWater]; }

// One day sprayed at the window's spray hour (10:00, four minutes).
void runDay(DitchFate& fate) {
    const double S = fate.sprayRateWhileSpraying();
    for (int t = 0; t < 86400; ++t) fate.step(t >= 36000 && t < 36240 ? S : 0.0);
}

}  // namespace

TEST(DitchFate, DerivedValuesOfTheWindowDefaults) {
    DitchFate ditch(defaultParameters(ModelKind::Ditch), kChemical);
    EXPECT_DOUBLE_EQ(ditch.bankStripWidth(), 1.5);
    const double ground[3] = {900, 900, 600};
    const double share[3] = {0.375, 0.375, 0.25};
    for (int j = 0; j < 3; ++j) {
        EXPECT_DOUBLE_EQ(ditch.airBox(j).area, ground[j]);
        EXPECT_DOUBLE_EQ(ditch.airBox(j).volume, ground[j] * 100);
        EXPECT_DOUBLE_EQ(ditch.keptShare(j), share[j]);
    }
    // cov and d are single-precision fields, so 0.8f and 0.1f carry into these.
    for (int k = 0; k < 2; ++k) {
        EXPECT_NEAR(ditch.land(k).leafArea, 1440, 1e-4);
        EXPECT_NEAR(ditch.land(k).soilVolume, 90, 1e-12);
    }
    EXPECT_NEAR(ditch.water().volume, 60, 1e-5);
    EXPECT_NEAR(ditch.water().flow, 0.015, 1e-9);
    EXPECT_DOUBLE_EQ(ditch.sprayRateWhileSpraying(), 18750);
    EXPECT_NEAR(ditch.sprayDuration(), 196.36, 0.005);
    EXPECT_NEAR(ditch.driftDistanceFactor(), 0.23326, 5e-6);
    EXPECT_NEAR(ditch.depositionVelocity(), 2.3886902827429317, 1e-15);

    DitchFate pond(defaultParameters(ModelKind::Pond), kChemical);
    EXPECT_NEAR(pond.sprayDuration(), 13.09, 0.005);
    EXPECT_EQ(pond.water().flow, 0.0);
}

TEST(DitchFate, DriftAboveAllTheSprayLeavesNegativeKeptSpray) {
    // Heat, dry air and a narrow bank: F = (0.4 * 45 + 13) * 0.05^-1.05 * 0.01 is about 7.2.
    ScenarioParameters narrow = defaultParameters(ModelKind::Ditch);
    narrow.bankWidth = 0.05f;
    narrow.waterWidth = 0.01f;
    DitchFate hot(narrow, kChemical);
    hot.setWeather(weather(0, 0, 45, 0, 0));
    EXPECT_NEAR(hot.driftFraction(), 7.2, 0.05);
    hot.step(hot.sprayRateWhileSpraying());
    EXPECT_LT(totalAir(hot.masses()), 0.0);
}

TEST(DitchFate, NothingSprayedLeavesEveryMassExactlyZero) {
    DitchFate ditch(defaultParameters(ModelKind::Ditch), kChemical);
    for (const DayWeather& w : {weather(3, 40, 25, 15, 80), weather(0, 0, 10, 0, 30), weather(5, kAcross, 30, 2, 50)}) {
        ditch.setWeather(w);
        for (int t = 0; t < 86400; ++t) ditch.step(0.0);
        ditch.advance(0.0, 86400);
        double values[D::kOutputCount];
        ditch.outputs(values);
        for (double v : values) EXPECT_EQ(v, 0.0);
    }
}

TEST(DitchFate, OutputRowIsInStorageOrderWithWaterInMicrogramsPerLitre) {
    DitchFate ditch(defaultParameters(ModelKind::Ditch), kChemical);
    ditch.setMasses({9e4, 27e4, 12e4, 1440, 2880, 900, 1800, 600});
    double v[D::kOutputCount];
    ditch.outputs(v);
    const double want[D::kOutputCount] = {1, 2, 3, 10, 20, 1, 2, 0.01};  // µg/L: 10 µg/m3 is 0.01
    for (int i = 0; i < D::kOutputCount; ++i) EXPECT_NEAR(v[i], want[i], want[i] * 1e-7) << i;
}

TEST(DitchFate, WithoutWindEveryAirBoxKeepsItsAir) {
    DitchFate ditch(defaultParameters(ModelKind::Ditch), kChemical);
    ditch.setWeather(weather(0, 45));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_DOUBLE_EQ(ditch.transport().share(i, j), i == j ? 1.0 : 0.0) << i << j;

    // Air only above the water: with no wind it just deposits and degrades (kg = 0,
    // so nothing volatilizes either) and neither bank box sees any of it.
    const double lossPerSecond = (600 * ditch.depositionVelocity() + ditch.airBox(2).volume * ditch.rates().kair) / 60000;
    ditch.setMasses({0, 0, 1000, 0, 0, 0, 0, 0});
    for (int t = 0; t < 600; ++t) ditch.step(0.0);
    const double expected = 1000 * std::pow(1 - lossPerSecond, 600);
    EXPECT_NEAR(ditch.masses()[D::kAirWater], expected, expected * 1e-11);
    EXPECT_EQ(ditch.masses()[D::kAirSpray1], 0.0);
    EXPECT_EQ(ditch.masses()[D::kAirSpray2], 0.0);

    // Both banks sprayed alike stay alike in calm air; a light wind carries air towards spray2.
    DitchFate calm(defaultParameters(ModelKind::Ditch), kChemical), windy(calm);
    calm.setWeather(weather(0, 45));
    windy.setWeather(weather(1, 45));
    runDay(calm);
    runDay(windy);
    EXPECT_GT(calm.masses()[D::kAirSpray1], 0.0);
    EXPECT_EQ(calm.masses()[D::kAirSpray1], calm.masses()[D::kAirSpray2]);
    EXPECT_GT(windy.masses()[D::kAirSpray2], windy.masses()[D::kAirSpray1] * 1.01);
}

TEST(DitchFate, OneSecondWorkedByHand) {
    // Every compartment holding chemical, one second each: sprayed in a light breeze
    // with 12 mm of rain; and unsprayed, dry, in a cross-wind of 3 m/s, for a volatile
    // chemical whose plant penetration (proportional to Kaw) is no longer negligible.
    const ChemicalProperties volatile_{3.0, 10, 100, 200, 10, 0.03, 3e-6};
    const struct {
        ChemicalProperties chemical;
        DayWeather weather;
        bool spray;
        D::Masses want;
    } cases[] = {
        {kChemical, weather(0.5, 30, 22, 12, 75), true,
         {5057.69044336778, 6669.06473747, 4587.89453176935, 3997.71991566934, 2998.57991361695, 9002.7145784856,
          8002.09701436605, 700.159934046117}},
        {volatile_, weather(3, 100, 28, 0, 40), false,
         {0, 9.77982694863907, 9.1146792670086, 4000.38153472437, 3000.57279457481, 9000.08682013707,
          8000.13556366019, 700.043632717339}},
    };
    for (const auto& c : cases) {
        DitchFate ditch(defaultParameters(ModelKind::Ditch), c.chemical);
        ditch.setWeather(c.weather);
        ditch.setMasses({20, 30, 10, 4000, 3000, 9000, 8000, 700});
        ditch.step(c.spray ? ditch.sprayRateWhileSpraying() : 0.0);
        for (int i = 0; i < D::kMassCount; ++i) EXPECT_NEAR(ditch.masses()[i], c.want[i], c.want[i] * 1e-12) << i;
    }
}

TEST(DitchFate, AirTransportSharesOfWorkedWinds) {
    // Shares of each box's air (rows: from spray1, spray2, water) worked by hand:
    // a light breeze, and a gale almost along the ditch whose spread reaches past
    // the water from spray1 to spray2 while ox cuts off what blows past the end.
    const std::pair<DayWeather, std::array<std::array<double, 3>, 3>> cases[] = {
        {weather(0.5, 30), {{{0.748508540873, 0, 0.250709899343}, {0, 0.748508540873, 0}, {0, 0.356346842477, 0.642871597738}}}},
        {weather(40, 168.7),
         {{{0.623270223445, 0.0494510874599, 0.229527654394}, {0, 0.623270223445, 0}, {0, 0.351533774026, 0.579959822328}}}},
    };
    DitchFate ditch(defaultParameters(ModelKind::Ditch), kChemical);
    for (const auto& [w, share] : cases) {
        ditch.setWeather(w);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) EXPECT_NEAR(ditch.transport().share(i, j), share[i][j], 1e-11) << i << j;
    }
}

TEST(DitchFate, StrongCrossWindNeverCreatesAir) {
    // 5 m/s across the 1 m ditch, and folded directions whose 11.3 degree turn passes 180.
    for (double theta : {kAcross, kAcross + 180, 175.0, 355.0}) {
        SCOPED_TRACE(theta);
        DitchFate ditch(defaultParameters(ModelKind::Ditch), kChemical);
        ditch.setWeather(weather(5, theta, 25, 0, 50));
        for (int box = 0; box < 3; ++box) {
            double sent = 0;
            for (int j = 0; j < 3; ++j) sent += ditch.transport().share(box, j);
            EXPECT_LE(sent, 1.0 + 1e-15) << box;

            // Air alone in one box: a step can only move or lose it, never make it.
            D::Masses m{};
            m[D::kAirSpray1 + box] = 1e6;
            ditch.setMasses(m);
            ditch.step(0.0);
            EXPECT_LE(totalAir(ditch.masses()), 1e6) << box;
            for (int j = 0; j < 3; ++j) EXPECT_GE(ditch.masses()[D::kAirSpray1 + j], 0.0) << box << j;
        }
        ditch.setMasses({});
        runDay(ditch);
        double values[D::kOutputCount];
        ditch.outputs(values);
        for (double v : values) EXPECT_TRUE(std::isfinite(v));
        EXPECT_GT(values[7], 0.0);
    }

    // At 175 degrees the turned wind still blows a little across (sin phi < 0 but
    // the cross-wind counts by its size): spray1's air reaches the water box.
    DitchFate turned(defaultParameters(ModelKind::Ditch), kChemical);
    turned.setWeather(weather(5, 175));
    EXPECT_NEAR(turned.dayTerms().uy, -0.54, 0.01);
    EXPECT_NEAR(turned.crossWind(), 0.54, 0.01);
    EXPECT_GT(turned.transport().share(D::kBoxSpray1, D::kBoxWater), 0.3);

    // Straight across, the water box's air all lands on spray2 and none stays.
    DitchFate across(defaultParameters(ModelKind::Ditch), kChemical);
    across.setWeather(weather(5, kAcross));
    EXPECT_NEAR(across.crossWind(), 5.0, 1e-12);
    EXPECT_NEAR(across.transport().share(D::kBoxWater, D::kBoxSpray2), 1.0, 1e-15);
    EXPECT_EQ(across.transport().share(D::kBoxWater, D::kBoxWater), 0.0);
}

TEST(DitchFate, WindDirectionFoldsOnlyAbove180Degrees) {
    DitchFate a(defaultParameters(ModelKind::Ditch), kChemical), b(a);
    a.setWeather(weather(2.5, 190));
    b.setWeather(weather(2.5, 10));
    EXPECT_EQ(a.dayTerms().foldedDirection, 10.0);
    runDay(a);
    runDay(b);
    EXPECT_EQ(a.masses(), b.masses());

    // 180 stays 180: the wind blows the other way along the ditch than at 0.
    a.setWeather(weather(2.5, 180));
    EXPECT_NEAR(a.dayTerms().phi, 191.3 * 0.017444444444444446, 1e-12);
    EXPECT_LT(a.dayTerms().ux, -2.4);
    a.setWeather(weather(2.5, 0));
    EXPECT_GT(a.dayTerms().ux, 2.4);
}

TEST(DitchFate, StillWaterLosesChemicalOnlyByVolatilizationAndDegradation) {
    ScenarioParameters still = defaultParameters(ModelKind::Ditch);
    still.waterVelocity = 0;
    DitchFate pond(still, kChemical);
    DitchFate ditch(defaultParameters(ModelKind::Ditch), kChemical);
    const double kwater = pond.rates().kwater;
    const double flushed = ditch.water().flow / ditch.water().volume;  // per second

    // No wind, so no volatilization: the still water only degrades, the ditch also flows out.
    for (DitchFate* f : {&pond, &ditch}) {
        f->setWeather(weather(0, 0));
        f->setMasses({0, 0, 0, 0, 0, 0, 0, 6000});
        for (int t = 0; t < 3600; ++t) f->step(0.0);
    }
    EXPECT_NEAR(pond.masses()[D::kWater], 6000 * std::pow(1 - kwater, 3600), 1e-7);
    EXPECT_NEAR(ditch.masses()[D::kWater], 6000 * std::pow(1 - kwater - flushed, 3600), 1e-7);

    // Wind and air over the water: one second differs only by the outflow. The air is
    // richer than the water surface, so volatilization runs into the water (about
    // 3e-4 µg) on top of the dry deposition.
    for (DitchFate* f : {&pond, &ditch}) {
        f->setWeather(weather(3, 30));
        f->setMasses({0, 0, 50, 0, 0, 0, 0, 6000});
        f->step(0.0);
    }
    EXPECT_NEAR(pond.masses()[D::kWater] - ditch.masses()[D::kWater], 6000 * flushed, 1e-9);
    const double deposited = 600 * (50.0 / 60000) * pond.depositionVelocity();
    EXPECT_GT(pond.masses()[D::kWater] - (6000 * (1 - kwater) + deposited), 1e-4);
}

TEST(DitchFate, OnlyRainCarriesTheBanksIntoTheWater) {
    for (double R : {0.0, 10.0}) {
        DitchFate ditch(defaultParameters(ModelKind::Ditch), kChemical);
        ditch.setWeather(weather(0, 0, 20, R, 60));
        ditch.setMasses({0, 0, 0, 500, 500, 5000, 5000, 0});
        for (int t = 0; t < 3600; ++t) ditch.step(0.0);
        EXPECT_EQ(ditch.masses()[D::kWater] > 0.0, R > 0) << R;
        EXPECT_GE(ditch.masses()[D::kWater], 0.0);
    }
}

TEST(DitchFate, AdvanceMatchesRepeatedSteps) {
    const std::pair<DayWeather, ModelKind> cases[] = {
        {weather(2.1, 250, 22, 12, 75), ModelKind::Ditch},
        {weather(5, kAcross, 28, 0, 40), ModelKind::Ditch},
        {weather(0, 0, 15, 3, 90), ModelKind::Pond},
    };
    for (const auto& [w, kind] : cases) {
        DitchFate reference(defaultParameters(kind), kChemical);
        reference.setMasses({20, 30, 10, 4000, 3000, 9000, 8000, 700});
        reference.setWeather(w);
        DitchFate fast(reference);
        const double S = reference.sprayRateWhileSpraying();
        // Below the smallest normal double (still air decays that far in a day)
        // no relative precision is left to compare.
        auto compare = [&](const char* where) {
            // The masses and the running totals of the mass balance after them.
            for (int i = 0; i < D::kStateCount; ++i) {
                const double want = reference.state()[static_cast<std::size_t>(i)];
                EXPECT_LE(std::fabs(fast.state()[static_cast<std::size_t>(i)] - want),
                          1e-9 * std::fabs(want) + std::numeric_limits<double>::min())
                    << where << " slot " << i;
            }
        };
        // As the driver goes: step at second 0, advance through the rest of the minute.
        for (int minute = 0; minute < 1440; ++minute) {
            const double rate = minute >= 600 && minute < 604 ? S : 0.0;
            reference.step(rate);
            fast.step(rate);
            for (int t = 1; t < 60; ++t) reference.step(rate);
            fast.advance(rate, 59);
        }
        compare("day of minutes");
        for (int span : {13, 1, 47, 3599, 86400}) {
            const double rate = span == 86400 ? 0.0 : S;
            for (int t = 0; t < span; ++t) reference.step(rate);
            fast.advance(rate, span);
            compare("span");
        }
    }
}
