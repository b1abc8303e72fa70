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

}  // namespace verdanel
