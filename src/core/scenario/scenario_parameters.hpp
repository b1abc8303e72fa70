#pragma once
// The twelve numbers of a scenario and the one table that describes them.
// Everything that lists the parameters (the input checks, the scenario files,
// the Scenario_Info row, the windows' fields, sweeps) walks this table, so a
// new parameter is a field of ScenarioParameters, which the models read, and
// one entry of kScenarioParameters.
#include <array>
#include <string_view>

#include "core/common/model_kind.hpp"

namespace verdanel {

// The twelve parameters as the window's fields hold them (32-bit floats),
// in the column order of Scenario_Info.
struct ScenarioParameters {
    // The Stream window's defaults.
    constexpr ScenarioParameters();

    float sprayLength = 0;           // L, m
    float sprayWidth = 0;            // W, m
    float vehicleSpeed = 0;          // V, km/h
    float sprayRate = 0;             // q, L/min
    float dilutionRatio = 0;         // n
    float injectedConcentration = 0; // c0, g/L
    float leafAreaIndex = 0;         // LAI
    float canopyCover = 0;           // cov, fraction
    float bankWidth = 0;             // B, m
    float waterWidth = 0;            // Ws, m
    float waterDepth = 0;            // d, m
    float waterVelocity = 0;         // vw, m/s
};

// The values a parameter may take before a run (beyond being a finite number).
enum class ParameterRange {
    Positive,        // above 0
    NotNegative,     // 0 or above: negative amounts or flows would make chemical out of nothing
    Fraction,        // above 0 and at most 1
    StreamPositive,  // above 0 where the model reads it (the Stream's sprayed field)
    Unbounded,       // checked against another parameter (the bank against the field or water)
};

struct ScenarioParameter {
    const char* key;               // the field's name in code and in window object names
    float ScenarioParameters::*value;
    const char* name;              // in scenario files, sweeps and as the Scenario_Info column
    const char* label;             // the scenario window's label; refusals name the field by it
    const char* shortLabel;        // the result window's label
    const char* unit;              // the scenario window's unit ("" for a pure number)
    const char* resultTooltip;     // the result window's tooltip ("" for none)
    std::array<float, 3> defaults; // the windows' defaults: Stream, Ditch, Pond
    ParameterRange range;
};

inline constexpr int kScenarioParameterCount = 12;

// In the column order of Scenario_Info, which is also the order on screen.
inline constexpr std::array<ScenarioParameter, kScenarioParameterCount> kScenarioParameters{{
    {"sprayLength", &ScenarioParameters::sprayLength, "spray_length", "살포 길이", "살포길이", "meter",
     "unit: meter", {200, 600, 40}, ParameterRange::Positive},
    {"sprayWidth", &ScenarioParameters::sprayWidth, "spray_width", "살포 너비", "살포너비", "meter",
     "unit: meter", {7, 4, 4}, ParameterRange::StreamPositive},
    {"vehicleSpeed", &ScenarioParameters::vehicleSpeed, "vehicle_speed", "차량 속도", "차량속도", "km/hour",
     "unit: km/hour", {11, 11, 11}, ParameterRange::Positive},
    {"sprayRate", &ScenarioParameters::sprayRate, "spray_rate", "분무 속도", "분무속도", "L/min", "unit: L/m",
     {7.5f, 7.5f, 7.5f}, ParameterRange::NotNegative},
    {"dilutionRatio", &ScenarioParameters::dilutionRatio, "dilution_ratio", "희석 배율", "희석배율", "", "",
     {100, 100, 100}, ParameterRange::Positive},
    {"injectedConcentration", &ScenarioParameters::injectedConcentration, "injected_concentration", "주입 농도",
     "주입농도", "g/L", "unit: g/L", {15, 15, 15}, ParameterRange::NotNegative},
    {"leafAreaIndex", &ScenarioParameters::leafAreaIndex, "leaf_area_index", "잎면적지수(LAI)", "잎면적지수", "",
     "", {2, 2, 2}, ParameterRange::Positive},
    {"canopyCover", &ScenarioParameters::canopyCover, "canopy_cover", "피 복 도", "피복도", "", "",
     {0.8f, 0.8f, 0.8f}, ParameterRange::Fraction},
    {"bankWidth", &ScenarioParameters::bankWidth, "bank_width", "하천변 폭", "하천변폭", "meter", "unit: meter",
     {14, 4, 4}, ParameterRange::Unbounded},
    {"waterWidth", &ScenarioParameters::waterWidth, "water_width", "하천 폭", "하천폭", "meter", "unit: meter",
     {3, 1, 1}, ParameterRange::Positive},
    {"waterDepth", &ScenarioParameters::waterDepth, "water_depth", "하천 깊이", "하천깊이", "meter",
     "unit: meter", {0.25f, 0.1f, 0.1f}, ParameterRange::Positive},
    {"waterVelocity", &ScenarioParameters::waterVelocity, "water_velocity", "하천 유속", "하천유속", "m/sec",
     "unit: m/sec", {0.5f, 0.15f, 0}, ParameterRange::NotNegative},
}};

constexpr ScenarioParameters::ScenarioParameters() {
    for (const ScenarioParameter& entry : kScenarioParameters) this->*entry.value = entry.defaults[0];
}

// The table's entry with this name ("bank_width") or key ("bankWidth"); null when none.
const ScenarioParameter* scenarioParameterNamed(std::string_view nameOrKey);
// Its place in the table; -1 when none.
int scenarioParameterIndex(std::string_view nameOrKey);

// The window defaults of a model.
ScenarioParameters defaultParameters(ModelKind kind);

// A parameter the model fixes at its default whatever is entered: a pond
// does not flow, so its water velocity stays 0 and is never editable.
bool parameterFixedFor(ModelKind kind, const ScenarioParameter& which);
// Puts every parameter the model fixes back to its default.
void fixParameters(ModelKind kind, ScenarioParameters& parameters);

// The parameter's value in a scenario.
inline float& parameterValue(ScenarioParameters& p, const ScenarioParameter& which) { return p.*which.value; }
inline float parameterValue(const ScenarioParameters& p, const ScenarioParameter& which) { return p.*which.value; }

}  // namespace verdanel
