#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "core/engines/stream_fate.hpp"

using namespace verdanel;

namespace {

// logKow, half-lives air/water/soil (h), Henry constant, diffusivities in air and water.
const ChemicalProperties kChemical{4.7, 4, 600, 1000, 6e-6, 0.02, 2e-6};

// Wind speed, direction, temperature, rainfall, humidity.
DayWeather weather(double u, double theta, double rain = 0) { return DayWeather{u, theta, 20, rain, 70}; }

double total(const StreamFate::Masses& m) {
    double sum = 0;
    for (double v : m) sum += v;
    return sum;
}

double relativeDifference(double a, double b) {
    const double scale = std::max(std::abs(a), std::abs(b));
    return scale == 0 ? 0 : std::abs(a - b) / scale;
}

}  // namespace

TEST(StreamFateScene, DurationRateAndGeometry) {
    const StreamFate defaults(ScenarioParameters{}, kChemical);
    EXPECT_NEAR(defaults.sprayDuration(), 65.45, 0.005);
    // km/h to m/min is the single-precision 16.666666, not 50/3.
    EXPECT_NEAR(defaults.sprayDuration(), 65.4545479514383, 1e-10);
    EXPECT_DOUBLE_EQ(defaults.sprayRateWhileSpraying(), 18750);

    ScenarioParameters narrow;
    narrow.bankWidth = 10;  // adjacent strips of 3 m beside 7 m fields
    const StreamFate g(narrow, kChemical);
    EXPECT_DOUBLE_EQ(g.adjacentWidth(), 3);
    const double area[4] = {1400, 600, 600, 1400};
    const double volume[5] = {140000, 60000, 60000, 140000, 60000};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(g.land(k).area, area[k]) << k;
    for (int j = 0; j < 5; ++j) EXPECT_EQ(g.airBox(j).volume, volume[j]) << j;
    // The window's fields are single precision: cov is 0.8f, not 0.8.
    EXPECT_DOUBLE_EQ(g.land(1).coveredArea, 600 * double(0.8f));
    EXPECT_DOUBLE_EQ(g.land(3).leafArea, 1400 * double(0.8f) * 2);
    EXPECT_NEAR(g.land(2).soilVolume, 60, 1e-9);
    EXPECT_DOUBLE_EQ(g.water().volume, 150);
    EXPECT_DOUBLE_EQ(g.water().flow, 0.375);
}

TEST(StreamFateScene, DriftSharesAndSpreadOfOneDay) {
    StreamFate model(ScenarioParameters{}, kChemical);
    model.setWeather(weather(2, 120));
    const std::array<double, 5> expected{0.9773877943726836, 0.011691230181044536, 0.0020141180168405676,
                                         0.0027056813323468347, 0.0014613098172878841};
    double sum = 0;
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(model.sprayShare()[i], expected[i], 1e-14) << i;
        sum += model.sprayShare()[i];
    }
    // All but what drifts past the far field: 1 - F(2W + 2a + Ws).
    EXPECT_NEAR(sum, 0.9952601337202035, 1e-14);

    // The wind in km/h is rounded to single precision before the spread.
    model.setWeather(weather(2.3f, 120));
    EXPECT_NEAR(model.dayTerms().spread, 0.5422878328867419, 1e-14);
}

TEST(StreamFateMasses, NothingSprayedStaysExactlyZero) {
    StreamFate model(ScenarioParameters{}, kChemical);
    double row[StreamFate::kOutputCount];
    for (const DayWeather& w : {weather(0, 0), weather(3, 90, 25), weather(10, 175), weather(1, 300, 5)}) {
        model.setWeather(w);
        for (int t = 0; t < 86400; ++t) model.step(0);
        model.advance(0, 86400);
        model.outputs(row);
        for (double v : row) ASSERT_EQ(v, 0.0);
        for (double m : model.masses()) ASSERT_EQ(m, 0.0);
    }
}

