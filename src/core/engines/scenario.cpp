#include "core/engines/scenario.hpp"

#include "core/common/number_text.hpp"

namespace verdanel {

ChemicalProperties chemicalPropertiesOf(const ChemicalRecord& record) {
    ChemicalProperties p;
    p.logKow = parseAtof(record[chem_col::kLogKow]);
    p.halfLifeAir = parseAtof(record[chem_col::kHalfLifeAir]);
    p.halfLifeWater = parseAtof(record[chem_col::kHalfLifeWater]);
    p.halfLifeSoil = parseAtof(record[chem_col::kHalfLifeSoil]);
    p.henryConstant = parseAtof(record[chem_col::kHenryConstant]);
    p.diffusivityAir = parseAtof(record[chem_col::kDiffusivityAir]);
    p.diffusivityWater = parseAtof(record[chem_col::kDiffusivityWater]);
    return p;
}

ScenarioParameters defaultParameters(ModelKind kind) {
    ScenarioParameters p;  // the Stream window's defaults
    if (kind == ModelKind::Stream) return p;
    p.sprayLength = kind == ModelKind::Ditch ? 600.0f : 40.0f;
    p.sprayWidth = 4;
    p.bankWidth = 4;
    p.waterWidth = 1;
    p.waterDepth = 0.1f;
    p.waterVelocity = kind == ModelKind::Ditch ? 0.15f : 0.0f;
    return p;
}

}  // namespace verdanel
