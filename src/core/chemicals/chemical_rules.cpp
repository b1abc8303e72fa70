#include "core/chemicals/chemical_rules.hpp"

#include <cmath>

#include "core/common/number_text.hpp"

namespace verdanel {

namespace {

constexpr std::string_view kNotInANumber = "~!@#$%^&*()_|`=\\,/<>?abcdghijklmnopqrstuvwxyz;':";

std::string& propertyText(PropertyTexts& texts, int column) { return texts[static_cast<std::size_t>(column - 1)]; }

}  // namespace

NumberCheck numberCheck(std::string_view text) {
    if (text.find_first_of(kNotInANumber) != std::string_view::npos) return {false, 0.0f};
    return {true, static_cast<float>(parseAtof(text))};
}

bool isUsable(const ChemicalRecord& record) {
    for (int column : chem_col::kRequired) {
        const std::string& text = record[static_cast<std::size_t>(column)];
        if (text.empty() || !numberCheck(text).passes) return false;
    }
    return true;
}

std::string airDiffusionEstimate(float molecularWeight) {
    return formatE(std::pow(18.0 / static_cast<double>(molecularWeight), 0.5) * 0.09222);
}

std::string waterDiffusionEstimate(float molecularWeight) {
    return formatE(std::pow(44.0 / static_cast<double>(molecularWeight), 0.5) * 8.462e-06);
}

void addDiffusionEstimates(PropertyTexts& texts) {
    const NumberCheck mw = numberCheck(propertyText(texts, chem_col::kMolecularWeight));
    if (!mw.passes) return;
    std::string& air = propertyText(texts, chem_col::kDiffusivityAir);
    if (air.empty() || !numberCheck(air).passes) air = airDiffusionEstimate(mw.value);
    std::string& water = propertyText(texts, chem_col::kDiffusivityWater);
    if (water.empty() || !numberCheck(water).passes) water = waterDiffusionEstimate(mw.value);
}

}  // namespace verdanel
