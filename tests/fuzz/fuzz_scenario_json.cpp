// Fuzzes the scenario file reader of the command-line tool. The input is the
// JSON text; the reader's verdict and result are checked against what the
// document itself says (read separately with the same JSON library).
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "core/common/civil_time.hpp"
#include "core/engines/scenario_file.hpp"
#include "fuzz_support.hpp"

using namespace verdanel;
using nlohmann::json;

namespace {

const std::string kRelative = "/scenarios/here";
const std::string kDefaultInput = "/app/input";

const std::pair<const char*, float ScenarioParameters::*> kFields[] = {
    {"spray_length", &ScenarioParameters::sprayLength},
    {"spray_width", &ScenarioParameters::sprayWidth},
    {"vehicle_speed", &ScenarioParameters::vehicleSpeed},
    {"spray_rate", &ScenarioParameters::sprayRate},
    {"dilution_ratio", &ScenarioParameters::dilutionRatio},
    {"injected_concentration", &ScenarioParameters::injectedConcentration},
    {"leaf_area_index", &ScenarioParameters::leafAreaIndex},
    {"canopy_cover", &ScenarioParameters::canopyCover},
    {"bank_width", &ScenarioParameters::bankWidth},
    {"water_width", &ScenarioParameters::waterWidth},
    {"water_depth", &ScenarioParameters::waterDepth},
    {"water_velocity", &ScenarioParameters::waterVelocity},
};

const std::pair<const char*, const char*> kWeatherKeys[] = {
    {"wind_speed", "/wind.txt"}, {"wind_direction", "/winddir.txt"}, {"temperature", "/temp.txt"},
    {"rainfall", "/rain.txt"},   {"humidity", "/Humi.txt"},
};

std::string* weatherPath(WeatherPaths& w, int i) {
    std::string* p[] = {&w.windSpeed, &w.windDirection, &w.temperature, &w.rainfall, &w.humidity};
    return p[i];
}

bool optionalString(const json& obj, const char* key) {
    auto it = obj.find(key);
    return it == obj.end() || it->is_string();
}

// Whether the document is a valid scenario, by the file format's rules.
bool documentIsValid(const json& doc) {
    if (!doc.is_object()) return false;
    auto name = doc.find("name");
    auto model = doc.find("model");
    if (name == doc.end() || !name->is_string()) return false;
    if (model == doc.end() || !model->is_string()) return false;
    const std::string m = model->get<std::string>();
    if (m != "stream" && m != "ditch" && m != "pond") return false;
    if (!optionalString(doc, "chemical")) return false;
    if (auto d = doc.find("spray_dates"); d != doc.end()) {
        if (!d->is_array()) return false;
        for (const auto& e : *d)
            if (!e.is_string() || !parseSprayDate(e.get<std::string>())) return false;
    }
    if (auto w = doc.find("weather"); w != doc.end()) {
        if (!w->is_object()) return false;
        for (const auto& [key, file] : kWeatherKeys)
            if (!optionalString(*w, key)) return false;
    }
    if (auto p = doc.find("parameters"); p != doc.end()) {
        if (!p->is_object()) return false;
        for (const auto& [key, field] : kFields)
            if (auto it = p->find(key); it != p->end() && !it->is_number()) return false;
    }
    return true;
}

void checkScenario(const json& doc, const ScenarioFile& file) {
    const ScenarioDefinition& s = file.scenario;
    FUZZ_CHECK(file.error.empty(), "accepted file carries an error: %s", file.error.c_str());
    FUZZ_CHECK(s.name == doc["name"].get<std::string>(), "name differs");
    FUZZ_CHECK(std::string(modelTypeText(s.kind)) == doc["model"].get<std::string>(), "model differs");
    const std::string chemical = doc.contains("chemical") ? doc["chemical"].get<std::string>() : std::string();
    FUZZ_CHECK(s.chemical[0] == chemical, "chemical name differs");
    for (std::size_t i = 1; i < s.chemical.size(); ++i) FUZZ_CHECK(s.chemical[i].empty(), "chemical property %zu set", i);

    // Spray dates: every listed one, valid, ascending, and written back as listed.
    const std::size_t listed = doc.contains("spray_dates") ? doc["spray_dates"].size() : 0;
    FUZZ_CHECK(s.sprayDates.size() == listed, "%zu spray dates, %zu listed", s.sprayDates.size(), listed);
    std::vector<std::string> texts;
    if (listed)
        for (const auto& e : doc["spray_dates"]) texts.push_back(e.get<std::string>());
    std::vector<std::string> written;
    for (std::size_t i = 0; i < s.sprayDates.size(); ++i) {
        const CivilTime& t = s.sprayDates[i];
        FUZZ_CHECK(isValidDate(t.year, t.month, t.day) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
                       t.minute <= 59 && t.second == 0,
                   "spray date %zu out of range", i);
        FUZZ_CHECK(fromCivilSeconds(toCivilSeconds(t)) == t, "spray date %zu does not survive the calendar", i);
        if (i > 0) FUZZ_CHECK(toCivilSeconds(s.sprayDates[i - 1]) <= toCivilSeconds(t), "spray dates not sorted");
        written.push_back(formatSprayDate(t));
    }
    std::sort(texts.begin(), texts.end());
    std::sort(written.begin(), written.end());
    FUZZ_CHECK(texts == written, "spray dates are not the listed ones");

    // Weather paths: the default file unless a non-empty path is given; an absolute one is kept as it is.
    WeatherPaths w = s.weather;
    for (int i = 0; i < 5; ++i) {
        const auto& [key, file] = kWeatherKeys[i];
        const std::string& got = *weatherPath(w, i);
        std::string given;
        if (doc.contains("weather") && doc["weather"].contains(key)) given = doc["weather"][key].get<std::string>();
        if (given.empty()) {
            FUZZ_CHECK(got == kDefaultInput + file, "default path of %s", key);
        } else if (given.front() == '/') {
            FUZZ_CHECK(got == given, "absolute path of %s changed", key);
        } else {
            FUZZ_CHECK(!got.empty() && got.front() == '/', "relative path of %s not resolved", key);
        }
    }

    // Parameters: the model's defaults, overridden by the numbers given; a pond has no current.
    const ScenarioParameters defaults = defaultParameters(s.kind);
    for (const auto& [key, field] : kFields) {
        float want = defaults.*field;
        if (doc.contains("parameters") && doc["parameters"].contains(key))
            want = static_cast<float>(doc["parameters"][key].get<double>());
        if (s.kind == ModelKind::Pond && field == &ScenarioParameters::waterVelocity) want = 0;
        FUZZ_CHECK(fuzz::sameFloat(s.parameters.*field, want), "parameter %s: %.9g, want %.9g", key,
                   static_cast<double>(s.parameters.*field), static_cast<double>(want));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ScenarioFile file = parseScenarioFile(text, kRelative, kDefaultInput);
    const json doc = json::parse(text, nullptr, false);
    const bool valid = !doc.is_discarded() && documentIsValid(doc);
    FUZZ_CHECK(file.ok == valid, "reader says %d, document is %svalid (%s)", file.ok, valid ? "" : "not ",
               file.error.c_str());
    if (file.ok) {
        checkScenario(doc, file);
    } else {
        FUZZ_CHECK(!file.error.empty(), "refused file without a reason");
    }
    return 0;
}
