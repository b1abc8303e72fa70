// Time of the Ditch step: 182 days (15,724,800 simulated seconds) with the
// Ditch window's defaults, the weather changing every day and 240 s of spray
// once a week. Prints ns per simulated second for the per-second step and for
// the fast path as the driver uses it (one advance from row to row in a quiet
// minute). Wall time is the budget's measure; the process CPU time is
// printed beside it because a busy machine inflates the wall time.
//
//   ./build/bench/ditch_step_bench             both
//   ./build/bench/ditch_step_bench plain|fast  one of them (for an instruction
//                                              count under valgrind --tool=callgrind)
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/engines/ditch_fate.hpp"
#include "core/engines/scenario.hpp"

#include "fast_day.hpp"

using namespace verdanel;

namespace {

constexpr int kDays = 182;
constexpr long long kSeconds = static_cast<long long>(kDays) * 86400;

ScenarioParameters ditchDefaults() {
    ScenarioParameters p;
    p.sprayLength = 600;
    p.sprayWidth = 4;
    p.vehicleSpeed = 11;
    p.sprayRate = 7.5f;
    p.dilutionRatio = 100;
    p.injectedConcentration = 15;
    p.leafAreaIndex = 2;
    p.canopyCover = 0.8f;
    p.bankWidth = 4;
    p.waterWidth = 1;
    p.waterDepth = 0.1f;
    p.waterVelocity = 0.15f;
    return p;
}

ChemicalProperties sampleChemical() {
    ChemicalProperties c;
    c.logKow = 4.7;
    c.halfLifeAir = 4;
    c.halfLifeWater = 600;
    c.halfLifeSoil = 1000;
    c.henryConstant = 6e-6;
    c.diffusivityAir = 0.02;
    c.diffusivityWater = 2e-6;
    return c;
}

DayWeather weatherOfDay(int day) {
    DayWeather w;
    w.windSpeed = 1.5 + 1.2 * std::sin(day * 0.7);
    w.windDirection = std::fmod(37.0 * day, 360.0);
    w.temperature = 20.0 + 6.0 * std::sin(day * 0.05);
    w.rainfall = day % 5 == 0 ? 12.0 : 0.0;
    w.humidity = 65.0 + 20.0 * std::cos(day * 0.3);
    return w;
}

bool sprays(int day, int secondOfDay) {
    return day % 7 == 0 && secondOfDay >= 10 * 3600 && secondOfDay < 10 * 3600 + 240;
}

struct Timing {
    double wall = 0;  // ns per simulated second
    double cpu = 0;
    double checksum = 0;  // sum of the last output row
};

template <class Run>
Timing timeRun(Run run) {
    DitchFate fate(ditchDefaults(), sampleChemical());
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    run(fate);
    const auto stop = std::chrono::steady_clock::now();
    const std::clock_t cpuStop = std::clock();
    Timing t;
    t.wall = std::chrono::duration<double, std::nano>(stop - start).count() / static_cast<double>(kSeconds);
    t.cpu = static_cast<double>(cpuStop - cpuStart) / CLOCKS_PER_SEC * 1e9 / static_cast<double>(kSeconds);
    double values[DitchFate::kOutputCount];
    fate.outputs(values);
    for (double v : values) t.checksum += v;
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    const bool plainOnly = argc > 1 && std::strcmp(argv[1], "plain") == 0;
    const bool fastOnly = argc > 1 && std::strcmp(argv[1], "fast") == 0;
    const Timing plain = fastOnly ? Timing{} : timeRun(
        [](DitchFate& fate) {
            const double S = fate.sprayRateWhileSpraying();
            for (int day = 0; day < kDays; ++day) {
                fate.setWeather(weatherOfDay(day));
                for (int t = 0; t < 86400; ++t) fate.step(sprays(day, t) ? S : 0.0);
            }
        });

    const Timing fast = plainOnly ? Timing{} : timeRun(
        [](DitchFate& fate) {
            const double S = fate.sprayRateWhileSpraying();
            double values[DitchFate::kOutputCount];
            for (int day = 0; day < kDays; ++day) {
                fate.setWeather(weatherOfDay(day));
                fastDay(
                    fate, [&](int minute) { return sprays(day, minute * 60) ? S : 0.0; },
                    [&](int) { fate.outputs(values); });
            }
        });

    std::printf("ditch step, %lld simulated seconds\n", kSeconds);
    if (!fastOnly) std::printf("  per-second step: %.2f ns/step (CPU %.2f)\n", plain.wall, plain.cpu);
    if (!plainOnly)
        std::printf("  fast path (advance from row to row): %.2f ns per simulated second (CPU %.2f)\n", fast.wall,
                    fast.cpu);
    if (!plainOnly && !fastOnly) std::printf("  last output row sums: %.9e (step), %.9e (fast path), relative difference %.2e\n", plain.checksum,
                fast.checksum, std::fabs(plain.checksum - fast.checksum) / std::fabs(plain.checksum));
    return 0;
}
