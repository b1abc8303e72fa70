#include "core/scenario/scenario_parameters.hpp"

namespace verdanel {

const ScenarioParameter* scenarioParameterNamed(std::string_view nameOrKey) {
    const int index = scenarioParameterIndex(nameOrKey);
    return index < 0 ? nullptr : &kScenarioParameters[static_cast<std::size_t>(index)];
}

int scenarioParameterIndex(std::string_view nameOrKey) {
    for (std::size_t i = 0; i < kScenarioParameters.size(); ++i) {
        const ScenarioParameter& p = kScenarioParameters[i];
        if (nameOrKey == p.name || nameOrKey == p.key) return static_cast<int>(i);
    }
    return -1;
}

ScenarioParameters defaultParameters(ModelKind kind) {
    const auto model = static_cast<std::size_t>(kind);
    ScenarioParameters p;
    for (const ScenarioParameter& entry : kScenarioParameters) parameterValue(p, entry) = entry.defaults[model];
    return p;
}

bool parameterFixedFor(ModelKind kind, const ScenarioParameter& which) {
    return kind == ModelKind::Pond && which.value == &ScenarioParameters::waterVelocity;
}

void fixParameters(ModelKind kind, ScenarioParameters& parameters) {
    const auto model = static_cast<std::size_t>(kind);
    for (const ScenarioParameter& entry : kScenarioParameters)
        if (parameterFixedFor(kind, entry)) parameterValue(parameters, entry) = entry.defaults[model];
}

}  // namespace verdanel
