#pragma once
// What a run needs: the scenario's name, model, chemical, twelve parameters,
// spray dates and weather files.
#include <string>
#include <vector>

#include "core/chemicals/chemical_record.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/model_kind.hpp"
#include "core/weather/weather_set.hpp"

namespace verdanel {

// The twelve parameters as the window's fields hold them (32-bit floats),
// in the column order of Scenario_Info.
struct ScenarioParameters {
    float sprayLength = 200;          // L, m
    float sprayWidth = 7;             // W, m
    float vehicleSpeed = 11;          // V, km/h
    float sprayRate = 7.5;            // q, L/min
    float dilutionRatio = 100;        // n
    float injectedConcentration = 15; // c0, g/L
    float leafAreaIndex = 2;          // LAI
    float canopyCover = 0.8f;         // cov, fraction
    float bankWidth = 14;             // B, m
    float waterWidth = 3;             // Ws, m
    float waterDepth = 0.25f;         // d, m
    float waterVelocity = 0.5f;       // vw, m/s
};

// The seven properties the model reads from the chemical record, by the atof rule.
struct ChemicalProperties {
    double logKow = 0;            // log10 Kow
    double halfLifeAir = 0;       // hours
    double halfLifeWater = 0;     // hours
    double halfLifeSoil = 0;      // hours
    double henryConstant = 0;     // atm m3/mol
    double diffusivityAir = 0;    // m2/hour
    double diffusivityWater = 0;  // m2/hour
};

ChemicalProperties chemicalPropertiesOf(const ChemicalRecord& record);

struct ScenarioDefinition {
    std::string name;
    ModelKind kind = ModelKind::Stream;
    ChemicalRecord chemical{};             // chemical[0] is its name; empty when none was chosen
    ScenarioParameters parameters;
    std::vector<CivilTime> sprayDates;     // ascending; hour and minute as listed
    WeatherPaths weather;
};

// The window defaults of each model (the Ditch and Pond defaults differ from the Stream's).
ScenarioParameters defaultParameters(ModelKind kind);

}  // namespace verdanel
