#include "core/engines/scenario_file.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/common/utf8_path.hpp"

namespace verdanel {

namespace {
using nlohmann::json;

std::string resolve(const std::string& path, const std::string& relativeTo) {
    if (path.empty() || pathFromUtf8(path).has_root_path()) return path;
    return utf8FromPath((pathFromUtf8(relativeTo) / pathFromUtf8(path)).lexically_normal());
}
}  // namespace

ScenarioFile parseScenarioFile(const std::string& jsonText, const std::string& relativeTo,
                               const std::string& defaultInput) {
    ScenarioFile file;
    json doc = json::parse(jsonText, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) {
        file.error = "시나리오 파일이 올바른 JSON 객체가 아닙니다.";
        return file;
    }
    auto text = [&](const json& obj, const char* key, std::string& out, bool required) {
        auto it = obj.find(key);
        if (it == obj.end()) {
            if (required) file.error = std::string("시나리오 파일에 \"") + key + "\" 항목이 없습니다.";
            return !required;
        }
        if (!it->is_string()) {
            file.error = std::string("시나리오 파일의 \"") + key + "\" 항목은 문자열이어야 합니다.";
            return false;
        }
        out = it->get<std::string>();
        return true;
    };

    ScenarioDefinition& s = file.scenario;
    std::string model;
    std::string chemical;
    if (!text(doc, "name", s.name, true) || !text(doc, "model", model, true) ||
        !text(doc, "chemical", chemical, false))
        return file;
    auto kind = modelKindFromText(model);
    if (!kind) {
        file.error = "모델은 stream, ditch, pond 중 하나여야 합니다: " + model;
        return file;
    }
    s.kind = *kind;
    s.chemical[chem_col::kName] = chemical;
    s.parameters = defaultParameters(s.kind);

    auto dates = doc.find("spray_dates");
    if (dates != doc.end()) {
        if (!dates->is_array()) {
            file.error = "\"spray_dates\" 항목은 문자열 목록이어야 합니다.";
            return file;
        }
        for (const auto& d : *dates) {
            auto t = d.is_string() ? parseSprayDate(d.get<std::string>()) : std::nullopt;
            if (!t) {
                // A list or object is named by its kind, not printed: printing
                // recurses once per nesting level, and a deep one overflows the stack.
                const std::string shown = d.is_structured() ? std::string(d.type_name()) : d.dump();
                file.error = "살포 일자 형식이 잘못되었습니다 (YYYY-MM-DD HH:MM): " + shown;
                return file;
            }
            s.sprayDates.push_back(*t);
        }
        // The window keeps its date list sorted; so does the file reader.
        std::sort(s.sprayDates.begin(), s.sprayDates.end(),
                  [](const CivilTime& a, const CivilTime& b) { return toCivilSeconds(a) < toCivilSeconds(b); });
    }

    s.weather.windSpeed = defaultInput + "/wind.txt";
    s.weather.windDirection = defaultInput + "/winddir.txt";
    s.weather.temperature = defaultInput + "/temp.txt";
    s.weather.rainfall = defaultInput + "/rain.txt";
    s.weather.humidity = defaultInput + "/Humi.txt";
    auto weather = doc.find("weather");
    if (weather != doc.end()) {
        if (!weather->is_object()) {
            file.error = "\"weather\" 항목은 객체여야 합니다.";
            return file;
        }
        const std::pair<const char*, std::string*> paths[] = {
            {"wind_speed", &s.weather.windSpeed},   {"wind_direction", &s.weather.windDirection},
            {"temperature", &s.weather.temperature}, {"rainfall", &s.weather.rainfall},
            {"humidity", &s.weather.humidity},
        };
        for (const auto& [key, target] : paths) {
            std::string value;
            if (!text(*weather, key, value, false)) return file;
            if (!value.empty()) *target = resolve(value, relativeTo);
        }
    }

    auto parameters = doc.find("parameters");
    if (parameters != doc.end()) {
        if (!parameters->is_object()) {
            file.error = "\"parameters\" 항목은 객체여야 합니다.";
            return file;
        }
        for (const auto& [key, value] : parameters->items()) {
            const ScenarioParameter* entry = scenarioParameterNamed(key);
            // A misspelt name would otherwise leave the default in place unseen.
            if (!entry || key != entry->name) {
                file.error = "알 수 없는 매개변수입니다: \"" + key + "\"";
                return file;
            }
            if (!value.is_number()) {
                file.error = "\"" + key + "\" 값은 숫자여야 합니다.";
                return file;
            }
            parameterValue(s.parameters, *entry) = static_cast<float>(value.get<double>());
        }
    }
    fixParameters(s.kind, s.parameters);
    file.ok = true;
    return file;
}

ScenarioFile readScenarioFile(const std::string& path, const std::string& defaultInput) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) {
        ScenarioFile file;
        file.error = path + " 을(를) 찾을 수 없음.";
        return file;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    std::string folder = utf8FromPath(pathFromUtf8(path).parent_path());
    if (folder.empty()) folder = ".";
    return parseScenarioFile(buffer.str(), folder, defaultInput);
}

}  // namespace verdanel
