// Time of the Stream fate step over the default window scenario: 14 weekly
// sprays from the first day, 182 days, 15,724,800 simulated seconds, the
// weather changing every day and a row of outputs taken every minute.
//
//   stream_step_bench            both the plain step and the minute jumps
//   stream_step_bench plain|fast one of them (for an instruction count under
//                                valgrind --tool=callgrind)
//
// The plain run calls step() every second; the fast run calls advance() for
// the seconds from one stored row to the next (60 of them in a quiet minute).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "core/engines/stream_fate.hpp"

#include "fast_day.hpp"

using namespace verdanel;

namespace {

constexpr int kDays = 182;
constexpr int kSprayDays = 14;
constexpr int kSprayStart = 10 * 3600;  // 10:00:00
constexpr int kSprayEnd = kSprayStart + 120;
// logKow, half-lives air/water/soil (h), Henry constant, diffusivities in air and water.
const ChemicalProperties kChemical{4.7, 4, 600, 1000, 6e-6, 0.02, 2e-6};

std::vector<DayWeather> dailyWeather() {
    std::uint32_t seed = 12345;
    auto next = [&seed](double lo, double hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + (hi - lo) * (seed >> 8) / double(1u << 24);
    };
    std::vector<DayWeather> days;
    for (int d = 0; d < kDays; ++d) {
        DayWeather w;
        w.windSpeed = static_cast<float>(next(0.3, 6.0));
        w.windDirection = static_cast<float>(next(0.0, 360.0));
        w.temperature = static_cast<float>(next(5.0, 30.0));
        w.rainfall = d % 3 == 0 ? static_cast<float>(next(0.0, 40.0)) : 0.0;
        w.humidity = static_cast<float>(next(40.0, 95.0));
        days.push_back(w);
    }
    return days;
}

bool sprayDay(int day) { return day % 7 == 0 && day / 7 < kSprayDays; }

struct Result {
    double seconds = 0;     // wall clock
    double cpuSeconds = 0;  // processor time of this process, less disturbed by a busy machine
    double checksum = 0;
    StreamFate::Masses masses{};
};

template <class RunDay>
Result run(const std::vector<DayWeather>& weather, RunDay runDay) {
    StreamFate model(ScenarioParameters{}, kChemical);
    double row[StreamFate::kOutputCount];
    double checksum = 0;
    const std::clock_t c0 = std::clock();
    const auto t0 = std::chrono::steady_clock::now();
    for (int d = 0; d < kDays; ++d) {
        model.setWeather(weather[d]);
        runDay(model, sprayDay(d), row, checksum);
    }
    const auto t1 = std::chrono::steady_clock::now();
    const std::clock_t c1 = std::clock();
    return {std::chrono::duration<double>(t1 - t0).count(), double(c1 - c0) / CLOCKS_PER_SEC, checksum, model.masses()};
}

}  // namespace

int main(int argc, char** argv) {
    const bool plainOnly = argc > 1 && std::strcmp(argv[1], "plain") == 0;
    const bool fastOnly = argc > 1 && std::strcmp(argv[1], "fast") == 0;
    const auto weather = dailyWeather();
    const double S = StreamFate(ScenarioParameters{}, kChemical).sprayRateWhileSpraying();
    constexpr double kSteps = double(kDays) * 86400;

    auto plainDay = [S](StreamFate& m, bool spraying, double* row, double& sum) {
        for (int t = 0; t < 86400; ++t) {
            m.step(spraying && t >= kSprayStart && t < kSprayEnd ? S : 0.0);
            if (t % 60 == 0) {
                m.outputs(row);
                sum += row[0] + row[13];
            }
        }
    };
    auto fastDayOf = [S](StreamFate& m, bool spraying, double* row, double& sum) {
        fastDay(
            m,
            [&](int minute) {
                const int t = minute * 60;
                return spraying && t >= kSprayStart && t < kSprayEnd ? S : 0.0;
            },
            [&](int) {
                m.outputs(row);
                sum += row[0] + row[13];
            });
    };
    const Result plain = fastOnly ? Result{} : run(weather, plainDay);
    const Result fast = plainOnly ? Result{} : run(weather, fastDayOf);

    double worst = 0;
    for (int i = 0; i < StreamFate::kMassCount; ++i) {
        const double a = plain.masses[i], b = fast.masses[i];
        const double scale = std::max(std::abs(a), std::abs(b));
        if (scale > 0) worst = std::max(worst, std::abs(a - b) / scale);
    }
    std::printf("simulated seconds: %.0f\n", kSteps);
    auto report = [&](const char* name, const Result& r) {
        std::printf("%-30s %7.2f ns/step wall, %7.2f ns/step cpu  (%.3f s, checksum %.9e)\n", name,
                    r.seconds / kSteps * 1e9, r.cpuSeconds / kSteps * 1e9, r.seconds, r.checksum);
    };
    if (!fastOnly) report("step() every second:", plain);
    if (!plainOnly) report("advance() from row to row:", fast);
    if (!plainOnly && !fastOnly) std::printf("largest relative difference of the final masses: %.3e\n", worst);
    return 0;
}