TEST(StreamFateMasses, StillAirStaysInItsBox) {
    using namespace stream_air;
    StreamFate model(ScenarioParameters{}, kChemical);
    model.setWeather(weather(0, 90, 20));
    EXPECT_EQ(model.transport().moved({1, 2, 3, 4, 5}), (std::array<double, 5>{1, 2, 3, 4, 5}));

    // The first second of spray: the field's share enters the air above both
    // fields, each drift share the air above its own strip.
    const double S = model.sprayRateWhileSpraying();
    const auto& share = model.sprayShare();
    model.step(S);
    EXPECT_DOUBLE_EQ(model.airMass(kSpray1), share[0] * S);
    EXPECT_DOUBLE_EQ(model.airMass(kAdj1), share[1] * S);
    EXPECT_DOUBLE_EQ(model.airMass(kWater), share[2] * S);
    EXPECT_DOUBLE_EQ(model.airMass(kAdj2), share[3] * S);
    EXPECT_DOUBLE_EQ(model.airMass(kSpray2), (share[0] + share[4]) * S);
    EXPECT_EQ(model.waterMass() + model.plantMass(0) + model.soilMass(0), 0.0);

    for (int t = 1; t < 60; ++t) model.step(S);
    // Afterwards each box loses only what settles, is washed out, degrades or
    // goes onto the leaves below it; nothing blows across.
    const double Kaw = model.rates().Kaw, kair = model.rates().kair, vdep = model.depositionVelocity();
    const double r = model.dayTerms().rain;
    for (int t = 0; t < 600; ++t) {
        const StreamFate::Masses before = model.masses();
        model.step(0);
        for (int j = 0; j < kCount; ++j) {
            const fate::AirBox& box = model.airBox(j);
            const double Ca = before[StreamFate::kAirMass + j] / box.volume;
            const double leaves = j == kWater ? 0 : model.land(j).leafArea;
            const double Cp = j == kWater ? 0 : before[StreamFate::kPlantMass + j] / leaves;
            const double toLeaves = (Kaw * Cp - Ca) * leaves * 2.8888888888888886e-6;
            const double lost = box.volume * Ca * kair + box.area * Ca * (vdep + r * 200000);
            const double expected = before[StreamFate::kAirMass + j] - lost + toLeaves;
            ASSERT_LT(relativeDifference(model.airMass(j), expected), 1e-12) << "box " << j << " second " << t;
        }
    }
}

TEST(StreamFateWind, TransportNeverCreatesAir) {
    StreamFate model(ScenarioParameters{}, kChemical);
    for (double u : {0.5, 3.0, 10.0, 25.0}) {
        for (int theta = 0; theta < 360; theta += 5) {
            model.setWeather(weather(u, theta));
            for (int i = 0; i < stream_air::kCount; ++i) {
                std::array<double, 5> unit{};
                unit[i] = 1;
                const auto to = model.transport().moved(unit);
                for (double v : to) ASSERT_GE(v, 0.0);
                ASSERT_LE(to[0] + to[1] + to[2] + to[3] + to[4], 1 + 1e-12) << u << " m/s, " << theta << " deg";
            }
        }
    }
    // Across the scene at 10 m/s the spray1 box overlaps more than its own
    // width; it sends out exactly what it holds.
    model.setWeather(weather(10, 90));
    const auto to = model.transport().moved({1, 0, 0, 0, 0});
    EXPECT_NEAR(to[0] + to[1] + to[2] + to[3] + to[4], 1, 1e-12);
}

TEST(StreamFateWind, StrongWindsStayBoundedOverADay) {
    for (double theta : {175.0, 90.0, 355.0}) {
        StreamFate model(ScenarioParameters{}, kChemical);
        model.setWeather(weather(10, theta, 12));
        const double S = model.sprayRateWhileSpraying();
        const auto& share = model.sprayShare();
        const double inPerSecond = (2 * share[0] + share[1] + share[2] + share[3] + share[4]) * S;
        double sprayedIn = 0;
        for (int t = 0; t < 86400; ++t) {
            model.step(t < 120 ? S : 0);
            sprayedIn += t < 120 ? inPerSecond : 0;
            ASSERT_LE(total(model.masses()), sprayedIn * (1 + 1e-12)) << theta << " deg, second " << t;
        }
        double row[StreamFate::kOutputCount];
        model.outputs(row);
        for (double v : row) EXPECT_TRUE(std::isfinite(v) && v >= 0) << theta << " deg";
        EXPECT_GT(model.soilMass(stream_land::kAdj2) + model.waterMass(), 0) << theta << " deg";
    }
}

TEST(StreamFateWind, DirectionsFoldAndAirCanLeaveAlongTheStream) {
    StreamFate model(ScenarioParameters{}, kChemical);
    auto shares = [&](double theta) {
        model.setWeather(weather(4, theta));
        return model.transport().shares();
    };
    EXPECT_EQ(shares(190), shares(10));
    EXPECT_EQ(shares(360), shares(180));
    EXPECT_NE(shares(180), shares(0));

    // A wind along a 5 m reach blows past the whole of it in one second.
    ScenarioParameters shortReach;
    shortReach.sprayLength = 5;
    StreamFate reach(shortReach, kChemical);
    reach.setWeather(weather(10, 0));
    EXPECT_EQ(reach.dayTerms().alongOverlap, 0.0);
    reach.step(reach.sprayRateWhileSpraying());
    for (int j = 0; j < stream_air::kCount; ++j) EXPECT_EQ(reach.airMass(j), 0.0);
}

