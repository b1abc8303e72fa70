// Fuzzes the weather file reader: the line parser on memory and the five
// file readers on a real file, both against a plain reference reading of the
// format (LF or CR LF line ends, an optional UTF-8 byte order mark, pieces
// split at spaces and tabs, exactly 12 pieces read by the decimal atof rule).
//
// Input: the file's bytes. An input that starts with the byte 0x01 is a
// "long first line" case: the next byte chooses how many blanks (almost
// 64 KiB) go in front of the rest, so the reader's buffer refill falls at a
// chosen offset of the real content (a CR LF split across it, for example).
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/weather/weather_reader.hpp"
#include "core/weather/weather_set.hpp"
#include "fuzz_support.hpp"

using namespace verdanel;

namespace {

std::string g_folder;
std::string g_path;

constexpr std::size_t kRefillSize = 64 * 1024;

std::optional<std::array<float, 12>> referenceLine(std::string_view line) {
    std::array<float, 12> v{};
    int count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i == line.size()) break;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
        if (count == 12) return std::nullopt;
        v[static_cast<std::size_t>(count++)] = static_cast<float>(fuzz::referenceDecimalAtof(line.substr(i, j - i)));
        i = j;
    }
    if (count != 12) return std::nullopt;
    return v;
}

struct ReferenceFile {
    std::vector<std::array<float, 12>> rows;
    bool malformed = false;
};

