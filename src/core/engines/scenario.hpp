#pragma once
// What a run needs: the scenario's name, model, chemical, twelve parameters,
// spray dates and weather files.
#include <string>
#include <vector>

#include "core/chemicals/chemical_record.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/model_kind.hpp"
#include "core/scenario/scenario_parameters.hpp"
#include "core/weather/weather_set.hpp"

namespace verdanel {


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


}  // namespace verdanel
