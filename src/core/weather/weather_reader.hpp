#pragma once
// Reading the five weather files into a WeatherSet.
//
// Every line gives the 12 months, January first, separated by spaces or tabs
// (runs of them count once, leading and trailing ones are harmless). Each
// piece is read by the atof rule, so "12.5mm" is 12.5, "1,5" is 1 and "abc"
// is 0. A daily file fills day 1 from its first line, day 2 from its second,
// and so on up to day 31; later lines are not read. The wind direction file
// takes its first line, and its second line when there is one. Rows a file
// does not supply keep what they held. A line without exactly 12 pieces (an
// empty one too) stops that file with its message, keeping the rows before it.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/weather/weather_set.hpp"

namespace verdanel {

class Prompter;

enum class WeatherFile { WindSpeed, WindDirection, Temperature, Rainfall, Humidity };

inline constexpr const char* kWindSpeedFileName = "wind.txt";
inline constexpr const char* kWindDirectionFileName = "winddir.txt";
inline constexpr const char* kTemperatureFileName = "temp.txt";
inline constexpr const char* kRainfallFileName = "rain.txt";
inline constexpr const char* kHumidityFileName = "Humi.txt";

// The five files in the "input" folder of the application base folder.
WeatherPaths defaultWeatherPaths(const std::string& baseFolder);

// The message shown when a line of this file is malformed.
const char* malformedFileMessage(WeatherFile file);

// One line without its line end: the 12 monthly values, or nothing when it
// does not give exactly 12 pieces.
std::optional<std::array<float, 12>> parseWeatherLine(std::string_view line);

struct WeatherFileOutcome {
    bool opened = false;     // false: the file could not be opened; error says why
    int linesStored = 0;     // lines that reached the table
    bool malformed = false;  // a bad line stopped the reading (its message was shown)
    std::string error;       // the message shown when the file could not be opened
};

// Reads one file into its table of the set. Every message goes to the
// Prompter: the file's own message for a bad line, the path with the reason
// when it cannot be opened.
WeatherFileOutcome readWeatherFile(WeatherSet& set, WeatherFile file, const std::string& path, Prompter& prompter);

struct WeatherReadOutcome {
    bool opened = true;  // false: a file could not be opened and the reading stopped there
    std::string error;   // the message shown for that file
};

// Reads humidity, rainfall, temperature, wind direction and wind speed, in
// that order. Bad lines are only shown; a file that cannot be opened ends
// the reading, and a run must not go on.
WeatherReadOutcome readWeatherSet(WeatherSet& set, const WeatherPaths& paths, Prompter& prompter);

}  // namespace verdanel