ReferenceFile referenceFile(std::string_view bytes, int maxLines) {
    ReferenceFile r;
    std::size_t pos = 0;
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
    for (int n = 0; n < maxLines && pos < bytes.size(); ++n) {
        const std::size_t nl = bytes.find('\n', pos);
        std::string_view line = nl == std::string_view::npos ? bytes.substr(pos) : bytes.substr(pos, nl - pos);
        // Only a CR right before the LF belongs to the line end.
        if (nl != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
        const auto v = referenceLine(line);
        if (!v) {
            r.malformed = true;
            break;
        }
        r.rows.push_back(*v);
    }
    return r;
}

void checkValues(const std::array<float, 12>& got, const std::array<float, 12>& want, const char* what, int line) {
    for (std::size_t m = 0; m < 12; ++m) {
        FUZZ_CHECK(fuzz::sameFloat(got[m], want[m]), "%s line %d month %zu: got %.9g want %.9g", what, line, m + 1,
                   static_cast<double>(got[m]), static_cast<double>(want[m]));
        FUZZ_CHECK(!std::isnan(got[m]), "%s line %d month %zu is NaN", what, line, m + 1);
    }
}

// A recognisable value in every cell, so untouched cells can be told apart.
WeatherSet markedSet() {
    WeatherSet s;
    DailyTable* tables[] = {&s.windSpeed, &s.temperature, &s.rainfall, &s.humidity};
    float k = 0.25f;
    for (DailyTable* t : tables)
        for (auto& row : *t)
            for (float& v : row) v = (k += 1.0f);
    for (float& v : s.windDirection) v = (k += 1.0f);
    return s;
}

const DailyTable& tableOf(const WeatherSet& s, WeatherFile f) {
    switch (f) {
        case WeatherFile::Temperature: return s.temperature;
        case WeatherFile::Rainfall: return s.rainfall;
        case WeatherFile::Humidity: return s.humidity;
        default: return s.windSpeed;
    }
}

bool sameTable(const DailyTable& a, const DailyTable& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void checkFile(WeatherFile file, std::string_view bytes) {
    const bool monthly = file == WeatherFile::WindDirection;
    const ReferenceFile want = referenceFile(bytes, monthly ? 2 : 31);
    const WeatherSet before = markedSet();
    WeatherSet set = before;
    fuzz::SilentPrompter prompter;
    const WeatherFileOutcome out = readWeatherFile(set, file, g_path, prompter);

    FUZZ_CHECK(out.opened && out.error.empty(), "file not opened: %s", out.error.c_str());
    FUZZ_CHECK(out.linesStored == static_cast<int>(want.rows.size()), "lines stored %d, want %zu", out.linesStored,
               want.rows.size());
    FUZZ_CHECK(out.malformed == want.malformed, "malformed %d, want %d", out.malformed, want.malformed);
    FUZZ_CHECK(prompter.texts.size() == (want.malformed ? 1u : 0u), "%zu messages", prompter.texts.size());
    if (want.malformed) {
        FUZZ_CHECK(prompter.texts[0] == malformedFileMessage(file), "wrong message: %s", prompter.texts[0].c_str());
        FUZZ_CHECK(prompter.icons[0] == PromptIcon::Warning, "bad line message is not a warning");
    }

    // Only the file's own table changes, and only in the rows the file gave.
    const WeatherFile all[] = {WeatherFile::WindSpeed, WeatherFile::Temperature, WeatherFile::Rainfall,
                               WeatherFile::Humidity};
    const WeatherSet& got = set;
    for (WeatherFile other : all) {
        if (other == file) continue;
        FUZZ_CHECK(sameTable(tableOf(got, other), tableOf(before, other)), "another table changed");
    }
    if (monthly) {
        FUZZ_CHECK(sameTable(got.windSpeed, before.windSpeed), "wind speed changed by the direction file");
        if (want.rows.empty()) {
            FUZZ_CHECK(std::memcmp(&got.windDirection, &before.windDirection, sizeof got.windDirection) == 0,
                       "wind direction changed without a line");
        } else {
            checkValues(got.windDirection, want.rows.back(), "wind direction", static_cast<int>(want.rows.size()));
        }
    } else {
        FUZZ_CHECK(std::memcmp(&got.windDirection, &before.windDirection, sizeof got.windDirection) == 0,
                   "wind direction changed by a daily file");
        const DailyTable& t = tableOf(got, file);
        const DailyTable& b = tableOf(before, file);
        for (std::size_t d = 0; d < 31; ++d) {
            if (d < want.rows.size()) {
                checkValues(t[d], want.rows[d], "daily", static_cast<int>(d + 1));
            } else {
                FUZZ_CHECK(std::memcmp(&t[d], &b[d], sizeof t[d]) == 0, "row %zu changed without a line", d + 1);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_folder = fuzz::makeTempFolder("weather");
    g_path = g_folder + "/input.txt";
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(g_folder, ec);
    });
    // A path that is not there is reported, never read.
    WeatherSet set = markedSet();
    const WeatherSet before = set;
    fuzz::SilentPrompter prompter;
    const auto out = readWeatherFile(set, WeatherFile::Rainfall, g_folder + "/missing.txt", prompter);
    FUZZ_CHECK(!out.opened && !out.error.empty() && prompter.texts.size() == 1, "missing file not reported");
    FUZZ_CHECK(std::memcmp(&set, &before, sizeof set) == 0, "missing file changed the tables");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes;
    if (size >= 2 && data[0] == 0x01) {
        const std::size_t at = data[1] & 0x3F;  // where the refill falls in the content
        const char blank = (data[1] & 0x40) ? '\t' : ' ';
        bytes.assign(kRefillSize - at, blank);
        bytes.append(reinterpret_cast<const char*>(data + 2), size - 2);
    } else {
        bytes.assign(reinterpret_cast<const char*>(data), size);
    }

    // The line parser on memory: the whole input as one line, then each line.
    {
        const auto got = parseWeatherLine(bytes);
        const auto want = referenceLine(bytes);
        FUZZ_CHECK(got.has_value() == want.has_value(), "whole input: parsed %d, want %d", got.has_value(),
                   want.has_value());
        if (got) checkValues(*got, *want, "whole input", 0);
        std::size_t pos = 0;
        for (int n = 0; n < 40 && pos < bytes.size(); ++n) {
            std::size_t nl = bytes.find('\n', pos);
            std::string_view line = std::string_view(bytes).substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
            pos = nl == std::string::npos ? bytes.size() : nl + 1;
            const auto g = parseWeatherLine(line);
            const auto w = referenceLine(line);
            FUZZ_CHECK(g.has_value() == w.has_value(), "line %d: parsed %d, want %d", n + 1, g.has_value(),
                       w.has_value());
            if (g) checkValues(*g, *w, "line", n + 1);
        }
    }

    // The five file readers on the same bytes.
    fuzz::writeFile(g_path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    for (WeatherFile f : {WeatherFile::WindSpeed, WeatherFile::WindDirection, WeatherFile::Temperature,
                          WeatherFile::Rainfall, WeatherFile::Humidity}) {
        checkFile(f, bytes);
    }
    return 0;
}
