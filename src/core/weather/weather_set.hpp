#pragma once
// The five weather tables of one scenario window: a typical year by day of
// month (rows 1..31) and month (columns 1..12); the wind direction has one
// value per month. A later reading overwrites only the rows its file gives.
#include <array>
#include <string>

namespace verdanel {

using DailyTable = std::array<std::array<float, 12>, 31>;  // [day - 1][month - 1]

struct WeatherSet {
    std::array<float, 12> windDirection{};  // degrees, [month - 1]
    DailyTable rainfall{};                  // mm per day
    DailyTable temperature{};               // degrees Celsius
    DailyTable windSpeed{};                 // m/s
    DailyTable humidity{};                  // percent
};

struct WeatherPaths {
    std::string windSpeed;      // wind.txt
    std::string windDirection;  // winddir.txt
    std::string temperature;    // temp.txt
    std::string rainfall;       // rain.txt
    std::string humidity;       // Humi.txt
};

// The weather of one calendar day, as the fate steps take it.
struct DayWeather {
    double windSpeed = 0;      // u, m/s
    double windDirection = 0;  // theta, degrees
    double temperature = 0;    // T, degrees Celsius
    double rainfall = 0;       // R, mm per day
    double humidity = 0;       // RH, percent
};

inline DayWeather weatherOn(const WeatherSet& w, int month, int day) {
    const int m = month - 1;
    const int d = day - 1;
    return DayWeather{w.windSpeed[d][m], w.windDirection[m], w.temperature[d][m], w.rainfall[d][m], w.humidity[d][m]};
}

}  // namespace verdanel