TEST(StreamFateMasses, WithoutWindOrFlowTheSprayThatLandsStays) {
    // Losses all but switched off: no wind or flow, half-lives of ages, a
    // chemical so bound to soil that rain hardly leaches it and that neither
    // penetrates leaves nor is taken up by roots. Rain only moves it around.
    ScenarioParameters pond;
    pond.waterVelocity = 0;
    const ChemicalProperties inert{10, 1e30, 1e30, 1e30, 1e-25, 0.02, 2e-6};
    StreamFate model(pond, inert);
    model.setWeather(weather(0, 45, 20));
    const double S = model.sprayRateWhileSpraying();
    const auto& share = model.sprayShare();
    const double landed = 120 * S * (2 * share[0] + share[1] + share[2] + share[3] + share[4]);
    for (int t = 0; t < 120; ++t) model.step(S);
    EXPECT_LT(relativeDifference(total(model.masses()), landed), 1e-12);
    model.advance(0, 6 * 3600);
    EXPECT_LT(relativeDifference(total(model.masses()), landed), 1e-10);
    EXPECT_GT(model.soilMass(stream_land::kAdj2) + model.plantMass(stream_land::kAdj2), 0);
    EXPECT_GT(model.waterMass(), 0);

    // Once the stream flows, what leaves is what the water carries off.
    StreamFate stream(ScenarioParameters{}, inert);
    stream.setWeather(weather(0, 45));
    for (int t = 0; t < 120; ++t) stream.step(S);
    for (int t = 0; t < 600; ++t) {
        const double before = total(stream.masses());
        const double outflow = stream.water().flow * stream.waterMass() / stream.water().volume;
        stream.step(0);
        ASSERT_LT(relativeDifference(before - total(stream.masses()), outflow), 1e-8) << "second " << t;
    }
}

TEST(StreamFateMasses, OutputRowIsInStorageOrder) {
    StreamFate model(ScenarioParameters{}, kChemical);
    model.setWeather(weather(3, 60, 10));
    for (int t = 0; t < 600; ++t) model.step(t < 120 ? model.sprayRateWhileSpraying() : 0);
    double row[StreamFate::kOutputCount];
    model.outputs(row);
    int i = 0;
    for (int box : {0, 1, 4, 2, 3}) EXPECT_DOUBLE_EQ(row[i++], model.airMass(box) / model.airBox(box).volume) << box;
    for (int s = 0; s < 4; ++s) EXPECT_DOUBLE_EQ(row[i++], model.soilMass(s) / model.land(s).soilVolume) << s;
    for (int s = 0; s < 4; ++s) EXPECT_DOUBLE_EQ(row[i++], model.plantMass(s) / model.land(s).leafArea) << s;
    EXPECT_DOUBLE_EQ(row[13], model.waterMass() / model.water().volume * 0.001);
    EXPECT_EQ(std::count(row, row + 14, 0.0), 0);
}

TEST(StreamFateAdvance, MatchesThePlainStepOverDays) {
    StreamFate plain(ScenarioParameters{}, kChemical);
    StreamFate fast(ScenarioParameters{}, kChemical);
    const double S = plain.sprayRateWhileSpraying();
    double worst = 0;
    int chunks = 0;
    // `seconds` plain steps against one jump (or one step and a jump, as a
    // driver storing the row of second 0 does).
    auto run = [&](int seconds, double rate, bool firstByStep) {
        for (int t = 0; t < seconds; ++t) plain.step(rate);
        if (firstByStep) {
            fast.step(rate);
            fast.advance(rate, seconds - 1);
        } else {
            fast.advance(rate, seconds);
        }
        // The masses and the running totals of the mass balance after them.
        for (std::size_t i = 0; i < plain.state().size(); ++i)
            worst = std::max(worst, relativeDifference(plain.state()[i], fast.state()[i]));
        ++chunks;
    };
    auto minuteRows = [&](bool spraying) {
        for (int minute = 0; minute < 1440; ++minute)
            run(60, spraying && (minute == 600 || minute == 601) ? S : 0, true);
    };
    auto setDay = [&](const DayWeather& w) { plain.setWeather(w), fast.setWeather(w); };

    setDay({2.5, 60, 22, 0, 65});
    minuteRows(true);
    setDay({4, 200, 18, 30, 90});
    run(86400, 0, false);
    // Many different spans in one day: more than get maps of their own.
    setDay({0.7, 175, 25, 0, 50});
    const int ragged[] = {1, 7, 13, 59, 60, 97, 300, 1000, 4000, 2};
    for (int t = 0, i = 0; t < 86400; ++i) {
        const int seconds = std::min(ragged[i % 10], 86400 - t);
        run(seconds, 0, false);
        t += seconds;
    }
    setDay({6, 95, 12, 3, 80});
    minuteRows(true);

    EXPECT_LE(worst, 1e-9) << "over " << chunks << " stretches";
    EXPECT_GT(plain.waterMass(), 0);
    EXPECT_GT(plain.airMass(stream_air::kSpray2), 0);
}
